// A small demo of the window toolkit and the balloon popup: a shaped, alpha-blended bar
// with labels that change every second and a hint balloon; a right click opens a balloon
// with the menu (an entry brings a notice), a left press drags the bar, the last menu
// entry (or closing the window) ends it.
#include <windows.h>

#include <string>

#include "accounting/number_format.h"
#include "menu/menu_document.h"
#include "platform/balloon_popup.h"
#include "platform/window.h"

namespace {

constexpr Rgb kKey{255, 0, 255};
constexpr int kWidth = 155, kHeight = 22;

// A pale bar with a blue frame, cut corners and a separator, on the key colour.
Picture demoPicture() {
  Picture picture(kWidth, kHeight, kKey);
  for (int y = 1; y < kHeight - 1; ++y) {
    for (int x = 1; x < kWidth - 1; ++x) {
      const bool corner = (x == 1 || x == kWidth - 2) && (y == 1 || y == kHeight - 2);
      if (corner) continue;
      const bool frame = x == 1 || y == 1 || x == kWidth - 2 || y == kHeight - 2;
      const auto shade = uint8_t(252 - y);
      picture.set(x, y, frame ? Rgb{94, 157, 210} : Rgb{uint8_t(shade - 20), uint8_t(shade - 8), shade});
    }
  }
  for (int y = 3; y < kHeight - 3; ++y) picture.set(76, y, Rgb{200, 220, 230});
  return picture;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  WindowDesign design;
  design.name = "Demo";
  design.left = (screenWidth() - kWidth) / 2;
  design.top = 200;
  design.width = kWidth;
  design.height = kHeight;
  design.background = demoPicture();
  design.topmost = true;
  FontFields font;
  font.height = -12;
  font.weight = 400;
  font.charSet = GB2312_CHARSET;
  font.faceName = "新宋体";
  LabelDesign down{"down", 17, 5, 55, 14, true, false, font, Rgb{0, 0, 0}, TextAlign::right, "KB/S"};
  LabelDesign up = down;
  up.name = "up";
  up.left = 91;
  LabelDesign cover{"cover", 1, -6, 159, 30, true, true, std::nullopt, Rgb{0, 0, 0}, TextAlign::left, ""};
  design.labels = {down, up, cover};

  Window bar(design);
  bar.created = [&] {
    setWindowShape(bar, design.background, 0xFF00FF);
    setWindowAlpha(windowHandle(bar), 225);
    visible(bar, true);
  };
  if (!loadWindow(bar)) return 1;

  // The menu below the bar with square corners; notices with rounded corners and a tail.
  BalloonPopup popup(windowHandle(bar));
  auto show = [&](const std::string& markup, bool notice) {
    popup.style = notice ? BalloonStyle{3, 3, 9, 5, 1} : BalloonStyle{0, 0, 0, 0, 1};
    popup.showAt(left(bar) + 72, top(bar) + 22, markup);
  };
  std::string pendingNotice;
  bool quit = false;
  popup.linkClicked = [&](const std::string& token) {
    if (token == "m8") quit = true;
    else if (token.size() == 2 && token[0] == 'm') pendingNotice = noticeMarkup("msg1", "你点了 " + token);
  };
  popup.closed = [&] {
    if (quit) PostQuitMessage(0);
    if (pendingNotice.empty()) return;
    show(pendingNotice, true);
    pendingNotice.clear();
  };

  TransLabel& coverLabel = *bar.label("cover");
  coverLabel.leftButtonDown = [&](int, int) { sendWindowMessage(bar, WM_NCLBUTTONDOWN, HTCAPTION, 0); };
  coverLabel.rightButtonDown = [&](int, int) { show(initialMenuDocument(), false); };
  show(startupHint(), true);

  int seconds = 0;
  Timer timer;
  timer.tick = [&] {
    ++seconds;
    bar.label("down")->setCaption(formatSpeed(seconds % 2 ? 1023.9990234375 : 0.0));
    bar.label("up")->setCaption(formatSpeed(seconds * 1.5));
  };
  timer.setPeriod(1000);

  MSG msg;
  while (IsWindow(windowHandle(bar)) && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}
