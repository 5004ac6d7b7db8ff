#include "settings/program_path.h"

#include "settings/value_path.h"

std::string collapseDoubledBackslashes(std::string_view path) {
  std::string result;
  size_t pos = 0;
  while (pos < path.size()) {
    if (path.compare(pos, 2, "\\\\") == 0) {
      result += '\\';
      pos += 2;
    } else {
      const bool lead = (static_cast<unsigned char>(path[pos]) & 0x80) && pos + 1 < path.size();
      const size_t length = lead ? 2 : 1;
      result += path.substr(pos, length);
      pos += length;
    }
  }
  return result;
}

std::string programPathFromModulePath(std::string_view modulePath) {
  const ValuePath parts = splitValuePath(modulePath);
  return collapseDoubledBackslashes(parts.keyPath + "\\" + parts.valueName);
}

std::string runEntryText(std::string_view programPath) {
  if (programPath.find(' ') == std::string_view::npos) return std::string(programPath);
  std::string quoted;
  quoted.reserve(programPath.size() + 2);
  quoted += '"';
  quoted += programPath;
  quoted += '"';
  return quoted;
}
