#include "menu/menu_document.h"

#include <gtest/gtest.h>

namespace {

// Line `n` (1-based) of a CR LF separated markup.
std::string line(const std::string& markup, int n) {
  size_t start = 0;
  for (int i = 1; i < n; ++i) start = markup.find("\r\n", start) + 2;
  return markup.substr(start, markup.find("\r\n", start) - start);
}

TEST(MenuDocument, InitialTextAndFixedMarkupsHaveTheirExactBytes) {
  const MenuDocument menu = initialMenuDocument();
  EXPECT_EQ(menu.size(), 860u);
  EXPECT_EQ(line(menu, 1),
            "<a msg=m1><font size=10pt> 监控编号()</font><br><font size=3pt>" + std::string(33, ' ') +
                "</font></a></br>");
  EXPECT_EQ(line(menu, 5),
            "<a msg=m5><font size=10pt>开机自动运行(×)</font><br><font size=3pt>" + std::string(36, ' ') +
                "</font></a></br>");
  EXPECT_EQ(line(menu, 8), "<a msg=m8><font size=10pt>   退出   </font></a>");
  size_t lineEnds = 0;
  for (size_t pos = menu.find("\r\n"); pos != std::string::npos; pos = menu.find("\r\n", pos + 2)) ++lineEnds;
  EXPECT_EQ(lineEnds, 7u);  // eight lines, none after the last

  EXPECT_EQ(startupHint().size(), 202u);
  EXPECT_EQ(line(startupHint(), 2), "<a msg=notip><font size=10pt>   点这不再提示此消息   </font></a>");
  EXPECT_EQ(restoreQuestion().size(), 226u);
  EXPECT_EQ(restoreQuestion().find("\r\n"), std::string::npos);
  EXPECT_NE(restoreQuestion().find("<a msg=yes><font size=10pt>     确定   </font></a>"), std::string::npos);
  EXPECT_NE(restoreQuestion().find("真的要恢复默认设置\xA3\xBF"), std::string::npos);  // full-width ？

  EXPECT_EQ(line(aboutNotice(), 1), "<a msg=about><font size=10pt>   Strovik " STROVIK_VERSION
                                    "   </font><br><font size=3pt>" + std::string(33, ' ') + "</font></a></br>");
  EXPECT_EQ(line(aboutNotice(), 2),
            "<a msg=about><font size=10pt>   网络速度悬浮条：实时显示网卡的下载与上传速度   </font></a>");
}

TEST(MenuDocument, ValuesAreWrittenAndRewrittenInPlace) {
  MenuDocument menu = initialMenuDocument();
  EXPECT_EQ(menuValue(menu, kMonitorNumberKey), "");

  setMenuValue(menu, kMonitorNumberKey, 14);
  EXPECT_EQ(menu.size(), 862u);
  EXPECT_NE(line(menu, 1).find("> 监控编号(14)<"), std::string::npos);
  EXPECT_EQ(menuValue(menu, kMonitorNumberKey), "14");

  setMenuValue(menu, kMonitorNumberKey, 3);
  EXPECT_NE(line(menu, 1).find("> 监控编号(3)<"), std::string::npos);

  setMenuValue(menu, kTransparencyKey, 225);
  setMenuValue(menu, kTransparencyKey, 50);
  EXPECT_NE(line(menu, 2).find(">  透明度(50)<"), std::string::npos);
  setMenuValue(menu, kTransparencyKey, -7);
  EXPECT_EQ(menuValue(menu, kTransparencyKey), "-7");
  EXPECT_EQ(menuValue(menu, kMonitorNumberKey), "3");
  EXPECT_EQ(menu.size(), 860u + 1 + 2);
}

TEST(MenuDocument, MarksSwitchAndStayWhenAlreadySo) {
  MenuDocument menu = initialMenuDocument();
  const MenuDocument initial = menu;
  setMenuMark(menu, kAlwaysOnTopKey, true);
  EXPECT_EQ(menu, initial);

  setMenuMark(menu, kRecordTotalKey, true);
  EXPECT_NE(line(menu, 4).find("记录总流量(√)"), std::string::npos);
  setMenuMark(menu, kAutostartKey, true);
  setMenuMark(menu, kAlwaysOnTopKey, false);
  EXPECT_NE(line(menu, 5).find("开机自动运行(√)"), std::string::npos);
  EXPECT_NE(line(menu, 3).find(" 窗口置顶(×)"), std::string::npos);

  setMenuMark(menu, kRecordTotalKey, false);
  setMenuMark(menu, kAutostartKey, false);
  setMenuMark(menu, kAlwaysOnTopKey, true);
  EXPECT_EQ(menu, initial);
}

TEST(MenuDocument, ReplaceAllScansCharacterByCharacter) {
  const struct {
    std::string text, find, replacement, expected;
  } cases[] = {
      {"aaa", "aa", "b", "ba"},
      {"abc", "", "x", "abc"},
      {"", "a", "x", ""},
      {"a号(b号(", "号(", "#", "a#b#"},
      {"abcABC", "abc", "x", "xABC"},  // letter case matters
      // "开机" is BF AA BB FA: the bytes AA BB straddle the two characters.
      {"开机", "\xAA\xBB", "x", "开机"},
      // A lead byte at the very end must not make the scan read past the text.
      {"ab\xB0", "\xB0", "x", "abx"},
      {"\xB0", "\xB0\x41", "x", "\xB0"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(replaceAll(c.text, c.find, c.replacement), c.expected) << c.text << " / " << c.find;
  }
}

TEST(MenuDocument, NoticeMarkupWrapsOneLink) {
  EXPECT_EQ(noticeMarkup("msg5", "功能已关闭"), "<a msg=msg5><font size=10pt>   功能已关闭   </font></a>");
  const std::string question = noticeMarkup("msg8", restoreQuestion());
  EXPECT_EQ(question.size(), 226u + 45u);
  EXPECT_EQ(question.rfind("<a msg=msg8>", 0), 0u);
}

}  // namespace
