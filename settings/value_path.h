#pragma once
// A registry value addressed by one text: key path and value name joined by a
// backslash, relative to the current user's root.

#include <string>
#include <string_view>

struct ValuePath {
  std::string keyPath;    // empty: the root key itself
  std::string valueName;  // empty: the key's unnamed (default) value
};

// Position of the last backslash that is a character of its own, or npos. In GBK the
// second byte of a double-byte character may be 0x5C ("乗" is 81 5C), which is no backslash.
size_t lastBackslash(std::string_view path);

// Splits at the last backslash; a path without one is all value name.
ValuePath splitValuePath(std::string_view path);
