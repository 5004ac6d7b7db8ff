// The test support itself: what a window paints is what a screenshot shows, and a click
// through the X server arrives as a real mouse message.
#include "tests/support/screen.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

int g_clicks = 0;
POINT g_clickPoint{};

LRESULT CALLBACK probeProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND: {
      RECT rc;
      GetClientRect(hwnd, &rc);
      HBRUSH brush = CreateSolidBrush(RGB(200, 30, 40));
      FillRect(reinterpret_cast<HDC>(wParam), &rc, brush);
      DeleteObject(brush);
      return 1;
    }
    case WM_LBUTTONDOWN:
      ++g_clicks;
      g_clickPoint = {short(LOWORD(lParam)), short(HIWORD(lParam))};
      return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

TEST(Screen, CaptureShowsAWindowAndClicksReachIt) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = probeProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"StrovikScreenProbe";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 300, 200, 120,
                              80, nullptr, nullptr, wc.hInstance, nullptr);
  ASSERT_NE(hwnd, nullptr);
  ShowWindow(hwnd, SW_SHOWNOACTIVATE);
  UpdateWindow(hwnd);

  Picture shot;
  ASSERT_TRUE(screen::waitUntil([&] {
    shot = screen::capture(300, 200, 120, 80);
    return shot.width == 120 && shot.at(60, 40) == Rgb{200, 30, 40};
  }));
  EXPECT_EQ(shot.at(0, 0), (Rgb{200, 30, 40}));
  EXPECT_EQ(shot.at(119, 79), (Rgb{200, 30, 40}));

  screen::click(310, 215);
  EXPECT_TRUE(screen::waitUntil([] { return g_clicks == 1; }));
  EXPECT_EQ(g_clickPoint.x, 10);
  EXPECT_EQ(g_clickPoint.y, 15);
  DestroyWindow(hwnd);
}

}  // namespace
