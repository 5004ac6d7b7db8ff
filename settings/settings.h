#pragma once
// The settings the program keeps in the current user's registry, and their in-memory mirror.

#include <cstdint>
#include <string>
#include <string_view>

// Key `Software\Vantrel` of the current user; a setting's path is this followed by its name.
inline constexpr std::string_view settingsPath = "Software\\Vantrel\\";

// Value names (all REG_DWORD).
inline constexpr std::string_view kValueX = "x";
inline constexpr std::string_view kValueY = "y";
inline constexpr std::string_view kValueMonitorNumber = "监控编号";
inline constexpr std::string_view kValueTransparency = "透明度";
inline constexpr std::string_view kValueRecordTotal = "记录";
inline constexpr std::string_view kValueTotalMB = "总流量";
inline constexpr std::string_view kValueAlwaysOnTop = "置顶";
inline constexpr std::string_view kValueHint = "提示";

// "置顶" and "提示" read as this when absent: the first run.
inline constexpr int32_t kFirstRunDefault = 2;

inline std::string settingPath(std::string_view valueName) {
  return std::string(settingsPath) + std::string(valueName);
}

struct Settings {
  int32_t MonitorNumber = 0;   // 1-based position of the watched interface
  int32_t transparency = 0;    // alpha of both windows, 50..255 once set
  int32_t recordTotal = 0;     // 1 while the running total is stored every second
  int32_t alwaysOnTop = 0;     // 1 while both windows stay on top
  int32_t autostart = 0;       // 1 while the Run entry is known to be present
  int32_t interfaceCount = 0;  // row count of the interface table at start-up
};
