#pragma once
// A borderless balloon that shows a short markup (see balloon_markup.h) at a screen point:
// a topmost tool window of class "StrovikBalloon" without a taskbar button, dark, every line
// centred, links white and lit up under the mouse. One instance serves many shows.
//
// A shown balloon closes on any mouse button press, double click, wheel turn or key press in
// any window of the thread that showed it (modal loops included, and the press on one of its
// own links); input to other programs leaves it alone. It never closes by itself.

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/balloon_geometry.h"
#include "platform/balloon_markup.h"
#include "platform/gdi.h"

class BalloonPopup {
 public:
  // The window is made on the first show, owned by `owner` (which may be null); everything
  // here belongs to the thread that shows it.
  explicit BalloonPopup(HWND owner = nullptr);
  ~BalloonPopup();
  BalloonPopup(const BalloonPopup&) = delete;
  BalloonPopup& operator=(const BalloonPopup&) = delete;

  // Read at each show.
  BalloonStyle style;

  // A left press on a link: raised once, at once, with the link's token, before the balloon
  // closes. The handler may show the balloon again (that show then stays) or open a modal
  // dialog; it must not destroy the balloon.
  std::function<void(const std::string& token)> linkClicked;
  // Each time a shown balloon closes, replacement by showAt included. Queued: it runs after
  // the handler in progress has returned. A balloon destroyed while shown raises nothing.
  std::function<void()> closed;

  // Shows `markup` (GBK) with the tail's tip (without a tail, the middle of the edge that
  // style.tailPosition names) on screen point (x, y), the body kept on that point's monitor.
  // A balloon still shown is closed first.
  void showAt(int x, int y, const std::string& markup);
  // Closes a shown balloon; does nothing otherwise.
  void close();

  bool shown() const { return shown_; }
  HWND windowHandle() const { return window_; }

 private:

  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK mouseHook(int code, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK keyboardHook(int code, WPARAM wParam, LPARAM lParam);
  static void closeShownPopups(HWND target, UINT message);

  LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  bool ensureWindow();
  void endShow(bool hide);
  void watchInput(bool on);
  HFONT font(int fontPt);
  TextMeasurer measurer();
  void resizeBackBuffer(int width, int height);
  void paintContent(HDC dc);
  void repaint();
  void setHoveredLink(int link);
  void onLeftButtonDown(int x, int y);

  HWND owner_ = nullptr;
  HWND window_ = nullptr;
  bool shown_ = false;
  unsigned showCount_ = 0;  // tells a link handler's own show apart from the one it was raised in
  bool trackingLeave_ = false;
  int hoveredLink_ = kNoLink;

  BalloonMarkup markup_;
  TextLayout layout_;
  std::vector<std::wstring> runTexts_;  // the layout's run texts, decoded once per show
  BalloonFrame frame_;

  std::map<int, UniqueFont> fonts_;  // by point size, made once and kept
  UniqueDc backDc_;                  // the picture of the window, also used for measuring
  UniqueBitmap backBitmap_;
  HGDIOBJ originalBitmap_ = nullptr;
  int backWidth_ = 0;
  int backHeight_ = 0;
  UniqueBrush backgroundBrush_;
  UniqueBrush hoverBrush_;
};
