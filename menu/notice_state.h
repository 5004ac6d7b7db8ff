#pragma once
// Which notice follows an action: set by the menu commands, shown when the popup closes.

#include <cstdint>

using NoticeState = int32_t;

inline constexpr NoticeState kNoticeNone = 0;
inline constexpr NoticeState kNoticeAbout = 1;
inline constexpr NoticeState kNoticeAutostartOn = 2;
inline constexpr NoticeState kNoticeAutostartFailed = 3;
inline constexpr NoticeState kNoticeAutostartOff = 4;
inline constexpr NoticeState kNoticeRecordOn = 5;
inline constexpr NoticeState kNoticeRecordOff = 6;
inline constexpr NoticeState kNoticeTopmostOff = 7;
inline constexpr NoticeState kNoticeTopmostOn = 8;
inline constexpr NoticeState kNoticeRestoreQuestion = 9;
inline constexpr NoticeState kNoticeRestored = 10;
inline constexpr NoticeState kNoticeExitAfterRestore = 11;
inline constexpr NoticeState kNoticeHintOff = 12;
