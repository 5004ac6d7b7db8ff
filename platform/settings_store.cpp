// The settings store over the ANSI registry functions: names are GBK bytes, handed on
// unchanged, so they mean what they say on a code page 936 system.
#include "settings/settings_store.h"

#include <windows.h>

#include <memory>
#include <vector>

#include "accounting/number_format.h"
#include "settings/value_path.h"

namespace {

struct KeyCloser {
  void operator()(HKEY key) const { RegCloseKey(key); }
};
using UniqueKey = std::unique_ptr<std::remove_pointer_t<HKEY>, KeyCloser>;

UniqueKey openKey(const std::string& keyPath, REGSAM access) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, access, &key) != ERROR_SUCCESS) return nullptr;
  return UniqueKey(key);
}

// Opens the key for writing, creating it (and missing parents) when it does not exist.
UniqueKey openOrCreateKey(const std::string& keyPath) {
  if (UniqueKey key = openKey(keyPath, KEY_WRITE)) return key;
  HKEY key = nullptr;
  if (RegCreateKeyA(HKEY_CURRENT_USER, keyPath.c_str(), &key) != ERROR_SUCCESS) return nullptr;
  return UniqueKey(key);
}

// The value's bytes as REG_SZ / REG_EXPAND_SZ data, zero-terminated whether or not the
// stored data is, and read again if it grew between the size query and the read.
bool queryString(HKEY key, const std::string& name, DWORD& type, std::string& text) {
  DWORD size = 0;
  if (RegQueryValueExA(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS) return false;
  if (type != REG_SZ && type != REG_EXPAND_SZ) return false;
  for (int attempt = 0; attempt < 8; ++attempt) {
    std::vector<char> data(size_t(size) + 1, '\0');
    DWORD got = size;
    const LONG result =
        RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &got);
    if (result == ERROR_MORE_DATA) {
      size = got;
      continue;
    }
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) return false;
    data[std::min<size_t>(got, size)] = '\0';
    text = data.data();
    return true;
  }
  return false;
}

std::string expandEnvironment(const std::string& text) {
  DWORD needed = ExpandEnvironmentStringsA(text.c_str(), nullptr, 0);
  for (int attempt = 0; attempt < 4 && needed > 0; ++attempt) {
    std::vector<char> expanded(size_t(needed) + 1, '\0');
    const DWORD written = ExpandEnvironmentStringsA(text.c_str(), expanded.data(), DWORD(expanded.size()));
    if (written == 0) break;
    if (written <= expanded.size()) return expanded.data();
    needed = written;  // the environment changed in between
  }
  return text;
}

}  // namespace

int32_t readNumber(const std::string& path, int32_t fallback) {
  const ValuePath value = splitValuePath(path);
  UniqueKey key = openKey(value.keyPath, KEY_READ);
  if (!key) return fallback;
  DWORD type = 0;
  if (RegQueryValueExA(key.get(), value.valueName.c_str(), nullptr, &type, nullptr, nullptr) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return fallback;
  }
  int32_t number = 0;
  DWORD size = sizeof number;
  if (RegQueryValueExA(key.get(), value.valueName.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(&number),
                       &size) != ERROR_SUCCESS ||
      type != REG_DWORD) {
    return fallback;
  }
  return number;
}

std::string readText(const std::string& path) {
  const ValuePath value = splitValuePath(path);
  UniqueKey key = openKey(value.keyPath, KEY_READ);
  if (!key) return {};
  DWORD type = 0;
  std::string text;
  if (!queryString(key.get(), value.valueName, type, text)) return {};
  return type == REG_EXPAND_SZ ? expandEnvironment(text) : text;
}

bool writeNumber(const std::string& path, int32_t value) {
  const ValuePath target = splitValuePath(path);
  UniqueKey key = openOrCreateKey(target.keyPath);
  if (!key) return false;
  return RegSetValueExA(key.get(), target.valueName.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                        sizeof value) == ERROR_SUCCESS;
}

bool writeNumber(const std::string& path, double value) { return writeNumber(path, truncateToInt32(value)); }

bool writeText(const std::string& path, const std::string& text) {
  const ValuePath target = splitValuePath(path);
  UniqueKey key = openOrCreateKey(target.keyPath);
  if (!key) return false;
  return RegSetValueExA(key.get(), target.valueName.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                        DWORD(text.size() + 1)) == ERROR_SUCCESS;
}

bool valueExists(const std::string& path) {
  const ValuePath value = splitValuePath(path);
  UniqueKey key = openKey(value.keyPath, KEY_READ);
  if (!key) return false;
  DWORD type = 0;
  return RegQueryValueExA(key.get(), value.valueName.c_str(), nullptr, &type, nullptr, nullptr) == ERROR_SUCCESS;
}

bool deleteEntry(const std::string& path) {
  const ValuePath value = splitValuePath(path);
  if (UniqueKey key = openKey(value.keyPath, KEY_WRITE)) {
    if (RegDeleteValueA(key.get(), value.valueName.c_str()) == ERROR_SUCCESS) return true;
  }
  return RegDeleteKeyA(HKEY_CURRENT_USER, path.c_str()) == ERROR_SUCCESS;
}
