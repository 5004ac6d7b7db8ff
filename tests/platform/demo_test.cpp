// The demo program, started as a user would: its bar and its balloon are on the screen.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "menu/menu_document.h"
#include "tests/support/screen.h"

namespace {

struct FoundWindow {
  DWORD process;
  const wchar_t* className;
  HWND hwnd;
};

HWND windowOf(DWORD process, const wchar_t* className) {
  FoundWindow found{process, className, nullptr};
  EnumWindows(
      [](HWND hwnd, LPARAM param) -> BOOL {
        auto* f = reinterpret_cast<FoundWindow*>(param);
        DWORD owner = 0;
        GetWindowThreadProcessId(hwnd, &owner);
        wchar_t name[64] = {};
        GetClassNameW(hwnd, name, 64);
        if (owner != f->process || wcscmp(name, f->className) != 0) return TRUE;
        f->hwnd = hwnd;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&found));
  return found.hwnd;
}

std::string ansiText(HWND hwnd) {
  std::string text(4096, '\0');
  text.resize(size_t(SendMessageA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

TEST(Demo, ShowsTheShapedBarWithItsBalloonAndOpensTheMenu) {
  if (GetACP() != 936) GTEST_SKIP() << "texts are compared as GBK bytes";
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring demo = path;
  demo = demo.substr(0, demo.rfind(L'\\')) + L"\\demo\\strovik_demo.exe";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  ASSERT_TRUE(CreateProcessW(demo.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));

  HWND bar = nullptr, balloon = nullptr;
  ASSERT_TRUE(screen::waitUntil([&] {
    bar = windowOf(process.dwProcessId, L"StrovikDemo");
    balloon = windowOf(process.dwProcessId, L"StrovikBalloon");
    return bar && balloon && IsWindowVisible(balloon) && ansiText(balloon) == startupHint();
  }));
  HWND label = FindWindowExW(bar, nullptr, L"StrovikLabel", nullptr);
  EXPECT_NE(label, nullptr);
  EXPECT_TRUE(GetWindowLongPtrW(bar, GWL_EXSTYLE) & WS_EX_LAYERED);
  RECT rect;
  GetWindowRect(bar, &rect);
  // The shape cuts the corner; the bar's middle is drawn.
  EXPECT_TRUE(screen::waitUntil([&] {
    const Picture shot = screen::capture(rect.left, rect.top, 155, 22);
    return !(shot.at(0, 0) == shot.at(60, 11)) && shot.at(60, 11).b > 200;
  }));

  screen::click(rect.left + 100, rect.top + 11, 3);
  EXPECT_TRUE(screen::waitUntil([&] { return ansiText(balloon) == initialMenuDocument(); }));

  PostMessageW(bar, WM_CLOSE, 0, 0);
  EXPECT_EQ(WaitForSingleObject(process.hProcess, 5000), WAIT_OBJECT_0);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

}  // namespace
