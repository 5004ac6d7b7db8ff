// The balloon's markup: what the program's own texts parse into, what malformed text turns
// into, and where lines and links land.
#include "platform/balloon_markup.h"

#include "menu/menu_document.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

std::string spaces(size_t n) { return std::string(n, ' '); }

// One line per entry, runs as "[token,pt]text" ("-" outside links), an empty line as "(pt)".
std::string describe(const BalloonMarkup& markup) {
  std::string out;
  for (size_t i = 0; i < markup.lines.size(); ++i) {
    if (i > 0) out += '|';
    const MarkupLine& line = markup.lines[i];
    if (line.runs.empty()) out.append("(").append(std::to_string(line.endFontPt)).append(")");
    for (const MarkupRun& run : line.runs) {
      out.append("[").append(run.link == kNoLink ? std::string("-") : markup.links[size_t(run.link)]);
      out.append(",").append(std::to_string(run.fontPt)).append("]").append(run.text);
    }
  }
  return out;
}

TEST(BalloonMarkup, TheMenuIsOneLinkPerItemWithAThinSecondRowAndABlankLineBetween) {
  const std::string document = initialMenuDocument();
  ASSERT_EQ(document.size(), 860u);
  const BalloonMarkup markup = parseBalloonMarkup(document);
  EXPECT_EQ(markup.links, (std::vector<std::string>{"m1", "m2", "m3", "m4", "m5", "m6", "m7", "m8"}));
  EXPECT_EQ(describe(markup), "[m1,10] 监控编号()|[m1,3]" + spaces(33) + "|(9)|"
                              "[m2,10]  透明度()|[m2,3]" + spaces(33) + "|(9)|"
                              "[m3,10] 窗口置顶(√)|[m3,3]" + spaces(33) + "|(9)|"
                              "[m4,10]记录总流量(×)|[m4,3]" + spaces(33) + "|(9)|"
                              "[m5,10]开机自动运行(×)|[m5,3]" + spaces(36) + "|(9)|"
                              "[m6,10]恢复默认设置|[m6,3]" + spaces(36) + "|(9)|"
                              "[m7,10]   关于   |[m7,3]" + spaces(33) + "|(9)|"
                              "[m8,10]   退出   ");
}

TEST(BalloonMarkup, NoticesAndTheWrappedQuestionNestTheirLinks) {
  ASSERT_EQ(startupHint().size(), 202u);
  EXPECT_EQ(describe(parseBalloonMarkup(startupHint())),
            "[help,10]   提示:在这点右键能弹出菜单~~   |[help,3]" + spaces(33) + "|(9)|[notip,10]   点这不再提示此消息   ");

  EXPECT_EQ(describe(parseBalloonMarkup(noticeMarkup("msg5", "功能已关闭"))), "[msg5,10]   功能已关闭   ");

  ASSERT_EQ(restoreQuestion().size(), 226u);
  const BalloonMarkup question = parseBalloonMarkup(noticeMarkup("msg8", restoreQuestion()));
  EXPECT_EQ(question.links, (std::vector<std::string>{"msg8", "no", "yes", "no"}));
  EXPECT_EQ(describe(question), "[msg8,10]   [no,15]   真的要恢复默认设置？   |[no,3]" + spaces(33) +
                                    "|[yes,10]     确定   [no,10]   取消     [msg8,10]   ");
  // The two "no" answers are two links: hovering one must not light up the other.
  ASSERT_EQ(question.lines.size(), 3u);
  EXPECT_EQ(question.lines[0].runs[1].link, 1);
  EXPECT_EQ(question.lines[2].runs[1].link, 3);
}

