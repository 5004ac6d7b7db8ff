// The start-with-Windows entry against the real Run key.
#include "settings/autostart.h"

#include "platform/module_path.h"
#include "settings/settings_store.h"
#include "tests/platform/registry_fixture.h"

namespace {

class Autostart : public RegistryTest {
 protected:
  Settings settings;
  MenuDocument menu = initialMenuDocument();
  const std::string path = "C:\\Tools\\bar.exe";

  bool checked() const { return menu.find("行(√") != std::string::npos; }
  std::string entry() const { return rawText(kRunKey, "Vantrel"); }

  FILETIME runKeyWriteTime() const {
    HKEY key;
    FILETIME time{};
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRunKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
      RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       nullptr, &time);
      RegCloseKey(key);
    }
    return time;
  }
};

TEST_F(Autostart, ProgramPathIsThisProgramsFile) {
  const std::string own = makeProgramPath();
  EXPECT_EQ(own, modulePath());
  EXPECT_NE(own.find("windows_tests.exe"), std::string::npos);
  EXPECT_EQ(own.find("\\\\"), std::string::npos);
}

TEST_F(Autostart, SwitchingOnAndOffRoundTripsThroughTheRunKey) {
  EXPECT_EQ(switchAutostart(settings, menu, path), kNoticeAutostartOn);
  EXPECT_EQ(settings.autostart, 1);
  EXPECT_TRUE(checked());
  EXPECT_EQ(typeOf(kRunKey, "Vantrel"), DWORD(REG_SZ));
  EXPECT_EQ(entry(), "C:\\Tools\\bar.exe");

  EXPECT_EQ(switchAutostart(settings, menu, path), kNoticeAutostartOff);
  EXPECT_EQ(settings.autostart, 0);
  EXPECT_FALSE(checked());
  EXPECT_EQ(entry(), "<missing>");
  EXPECT_TRUE(keyExists(kRunKey)) << "only the value goes, never the Run key";
}

TEST_F(Autostart, PathWithSpacesIsStoredQuoted) {
  const std::string spaced = "C:\\Program Files\\Strovik\\strovik.exe";
  EXPECT_EQ(switchAutostart(settings, menu, spaced), kNoticeAutostartOn);
  EXPECT_EQ(entry(), "\"C:\\Program Files\\Strovik\\strovik.exe\"");

  // An older bare entry with spaces is rewritten quoted at start-up.
  putText(kRunKey, "Vantrel", REG_SZ, spaced);
  Settings fresh;
  MenuDocument freshMenu = initialMenuDocument();
  checkRunEntry(fresh, freshMenu, spaced);
  EXPECT_EQ(entry(), "\"C:\\Program Files\\Strovik\\strovik.exe\"");
  EXPECT_EQ(fresh.autostart, 1);
}

TEST_F(Autostart, StartupCheckRepairsOnlyWhatDiffers) {
  // No entry: nothing happens.
  checkRunEntry(settings, menu, path);
  EXPECT_EQ(settings.autostart, 0);
  EXPECT_FALSE(checked());
  EXPECT_EQ(entry(), "<missing>");

  const struct {
    const char* what;
    DWORD type;
    std::string data;
    std::string expected;
    DWORD expectedType;
  } cases[] = {
      {"other letter case", REG_SZ, "c:\\tools\\BAR.EXE", path, REG_SZ},
      {"moved program", REG_SZ, "D:\\Old\\bar.exe", path, REG_SZ},
      {"expands to the path", REG_EXPAND_SZ, "%STROVIK_TOOLS%\\bar.exe", "%STROVIK_TOOLS%\\bar.exe", REG_EXPAND_SZ},
  };
  SetEnvironmentVariableA("STROVIK_TOOLS", "C:\\Tools");
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    putText(kRunKey, "Vantrel", c.type, c.data);
    Settings s;
    MenuDocument m = initialMenuDocument();
    checkRunEntry(s, m, path);
    EXPECT_EQ(s.autostart, 1);
    EXPECT_NE(m.find("行(√"), std::string::npos);
    EXPECT_EQ(entry(), c.expected);
    EXPECT_EQ(typeOf(kRunKey, "Vantrel"), c.expectedType);
  }

  // An entry of another type still counts as present, and is replaced by the path.
  putDword(kRunKey, "Vantrel", 1);
  checkRunEntry(settings, menu, path);
  EXPECT_EQ(settings.autostart, 1);
  EXPECT_TRUE(checked());
  EXPECT_EQ(typeOf(kRunKey, "Vantrel"), DWORD(REG_SZ));
  EXPECT_EQ(entry(), path);

  // The right entry is left untouched: the key is not written at all.
  const FILETIME before = runKeyWriteTime();
  Sleep(20);
  checkRunEntry(settings, menu, path);
  const FILETIME after = runKeyWriteTime();
  EXPECT_EQ(CompareFileTime(&before, &after), 0);
}

TEST_F(Autostart, SwitchingOffWhatSomeoneRemovedFailsAndKeepsTheMark) {
  ASSERT_EQ(switchAutostart(settings, menu, path), kNoticeAutostartOn);
  clean();
  EXPECT_EQ(switchAutostart(settings, menu, path), kNoticeAutostartFailed);
  EXPECT_EQ(settings.autostart, 1);
  EXPECT_TRUE(checked());
}

TEST_F(Autostart, RestoringDefaultsRemovesTheEntrySilently) {
  switchAutostart(settings, menu, path);
  removeRunEntry();
  EXPECT_EQ(entry(), "<missing>");
  EXPECT_EQ(settings.autostart, 1) << "the flag is left alone";
  removeRunEntry();  // nothing left to remove: no harm
  EXPECT_TRUE(keyExists(kRunKey));
}

}  // namespace
