#include <gtest/gtest.h>

#include "settings/program_path.h"
#include "settings/settings.h"
#include "settings/value_path.h"

namespace {

TEST(ValuePath, SplitsAtTheLastRealBackslash) {
  const struct {
    std::string path, keyPath, valueName;
  } cases[] = {
      {"Software\\Vantrel\\x", "Software\\Vantrel", "x"},
      {"Software\\Vantrel\\", "Software\\Vantrel", ""},
      {"Software\\Vantrel\\监控编号", "Software\\Vantrel", "监控编号"},
      // "乗" is 81 5C: its second byte is no backslash.
      {"Software\\Vantrel\\乗", "Software\\Vantrel", "乗"},
      {"Software\\乗", "Software", "乗"},
      {"乗", "", "乗"},
      {"x", "", "x"},
      {"", "", ""},
      {"Software\\Microsoft\\Windows\\CurrentVersion\\Run\\Vantrel",
       "Software\\Microsoft\\Windows\\CurrentVersion\\Run", "Vantrel"},
  };
  for (const auto& c : cases) {
    const ValuePath split = splitValuePath(c.path);
    EXPECT_EQ(split.keyPath, c.keyPath) << c.path;
    EXPECT_EQ(split.valueName, c.valueName) << c.path;
  }
  EXPECT_EQ(settingPath(kValueX), "Software\\Vantrel\\x");
}

TEST(ProgramPath, CollapsesDoubledBackslashesOnePassCharacterWise) {
  const struct {
    std::string modulePath, programPath;
  } cases[] = {
      {"C:\\Tools\\bar.exe", "C:\\Tools\\bar.exe"},
      {"C:\\bar.exe", "C:\\bar.exe"},
      {"\\\\server\\share\\bar.exe", "\\server\\share\\bar.exe"},
      {"C:\\\\\\Tools\\bar.exe", "C:\\\\Tools\\bar.exe"},  // three become two
      {"C:\\\\\\\\Tools\\bar.exe", "C:\\\\Tools\\bar.exe"},  // four become two
      {"C:\\乗\\bar.exe", "C:\\乗\\bar.exe"},  // 81 5C then a real backslash
      {"C:\\乗\\\\bar.exe", "C:\\乗\\bar.exe"},
      {"C:\\工具\\条.exe", "C:\\工具\\条.exe"},
  };
  for (const auto& c : cases) EXPECT_EQ(programPathFromModulePath(c.modulePath), c.programPath) << c.modulePath;
}

TEST(ProgramPath, RunEntryQuotesOnlyPathsWithSpaces) {
  EXPECT_EQ(runEntryText("C:\\Tools\\bar.exe"), "C:\\Tools\\bar.exe");
  EXPECT_EQ(runEntryText("C:\\Program Files\\Strovik\\strovik.exe"),
            "\"C:\\Program Files\\Strovik\\strovik.exe\"");
}

}  // namespace
