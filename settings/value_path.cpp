#include "settings/value_path.h"

size_t lastBackslash(std::string_view path) {
  size_t last = std::string_view::npos;
  for (size_t pos = 0; pos < path.size();) {
    if (static_cast<unsigned char>(path[pos]) & 0x80) {
      pos += 2;  // lead byte: the next byte belongs to this character
      continue;
    }
    if (path[pos] == '\\') last = pos;
    ++pos;
  }
  return last;
}

ValuePath splitValuePath(std::string_view path) {
  const size_t split = lastBackslash(path);
  if (split == std::string_view::npos) return {"", std::string(path)};
  return {std::string(path.substr(0, split)), std::string(path.substr(split + 1))};
}
