#pragma once
// The popup menu is one markup text that carries its own state: two numbers in
// parentheses and three check marks, rewritten in place by text replacement. Also the
// markups of the notices that follow an action.

#include <cstdint>
#include <string>
#include <string_view>

using MenuDocument = std::string;  // GBK bytes

// Keys: the two characters right before a value or a mark; each occurs once.
inline constexpr std::string_view kMonitorNumberKey = "号(";
inline constexpr std::string_view kTransparencyKey = "度(";
inline constexpr std::string_view kAlwaysOnTopKey = "顶(";
inline constexpr std::string_view kRecordTotalKey = "量(";
inline constexpr std::string_view kAutostartKey = "行(";

inline constexpr std::string_view kMarkOn = "√";
inline constexpr std::string_view kMarkOff = "×";

// Every non-overlapping occurrence of `find` replaced, scanning character by character
// so that a match never starts on the second byte of a double-byte character.
std::string replaceAll(std::string_view text, std::string_view find, std::string_view replacement);

MenuDocument initialMenuDocument();

// The text after a value key up to the next ")"; empty when the key is missing.
std::string menuValue(const MenuDocument& document, std::string_view key);
void setMenuValue(MenuDocument& document, std::string_view key, int32_t number);
void setMenuMark(MenuDocument& document, std::string_view key, bool on);

// A one-line notice: the whole text is one link carrying `token`.
std::string noticeMarkup(std::string_view token, std::string_view text);

// The first-run hint, the restore-defaults question and the about notice.
const std::string& startupHint();
const std::string& restoreQuestion();
const std::string& aboutNotice();