TEST(BalloonMarkup, TagsLineEndsAndLiteralText) {
  const struct {
    std::string markup;
    std::string parsed;
  } cases[] = {
      {"", ""},
      {"plain  two   spaces kept ", "[-,9]plain  two   spaces kept "},
      // Three line ends; a carriage return is dropped wherever it is.
      {"a<br>b</br>c\nd\r\ne\rf", "[-,9]a|[-,9]b|[-,9]c|[-,9]d|[-,9]ef"},
      // A line end at the very end leaves no blank line; two leave one, as tall as its font.
      {"a<br>", "[-,9]a"},
      {"a<br><br>b", "[-,9]a|(9)|[-,9]b"},
      {"<font size=15pt>\n</font>x", "(15)|[-,9]x"},
      {"<a msg=x>link</a> after", "[x,9]link[-,9] after"},
      {"<a msg=out>o<a msg=in>i</a>o</a>", "[out,9]o[in,9]i[out,9]o"},
      {"<font size=10pt>a<font size=15pt>b</font>c</font>d", "[-,10]a[-,15]b[-,10]c[-,9]d"},
      // A link and a font reach over line ends, and to the end when never closed.
      {"<a msg=k><font size=3pt>x<br>y", "[k,3]x|[k,3]y"},
      // Closing what is not open does nothing; an empty link does not split the text around it.
      {"</a></font>x</a>y", "[-,9]xy"},
      {"x<a msg=e></a>y", "[-,9]xy"},
      {"<a msg=>e</a>", "[,9]e"},
      // The token is everything up to '>', its case kept; tag names in any case.
      {"<A MSG=Two Words 中>x</A><BR><Font Size=12PT>y", "[Two Words 中,9]x|[-,12]y"},
      {"<a msg=t\r>x", "[t,9]x"},
      // Sizes are brought into range.
      {"<font size=0pt>a</font><font size=99999999999999999pt>b", "[-,1]a[-,72]b"},
      // Anything else is text as written.
      {"<b>x</b> <i>", "[-,9]<b>x</b> <i>"},
      {"<a href=x>y</a>", "[-,9]<a href=x>y"},
      {"<a msg=x", "[-,9]<a msg=x"},
      {"<a msg=x<br>y>", "[-,9]<a msg=x|[-,9]y>"},
      {"<a msg=x\ny>z", "[-,9]<a msg=x|[-,9]y>z"},
      {"<font size=pt>a<font size=10>b<font size=-3pt>c<font size=10 pt>d",
       "[-,9]<font size=pt>a<font size=10>b<font size=-3pt>c<font size=10 pt>d"},
      {"< br><br/><br <>>x<", "[-,9]< br><br/><br <>>x<"},
      {"<a  msg=x>y", "[-,9]<a  msg=x>y"},
  };
  for (const auto& c : cases) EXPECT_EQ(describe(parseBalloonMarkup(c.markup)), c.parsed) << c.markup;
}

TEST(BalloonMarkup, DoubleByteCharactersStayWhole) {
  const struct {
    std::string markup;
    std::string parsed;
  } cases[] = {
      {"中<br>文", "[-,9]中|[-,9]文"},
      // Trail bytes that are ASCII letters or a backslash belong to their character.
      {"乗\x81\x5C<a msg=\xB0\x61>\xB0\x61</a>", "[-,9]乗乗[癮,9]癮"},
      // A lead byte that no trail byte follows is a broken character: what follows is read as itself.
      {"\xD6<br>x", "[-,9]\xD6|[-,9]x"},
      {"\xD6\nx", "[-,9]\xD6|[-,9]x"},
      {"ab\xD6", "[-,9]ab\xD6"},
      {"\xD6<a msg=k>x", "[-,9]\xD6[k,9]x"},
      // 0x80 and 0xFF are never lead bytes.
      {"\x80<br>\xFF<br>", "[-,9]\x80|[-,9]\xFF"},
  };
  for (const auto& c : cases) EXPECT_EQ(describe(parseBalloonMarkup(c.markup)), c.parsed) << c.markup;
}

// A font of N points: N pixels above the baseline, N/3 below, each byte N pixels wide.
TextMeasurer fakeMeasurer() {
  return TextMeasurer{[](int pt) { return FontMetrics{pt, pt / 3}; },
                      [](int pt, std::string_view text) { return int(text.size()) * pt; }};
}

