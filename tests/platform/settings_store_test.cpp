// The settings store against the real registry.
#include "settings/settings_store.h"

#include <atomic>
#include <fstream>
#include <iterator>
#include <thread>

#include "settings/settings.h"
#include "tests/platform/registry_fixture.h"
#include "tests/support/screen.h"

namespace {

using SettingsStore = RegistryTest;

TEST_F(SettingsStore, AbsentKeyReadsDefaults) {
  ASSERT_FALSE(keyExists(kSettingsKey));
  EXPECT_EQ(readNumber(settingPath(kValueAlwaysOnTop), kFirstRunDefault), 2);
  EXPECT_EQ(readNumber(settingPath(kValueHint), kFirstRunDefault), 2);
  for (auto name : {kValueX, kValueY, kValueMonitorNumber, kValueTransparency, kValueRecordTotal, kValueTotalMB}) {
    EXPECT_EQ(readNumber(settingPath(name)), 0) << name;
  }
  EXPECT_FALSE(valueExists(settingPath(kValueX)));
  EXPECT_EQ(readText(settingPath(kValueX)), "");
  EXPECT_FALSE(keyExists(kSettingsKey)) << "reading must not create the key";
}

TEST_F(SettingsStore, NumbersRoundTripAsDwordsAndCreateTheKey) {
  EXPECT_TRUE(writeNumber(settingPath(kValueX), -1200));
  EXPECT_TRUE(keyExists(kSettingsKey));
  EXPECT_EQ(typeOf(kSettingsKey, "x"), DWORD(REG_DWORD));
  EXPECT_EQ(readNumber(settingPath(kValueX)), -1200);
  EXPECT_TRUE(valueExists(settingPath(kValueX)));

  // Real values are truncated toward zero: the running total in whole megabytes.
  const struct {
    double total;
    int32_t stored;
  } totals[] = {{1536.9, 1536}, {0.7, 0}, {double(1536.9f), 1536}};
  for (const auto& t : totals) {
    EXPECT_TRUE(writeNumber(settingPath(kValueTotalMB), t.total));
    EXPECT_EQ(readNumber(settingPath(kValueTotalMB)), t.stored) << t.total;
  }

  // A stored number of another key path, and the root itself (empty key path).
  EXPECT_TRUE(writeNumber("Software\\Vantrel\\Deeper\\n", 5));
  EXPECT_EQ(readNumber("Software\\Vantrel\\Deeper\\n"), 5);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Vantrel\\Deeper");
}

TEST_F(SettingsStore, ValueOfAnotherTypeReadsAsAbsentAndIsReplaced) {
  putText(kSettingsKey, "透明度", REG_SZ, "200");
  EXPECT_EQ(readNumber(settingPath(kValueTransparency)), 0);
  EXPECT_EQ(readNumber(settingPath(kValueTransparency), 77), 77);
  EXPECT_TRUE(valueExists(settingPath(kValueTransparency)));

  // A DWORD-typed value with more than 4 bytes is not a number either.
  const char eight[8] = {1, 0, 0, 0, 2, 0, 0, 0};
  putRaw(kSettingsKey, "y", REG_DWORD, eight, sizeof eight);
  EXPECT_EQ(readNumber(settingPath(kValueY), 9), 9);

  EXPECT_TRUE(writeNumber(settingPath(kValueTransparency), 200));
  EXPECT_EQ(typeOf(kSettingsKey, "透明度"), DWORD(REG_DWORD));
  EXPECT_EQ(readNumber(settingPath(kValueTransparency)), 200);
}

TEST_F(SettingsStore, NamesReachTheRegistryAsGbkText) {
  ASSERT_TRUE(writeNumber(settingPath(kValueMonitorNumber), 14));

  // The registry itself holds the decoded name.
  HKEY key;
  ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, L"Software\\Vantrel", 0, KEY_READ, &key), ERROR_SUCCESS);
  DWORD value = 0, size = sizeof value;
  EXPECT_EQ(RegQueryValueExW(key, L"监控编号", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size),
            ERROR_SUCCESS);
  EXPECT_EQ(value, 14u);
  RegCloseKey(key);

  // And Wine's own reg tool lists it by that name.
  const std::string listing = "/tmp/strovik-reg-query.txt";
  ASSERT_TRUE(screen::runHost("LANG=zh_CN.UTF-8 wine reg query 'HKCU\\Software\\Vantrel' | iconv -f gbk -t utf-8 > " +
                              listing));
  std::ifstream in("Z:\\tmp\\strovik-reg-query.txt", std::ios::binary);
  const std::string text(std::istreambuf_iterator<char>(in), {});
  EXPECT_NE(text.find(reinterpret_cast<const char*>(u8"监控编号")), std::string::npos) << text;
}

