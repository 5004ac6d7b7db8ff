#pragma once
// Start with Windows: the value "Vantrel" in the current user's Run key, holding the
// program's own path.

#include <string>
#include <string_view>

#include "menu/menu_document.h"
#include "menu/notice_state.h"
#include "settings/settings.h"

inline constexpr std::string_view runEntryPath = "Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Vantrel";

// The running program's file path, as the Run entry holds it.
std::string makeProgramPath();

// At start-up: an existing entry checks the menu mark and sets `autostart`; an entry
// that does not hold this program's path (moved, renamed, other letter case, other
// type) is rewritten.
void checkRunEntry(Settings& settings, MenuDocument& menu, const std::string& programPath);

// The menu command: writes or deletes the entry. Returns the notice to show: switched
// on, failed, or switched off; on failure nothing else changes.
NoticeState switchAutostart(Settings& settings, MenuDocument& menu, const std::string& programPath);

// Restoring the defaults; failure is silent and `autostart` is left alone.
void removeRunEntry();
