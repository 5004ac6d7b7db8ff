#include "menu/menu_document.h"

#include "accounting/number_format.h"

namespace {

const std::string kCrLf = "\r\n";

std::string spaces(size_t count) { return std::string(count, ' '); }

// Length of the character starting at `pos`: a byte with the high bit set leads a
// double-byte character.
size_t charLength(std::string_view text, size_t pos) {
  return (static_cast<unsigned char>(text[pos]) & 0x80) && pos + 1 < text.size() ? 2 : 1;
}

// Position of the first character-aligned occurrence of `find`, or npos.
size_t findCharwise(std::string_view text, std::string_view find) {
  if (find.empty()) return std::string_view::npos;
  for (size_t pos = 0; pos + find.size() <= text.size(); pos += charLength(text, pos)) {
    if (text.compare(pos, find.size(), find) == 0) return pos;
  }
  return std::string_view::npos;
}

// A menu item with a thin second row of spaces inside its link.
std::string twoRowItem(std::string_view token, std::string_view label, size_t spacer) {
  return "<a msg=" + std::string(token) + "><font size=10pt>" + std::string(label) +
         "</font><br><font size=3pt>" + spaces(spacer) + "</font></a></br>";
}

std::string oneRowItem(std::string_view token, std::string_view label) {
  return "<a msg=" + std::string(token) + "><font size=10pt>" + std::string(label) + "</font></a>";
}

}  // namespace

std::string replaceAll(std::string_view text, std::string_view find, std::string_view replacement) {
  if (text.empty() || find.empty()) return std::string(text);
  std::string result;
  size_t pos = 0;
  while (pos + find.size() <= text.size()) {
    if (text.compare(pos, find.size(), find) == 0) {
      result += replacement;
      pos += find.size();
    } else {
      const size_t length = charLength(text, pos);
      result += text.substr(pos, length);
      pos += length;
    }
  }
  result += text.substr(pos);
  return result;
}

MenuDocument initialMenuDocument() {
  return twoRowItem("m1", " 监控编号()", 33) + kCrLf +     //
         twoRowItem("m2", "  透明度()", 33) + kCrLf +      //
         twoRowItem("m3", " 窗口置顶(√)", 33) + kCrLf +    //
         twoRowItem("m4", "记录总流量(×)", 33) + kCrLf +   //
         twoRowItem("m5", "开机自动运行(×)", 36) + kCrLf + //
         twoRowItem("m6", "恢复默认设置", 36) + kCrLf +    //
         twoRowItem("m7", "   关于   ", 33) + kCrLf +      //
         oneRowItem("m8", "   退出   ");
}

std::string menuValue(const MenuDocument& document, std::string_view key) {
  const size_t keyPos = findCharwise(document, key);
  if (keyPos == std::string_view::npos) return {};
  const std::string_view rest = std::string_view(document).substr(keyPos + key.size());
  return std::string(rest.substr(0, rest.find(')')));
}

void setMenuValue(MenuDocument& document, std::string_view key, int32_t number) {
  const std::string old = menuValue(document, key);
  document = replaceAll(document, std::string(key) + old, std::string(key) + formatInteger(number));
}

void setMenuMark(MenuDocument& document, std::string_view key, bool on) {
  const std::string from = std::string(key) + std::string(on ? kMarkOff : kMarkOn);
  const std::string to = std::string(key) + std::string(on ? kMarkOn : kMarkOff);
  document = replaceAll(document, from, to);
}

std::string noticeMarkup(std::string_view token, std::string_view text) {
  return "<a msg=" + std::string(token) + "><font size=10pt>" + spaces(3) + std::string(text) + spaces(3) +
         "</font></a>";
}

const std::string& startupHint() {
  static const std::string markup =
      twoRowItem("help", spaces(3) + "提示:在这点右键能弹出菜单~~" + spaces(3), 33) + kCrLf +
      oneRowItem("notip", spaces(3) + "点这不再提示此消息" + spaces(3));
  return markup;
}

const std::string& restoreQuestion() {
  static const std::string markup =
      "<a msg=no><font size=15pt>" + spaces(3) + "真的要恢复默认设置？" + spaces(3) +
      "</font><br><font size=3pt>" + spaces(33) + "</font></a></br>" +
      oneRowItem("yes", spaces(5) + "确定" + spaces(3)) + oneRowItem("no", spaces(3) + "取消" + spaces(5));
  return markup;
}

const std::string& aboutNotice() {
  static const std::string markup =
      twoRowItem("about", spaces(3) + "Strovik " STROVIK_VERSION + spaces(3), 33) + kCrLf +
      oneRowItem("about", spaces(3) + "网络速度悬浮条：实时显示网卡的下载与上传速度" + spaces(3));
  return markup;
}