TEST_F(SettingsStore, DeleteEntryRemovesValueElseTheWholeKey) {
  writeNumber(settingPath(kValueX), 1);
  writeNumber(settingPath(kValueY), 2);

  EXPECT_TRUE(deleteEntry(settingPath(kValueY)));
  EXPECT_FALSE(valueExists(settingPath(kValueY)));
  EXPECT_TRUE(valueExists(settingPath(kValueX)));

  // No such value and no such subkey: nothing to delete.
  EXPECT_FALSE(deleteEntry(settingPath(kValueY)));

  // Someone gave the key an unnamed value: only that goes, the settings survive.
  putText(kSettingsKey, "", REG_SZ, "default");
  EXPECT_TRUE(deleteEntry(std::string(settingsPath)));
  EXPECT_TRUE(valueExists(settingPath(kValueX)));

  // Otherwise the path names the key itself, which goes with all its values.
  EXPECT_TRUE(deleteEntry(std::string(settingsPath)));
  EXPECT_FALSE(keyExists(kSettingsKey));
  EXPECT_FALSE(deleteEntry(std::string(settingsPath)));

  // Writing afterwards creates the key anew with just that value.
  writeNumber(settingPath(kValueX), 3);
  EXPECT_EQ(readNumber(settingPath(kValueX)), 3);
  EXPECT_FALSE(valueExists(settingPath(kValueY)));
}

TEST_F(SettingsStore, TextsNeverReadPastTheirData) {
  // A REG_SZ stored without its terminating zero.
  putRaw(kSettingsKey, "bare", REG_SZ, "abcdef", 3);
  EXPECT_EQ(readText("Software\\Vantrel\\bare"), "abc");

  putText(kSettingsKey, "plain", REG_SZ, "C:\\Tools\\bar.exe");
  EXPECT_EQ(readText("Software\\Vantrel\\plain"), "C:\\Tools\\bar.exe");

  // An expansion longer than the stored data is expanded in full.
  const std::string longValue(400, 'L');
  SetEnvironmentVariableA("STROVIK_LONG", longValue.c_str());
  putText(kSettingsKey, "expand", REG_EXPAND_SZ, "%STROVIK_LONG%\\x.exe");
  EXPECT_EQ(readText("Software\\Vantrel\\expand"), longValue + "\\x.exe");

  putDword(kSettingsKey, "number", 5);
  EXPECT_EQ(readText("Software\\Vantrel\\number"), "");
}

TEST_F(SettingsStore, TextThatChangesSizeWhileReadIsReadWhole) {
  const std::string shortText = "short", longText(3000, 'x');
  putText(kSettingsKey, "racy", REG_SZ, shortText);
  std::atomic<bool> stop{false};
  std::thread writer([&] {
    for (bool flip = false; !stop; flip = !flip) {
      putText(kSettingsKey, "racy", REG_SZ, flip ? longText : shortText);
    }
  });
  int mismatches = 0;
  for (int i = 0; i < 3000; ++i) {
    const std::string text = readText("Software\\Vantrel\\racy");
    if (text != shortText && text != longText) ++mismatches;
  }
  stop = true;
  writer.join();
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
