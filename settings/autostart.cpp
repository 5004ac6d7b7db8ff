#include "settings/autostart.h"

#include "platform/module_path.h"
#include "settings/program_path.h"
#include "settings/settings_store.h"

namespace {
const std::string kRunEntry(runEntryPath);
}

std::string makeProgramPath() { return programPathFromModulePath(modulePath()); }

void checkRunEntry(Settings& settings, MenuDocument& menu, const std::string& programPath) {
  if (!valueExists(kRunEntry)) return;
  setMenuMark(menu, kAutostartKey, true);
  settings.autostart = 1;
  const std::string expected = runEntryText(programPath);
  if (readText(kRunEntry) != expected) writeText(kRunEntry, expected);
}

NoticeState switchAutostart(Settings& settings, MenuDocument& menu, const std::string& programPath) {
  if (settings.autostart == 0) {
    if (!writeText(kRunEntry, runEntryText(programPath))) return kNoticeAutostartFailed;
    settings.autostart = 1;
    setMenuMark(menu, kAutostartKey, true);
    return kNoticeAutostartOn;
  }
  if (!deleteEntry(kRunEntry)) return kNoticeAutostartFailed;
  settings.autostart = 0;
  setMenuMark(menu, kAutostartKey, false);
  return kNoticeAutostartOff;
}

void removeRunEntry() { deleteEntry(kRunEntry); }
