#pragma once
// Registry tests run against the real (Wine) registry of the test prefix; each starts
// and ends with no settings key and no Run entry.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

class RegistryTest : public testing::Test {
 protected:
  static constexpr const char* kSettingsKey = "Software\\Vantrel";
  static constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

  void SetUp() override { clean(); }
  void TearDown() override { clean(); }

  static void clean() {
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettingsKey);
    RegDeleteKeyValueA(HKEY_CURRENT_USER, kRunKey, "Vantrel");
  }

  static bool keyExists(const char* keyPath) {
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    RegCloseKey(key);
    return true;
  }

  // Stores raw bytes of any type, bypassing the code under test.
  static void putRaw(const char* keyPath, const std::string& name, DWORD type, const void* data, DWORD size) {
    HKEY key;
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    ASSERT_EQ(RegSetValueExA(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    RegCloseKey(key);
  }

  static void putText(const char* keyPath, const std::string& name, DWORD type, const std::string& text) {
    putRaw(keyPath, name, type, text.c_str(), DWORD(text.size() + 1));
  }

  static void putDword(const char* keyPath, const std::string& name, DWORD value) {
    putRaw(keyPath, name, REG_DWORD, &value, sizeof value);
  }

  // Type of a value, or REG_NONE with `exists` false when it is missing.
  static DWORD typeOf(const char* keyPath, const std::string& name, bool* exists = nullptr) {
    DWORD type = REG_NONE;
    const bool found =
        RegGetValueA(HKEY_CURRENT_USER, keyPath, name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type, nullptr, nullptr) ==
        ERROR_SUCCESS;
    if (exists) *exists = found;
    return type;
  }

  static std::string rawText(const char* keyPath, const std::string& name) {
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (RegGetValueA(HKEY_CURRENT_USER, keyPath, name.c_str(), RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND,
                     nullptr, buffer, &size) != ERROR_SUCCESS) {
      return "<missing>";
    }
    return buffer;
  }
};
