#include "platform/balloon_markup.h"

#include <algorithm>
#include <map>

namespace {

bool isGbkLead(unsigned char c) { return c >= 0x81 && c <= 0xFE; }
bool isGbkTrail(unsigned char c) { return c >= 0x40 && c <= 0xFE && c != 0x7F; }

bool startsWithNoCase(std::string_view text, size_t pos, std::string_view keyword) {
  if (text.size() - pos < keyword.size()) return false;
  for (size_t i = 0; i < keyword.size(); ++i) {
    char c = text[pos + i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != keyword[i]) return false;
  }
  return true;
}

class MarkupParser {
 public:
  explicit MarkupParser(std::string_view markup) : text_(markup) {}

  BalloonMarkup parse() {
    size_t pos = 0;
    while (pos < text_.size()) {
      const unsigned char c = static_cast<unsigned char>(text_[pos]);
      if (c == '\r') {
        ++pos;
      } else if (c == '\n') {
        endLine();
        ++pos;
      } else if (const size_t tagLength = c == '<' ? readTag(pos) : 0) {
        pos += tagLength;
      } else {
        // A lead byte whose follower cannot be a trail byte (a '<', a line feed, the end of
        // the text) is a broken character on its own: the follower is still read as itself.
        const bool pair = isGbkLead(c) && pos + 1 < text_.size() &&
                          isGbkTrail(static_cast<unsigned char>(text_[pos + 1]));
        const size_t length = pair ? 2 : 1;
        pending_.append(text_.substr(pos, length));
        pos += length;
      }
    }
    flushRun();
    if (!line_.runs.empty()) result_.lines.push_back(std::move(line_));
    return std::move(result_);
  }

 private:
  int font() const { return fonts_.empty() ? kPlainFontPt : fonts_.back(); }
  int link() const { return openLinks_.empty() ? kNoLink : openLinks_.back(); }

  // Length of the tag at `pos` after acting on it, or 0 when the bytes there are no tag.
  size_t readTag(size_t pos) {
    for (std::string_view lineEnd : {"<br>", "</br>"}) {
      if (startsWithNoCase(text_, pos, lineEnd)) {
        endLine();
        return lineEnd.size();
      }
    }
    if (startsWithNoCase(text_, pos, "</a>")) {
      flushRun();
      if (!openLinks_.empty()) openLinks_.pop_back();
      return 4;
    }
    if (startsWithNoCase(text_, pos, "</font>")) {
      flushRun();
      if (!fonts_.empty()) fonts_.pop_back();
      return 7;
    }
    if (startsWithNoCase(text_, pos, "<a msg=")) return readLinkStart(pos, 7);
    if (startsWithNoCase(text_, pos, "<font size=")) return readFontStart(pos, 11);
    return 0;
  }

  // The token runs up to '>'; a '<' or a line end before it means this was no tag after all.
  size_t readLinkStart(size_t pos, size_t prefixLength) {
    std::string token;
    for (size_t end = pos + prefixLength; end < text_.size(); ++end) {
      const char c = text_[end];
      if (c == '>') {
        flushRun();
        openLinks_.push_back(int(result_.links.size()));
        result_.links.push_back(std::move(token));
        return end + 1 - pos;
      }
      if (c == '<' || c == '\n') return 0;
      if (c != '\r') token.push_back(c);
    }
    return 0;
  }

  size_t readFontStart(size_t pos, size_t prefixLength) {
    size_t end = pos + prefixLength;
    int size = 0;
    while (end < text_.size() && text_[end] >= '0' && text_[end] <= '9') {
      size = std::min(size * 10 + (text_[end] - '0'), kMaxFontPt * 10);
      ++end;
    }
    if (end == pos + prefixLength || !startsWithNoCase(text_, end, "pt>")) return 0;
    flushRun();
    fonts_.push_back(std::clamp(size, kMinFontPt, kMaxFontPt));
    return end + 3 - pos;
  }

  void flushRun() {
    if (pending_.empty()) return;
    auto& runs = line_.runs;
    // Tags that change nothing around the text (an empty link, say) do not split it.
    if (!runs.empty() && runs.back().fontPt == font() && runs.back().link == link()) {
      runs.back().text += pending_;
    } else {
      runs.push_back(MarkupRun{pending_, font(), link()});
    }
    pending_.clear();
  }

  void endLine() {
    flushRun();
    line_.endFontPt = font();
    result_.lines.push_back(std::move(line_));
    line_ = {};
  }

  std::string_view text_;
  BalloonMarkup result_;
  MarkupLine line_;
  std::string pending_;  // text read since the last tag
  std::vector<int> fonts_;
  std::vector<int> openLinks_;
};

// Extents are kept far below int overflow, whatever the length of the text.
constexpr int64_t kMaxExtent = 1 << 24;

int clampedSum(int64_t a, int64_t b) { return int(std::min(a + b, kMaxExtent)); }

}  // namespace

BalloonMarkup parseBalloonMarkup(std::string_view markup) { return MarkupParser(markup).parse(); }

TextLayout layoutBalloonText(const BalloonMarkup& markup, const TextMeasurer& measure) {
  std::map<int, FontMetrics> metricsBySize;
  auto metrics = [&](int fontPt) {
    auto found = metricsBySize.find(fontPt);
    if (found == metricsBySize.end()) found = metricsBySize.emplace(fontPt, measure.metrics(fontPt)).first;
    return found->second;
  };

  struct LineExtent {
    int width = 0;
    int ascent = 0;
    int descent = 0;
    std::vector<int> runWidths;
  };
  std::vector<LineExtent> extents;
  TextLayout layout;
  for (const MarkupLine& line : markup.lines) {
    LineExtent extent;
    if (line.runs.empty()) {
      extent.ascent = metrics(line.endFontPt).ascent;
      extent.descent = metrics(line.endFontPt).descent;
    }
    for (const MarkupRun& run : line.runs) {
      const int width = std::clamp(measure.width(run.fontPt, run.text), 0, int(kMaxExtent));
      extent.runWidths.push_back(width);
      extent.width = clampedSum(extent.width, width);
      extent.ascent = std::max(extent.ascent, metrics(run.fontPt).ascent);
      extent.descent = std::max(extent.descent, metrics(run.fontPt).descent);
    }
    layout.width = std::max(layout.width, extent.width);
    layout.height = clampedSum(layout.height, int64_t(extent.ascent) + extent.descent);
    extents.push_back(std::move(extent));
  }

  int top = 0;
  for (size_t i = 0; i < markup.lines.size(); ++i) {
    const LineExtent& extent = extents[i];
    const int bottom = clampedSum(top, int64_t(extent.ascent) + extent.descent);
    int left = (layout.width - extent.width) / 2;
    for (size_t r = 0; r < markup.lines[i].runs.size(); ++r) {
      const MarkupRun& run = markup.lines[i].runs[r];
      const int right = clampedSum(left, extent.runWidths[r]);
      layout.runs.push_back(PlacedRun{run, Box{left, top, right, bottom}, top + extent.ascent - metrics(run.fontPt).ascent});
      left = right;
    }
    top = bottom;
  }
  return layout;
}

int linkAt(const TextLayout& layout, int x, int y) {
  for (const PlacedRun& placed : layout.runs) {
    if (placed.cell.contains(x, y)) return placed.run.link;
  }
  return kNoLink;
}
