#include "platform/module_path.h"

#include <windows.h>

std::string modulePath() {
  // MAX_PATH is the usual size, but a longer path is cut off silently at the buffer's
  // end, and a cut-off path in the Run key would start nothing.
  std::string path(MAX_PATH, '\0');
  for (;;) {
    const DWORD length = GetModuleFileNameA(nullptr, path.data(), DWORD(path.size()));
    if (length == 0) return {};
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);
  }
}
