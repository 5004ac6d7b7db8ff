#include "tests/support/screen.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

namespace screen {
namespace {

// Wine maps the host's root directory to drive Z:.
std::string hostToWindowsPath(const std::string& hostPath) {
  std::string path = "Z:" + hostPath;
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

std::string scratchPath(const char* suffix) {
  // Process ids are only unique within one Wine prefix: two worktrees testing at the same time
  // would otherwise write and delete each other's scripts.
  static const unsigned long long runId = [] {
    std::random_device random;
    LARGE_INTEGER now{};
    QueryPerformanceCounter(&now);
    return ((static_cast<unsigned long long>(random()) << 32) | random()) ^ static_cast<unsigned long long>(now.QuadPart);
  }();
  static int counter = 0;
  char name[128];
  std::snprintf(name, sizeof name, "/tmp/strovik-test-%lu-%016llx-%d%s", GetCurrentProcessId(), runId, ++counter,
                suffix);
  return name;
}

bool fileExists(const std::string& hostPath) {
  return GetFileAttributesA(hostToWindowsPath(hostPath).c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string readFile(const std::string& hostPath) {
  std::ifstream in(hostToWindowsPath(hostPath), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// "P6 <w> <h> 255" followed by RGB bytes, as `import ppm:` writes it.
Picture parsePpm(const std::string& data) {
  int width = 0, height = 0, maxValue = 0, headerLength = 0;
  if (std::sscanf(data.c_str(), "P6 %d %d %d%n", &width, &height, &maxValue, &headerLength) != 3 ||
      maxValue != 255) {
    return {};
  }
  const size_t start = size_t(headerLength) + 1;  // one whitespace byte ends the header
  if (data.size() < start + size_t(width) * size_t(height) * 3) return {};
  Picture picture(width, height);
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    picture.pixels[i] = Rgb{uint8_t(data[start + 3 * i]), uint8_t(data[start + 3 * i + 1]),
                            uint8_t(data[start + 3 * i + 2])};
  }
  return picture;
}

}  // namespace

void pump(int ms) {
  waitUntil([] { return false; }, ms);
}

bool waitUntil(const std::function<bool()>& done, int timeoutMs) {
  const ULONGLONG deadline = GetTickCount64() + ULONGLONG(timeoutMs);
  for (;;) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    if (done()) return true;
    if (GetTickCount64() >= deadline) return done();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
  }
}

bool runHost(const std::string& shellCommand, int timeoutMs) {
  // Wine starts host programs but gives no handle to wait on: the script reports its
  // exit status through a file that appears atomically.
  const std::string script = scratchPath(".sh");
  const std::string status = scratchPath(".status");
  {
    std::ofstream out(hostToWindowsPath(script), std::ios::binary);
    out << shellCommand << "\necho $? > " << status << ".tmp && mv " << status << ".tmp " << status << "\n";
  }
  std::string commandLine = "/bin/sh " + script;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                      &process)) {
    return false;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  const bool finished = waitUntil([&] { return fileExists(status); }, timeoutMs);
  const std::string code = finished ? readFile(status) : "";
  DeleteFileA(hostToWindowsPath(script).c_str());
  DeleteFileA(hostToWindowsPath(status).c_str());
  return finished && std::atoi(code.c_str()) == 0 && !code.empty();
}

Picture capture() {
  const std::string file = scratchPath(".ppm");
  Picture picture;
  if (runHost("import -window root -display \"$DISPLAY\" -depth 8 ppm:" + file)) picture = parsePpm(readFile(file));
  DeleteFileA(hostToWindowsPath(file).c_str());
  return picture;
}

Picture capture(int x, int y, int width, int height) {
  const Picture whole = capture();
  Picture part(width, height);
  for (int row = 0; row < height; ++row) {
    for (int col = 0; col < width; ++col) {
      if (whole.contains(x + col, y + row)) part.set(col, row, whole.at(x + col, y + row));
    }
  }
  return part;
}

void moveMouse(int x, int y) { runHost("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y)); }

void click(int x, int y, int button) {
  runHost("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click " +
          std::to_string(button));
}

void doubleClick(int x, int y, int button) {
  runHost("xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) + " click --repeat 2 --delay 50 " +
          std::to_string(button));
}

void pressKey(const std::string& xdotoolKeyName) { runHost("xdotool key " + xdotoolKeyName); }

void typeText(const std::string& text) { runHost("xdotool type -- '" + text + "'"); }

}  // namespace screen