TEST(BalloonLayout, LinesAreCentredAndStackedOnSharedBaselines) {
  const TextLayout layout =
      layoutBalloonText(parseBalloonMarkup("ab<br><font size=20pt>abcd</font><br><br>x<font size=20pt>Y</font>"),
                        fakeMeasurer());
  // Widths 18, 80, blank, 9 + 20; heights 12, 26, 12, 26.
  EXPECT_EQ(layout.width, 80);
  EXPECT_EQ(layout.height, 76);
  ASSERT_EQ(layout.runs.size(), 4u);
  EXPECT_EQ(layout.runs[0].cell, (Box{31, 0, 49, 12}));
  EXPECT_EQ(layout.runs[1].cell, (Box{0, 12, 80, 38}));
  // The last line: both runs as tall as the line, the small one's text lowered to the baseline.
  EXPECT_EQ(layout.runs[2].cell, (Box{25, 50, 34, 76}));
  EXPECT_EQ(layout.runs[3].cell, (Box{34, 50, 54, 76}));
  EXPECT_EQ(layout.runs[2].textTop, 50 + 20 - 9);
  EXPECT_EQ(layout.runs[3].textTop, 50);
  EXPECT_EQ(layout.runs[3].run.text, "Y");
}

TEST(BalloonLayout, TheInnermostLinkUnderAPointAcrossTheWholeLineHeight) {
  const BalloonMarkup markup =
      parseBalloonMarkup("<a msg=o>xx<a msg=i>y<font size=18pt>y</font></a>zz</a><br>plain<br><a msg=p>q</a>");
  const TextLayout layout = layoutBalloonText(markup, fakeMeasurer());
  // Line 0: xx (18) y (9) y (18) zz (18) = 63 wide, 24 high; line 1: 45 wide at 9; line 2: 9 wide at 27.
  ASSERT_EQ(layout.width, 63);
  const struct {
    int x, y;
    int link;
  } cases[] = {
      {0, 0, 0},   {17, 23, 0},  {18, 0, 1},          {26, 23, 1},  {27, 10, 1},  {44, 10, 1},
      {45, 10, 0}, {62, 23, 0},  {63, 10, kNoLink},   {9, 24, kNoLink}, {30, 30, kNoLink},
      {26, 36, kNoLink}, {27, 36, 2}, {35, 47, 2}, {36, 40, kNoLink}, {30, 48, kNoLink}, {-1, 5, kNoLink},
  };
  for (const auto& c : cases) EXPECT_EQ(linkAt(layout, c.x, c.y), c.link) << c.x << "," << c.y;
}

bool isWellFormedGbk(const std::string& text) {
  for (size_t i = 0; i < text.size(); ++i) {
    const auto c = static_cast<unsigned char>(text[i]);
    if (c < 0x81 || c > 0xFE) continue;
    if (i + 1 >= text.size()) return false;
    const auto trail = static_cast<unsigned char>(text[++i]);
    if (trail < 0x40 || trail == 0x7F || trail > 0xFE) return false;
  }
  return true;
}

size_t doubleByteCharacters(const std::string& text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    if (static_cast<unsigned char>(text[i]) >= 0x81 && static_cast<unsigned char>(text[i]) <= 0xFE) ++count, ++i;
  }
  return count;
}

// Parses from a buffer of exactly the input's size, so that AddressSanitizer sees any read past
// its end (a std::string would offer its terminating zero).
BalloonMarkup parseExactBuffer(const std::string& input) {
  const auto buffer = std::make_unique<char[]>(input.size());
  std::copy(input.begin(), input.end(), buffer.get());
  return parseBalloonMarkup(std::string_view(buffer.get(), input.size()));
}

