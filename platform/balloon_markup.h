#pragma once
// The small markup the balloon popup shows, and how its text is laid out and hit.
//
// Understood: <a msg=TOKEN>...</a> (a link; TOKEN is everything up to '>'), <font size=Npt>...
// </font>, and <br>, </br> or a line feed to end a line. Tag names are matched without regard
// to case. A carriage return is ignored. Everything else, unknown and malformed tags included,
// is text as written; runs of spaces are kept. Texts are GBK bytes; a double-byte character is
// never split, so a run's text always decodes on its own.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr int kPlainFontPt = 9;
// Sizes beyond these are brought into range, so that no markup can ask for a font that
// fills the screen (or a zero height, which would mean "the default size" to Windows).
inline constexpr int kMinFontPt = 1;
inline constexpr int kMaxFontPt = 72;
inline constexpr int kNoLink = -1;

struct MarkupRun {
  std::string text;  // GBK, never empty
  int fontPt = kPlainFontPt;
  int link = kNoLink;  // the innermost link around the text, an index into BalloonMarkup::links
  friend bool operator==(const MarkupRun&, const MarkupRun&) = default;
};

struct MarkupLine {
  std::vector<MarkupRun> runs;
  // The font in effect where the line ended: what an empty line is as tall as.
  int endFontPt = kPlainFontPt;
  friend bool operator==(const MarkupLine&, const MarkupLine&) = default;
};

struct BalloonMarkup {
  std::vector<std::string> links;  // each <a> in order of appearance: its token
  // Every line ended by a line end, then the last line unless it is empty: a text that ends
  // with <br> has no blank line after it, and the empty text has no line at all.
  std::vector<MarkupLine> lines;
};

BalloonMarkup parseBalloonMarkup(std::string_view markup);

// What the layout needs to know about a font of the given size.
struct FontMetrics {
  int ascent = 0;
  int descent = 0;
};
struct TextMeasurer {
  std::function<FontMetrics(int fontPt)> metrics;
  std::function<int(int fontPt, std::string_view gbk)> width;
};

struct Box {
  int left = 0;
  int top = 0;
  int right = 0;   // exclusive
  int bottom = 0;  // exclusive
  bool contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  int width() const { return right - left; }
  int height() const { return bottom - top; }
  friend bool operator==(const Box&, const Box&) = default;
};

struct PlacedRun {
  MarkupRun run;
  Box cell;         // the run's width, the whole height of its line
  int textTop = 0;  // where the run's text starts, so that the runs of a line share one baseline
};

struct TextLayout {
  int width = 0;
  int height = 0;
  std::vector<PlacedRun> runs;
};

// Lines one below the other, each centred in the widest one, runs of a line on one baseline.
TextLayout layoutBalloonText(const BalloonMarkup& markup, const TextMeasurer& measure);

// The link under a point of the layout, the innermost one where links nest; kNoLink if none.
int linkAt(const TextLayout& layout, int x, int y);