// What every parse and layout must satisfy, whatever the input.
void checkStructure(const BalloonMarkup& markup, const std::string& input, std::mt19937& random) {
  size_t bytes = 0;
  for (const std::string& token : markup.links) bytes += token.size();
  for (const MarkupLine& line : markup.lines) {
    for (const MarkupRun& run : line.runs) {
      ASSERT_FALSE(run.text.empty());
      ASSERT_GE(run.fontPt, kMinFontPt);
      ASSERT_LE(run.fontPt, kMaxFontPt);
      ASSERT_GE(run.link, kNoLink);
      ASSERT_LT(run.link, int(markup.links.size()));
      ASSERT_EQ(run.text.find_first_of("\r\n"), std::string::npos);
      bytes += run.text.size();
    }
  }
  ASSERT_LE(bytes, input.size());

  const TextLayout layout = layoutBalloonText(markup, fakeMeasurer());
  for (const PlacedRun& placed : layout.runs) {
    ASSERT_GE(placed.cell.left, 0);
    ASSERT_LE(placed.cell.right, layout.width);
    ASSERT_GE(placed.cell.top, 0);
    ASSERT_LE(placed.cell.bottom, layout.height);
    ASSERT_GE(placed.textTop, placed.cell.top);
  }
  for (int probe = 0; probe < 4; ++probe) {
    const int x = int(random() % unsigned(layout.width + 2)) - 1;
    const int y = int(random() % unsigned(layout.height + 2)) - 1;
    const int link = linkAt(layout, x, y);
    ASSERT_TRUE(link == kNoLink || (link >= 0 && link < int(markup.links.size())));
  }
}

// Markup built from tags, tag fragments and whole characters: however they combine, nothing
// crashes or reads out of bounds (the native build runs this under AddressSanitizer), no
// character is split and none is lost: each double-byte character of the input ends up in a
// run's text or a token.
TEST(BalloonMarkupFuzz, PiecesOfMarkupInAnyOrder) {
  const std::vector<std::string> pieces = {
      "<br>", "</br>", "</a>", "</font>", "<a msg=t1>", "<a msg=中文>", "<font size=10pt>", "<font size=3pt>",
      "<FONT SIZE=15PT>", "<", ">", "<a msg=", "<font size=", "pt>", "<b>", "<a", "=", "</", "br>", "1", "99",
      "a", " ", "   ", "中", "乗", "\xB0\x61", "\r", "\n", "\r\n",
  };
  std::mt19937 random(20240611);
  for (int iteration = 0; iteration < 60000; ++iteration) {
    std::string input;
    const unsigned length = random() % 40;
    for (unsigned i = 0; i < length; ++i) input += pieces[random() % pieces.size()];
    const BalloonMarkup markup = parseExactBuffer(input);
    checkStructure(markup, input, random);
    if (testing::Test::HasFatalFailure()) FAIL() << "input: " << input;

    size_t characters = 0;
    for (const std::string& token : markup.links) {
      ASSERT_TRUE(isWellFormedGbk(token)) << input;
      characters += doubleByteCharacters(token);
    }
    for (const MarkupLine& line : markup.lines) {
      for (const MarkupRun& run : line.runs) {
        ASSERT_TRUE(isWellFormedGbk(run.text)) << input;
        characters += doubleByteCharacters(run.text);
      }
    }
    ASSERT_EQ(characters, doubleByteCharacters(input)) << input;
  }
}

// Raw bytes, weighted toward the ones the parser cares about.
TEST(BalloonMarkupFuzz, RandomBytes) {
  const std::string favoured = "<>/=\r\n aAbBfFmMsSpPtTrR0123456789\x81\xD6\xFE\x40\x7F\x80\xFF";
  std::mt19937 random(7);
  for (int iteration = 0; iteration < 100000; ++iteration) {
    std::string input(random() % 64, '\0');
    for (char& c : input) c = random() % 3 ? favoured[random() % favoured.size()] : char(random() % 256);
    checkStructure(parseExactBuffer(input), input, random);
    if (testing::Test::HasFatalFailure()) FAIL() << "input of " << input.size() << " bytes, iteration " << iteration;
  }
}

}  // namespace
