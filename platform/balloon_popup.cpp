#include "platform/balloon_popup.h"

#include <windowsx.h>

#include <algorithm>
#include <cwchar>

#include "platform/gbk_text.h"

namespace {

constexpr wchar_t kClassName[] = L"StrovikBalloon";
// Posted to the balloon itself, so that `closed` runs after the handler in progress.
constexpr UINT kRaiseClosedMessage = WM_APP + 1;

constexpr COLORREF kBackgroundColour = RGB(28, 28, 28);
constexpr COLORREF kHoverColour = RGB(0, 149, 187);
constexpr COLORREF kLinkTextColour = RGB(255, 255, 255);
// Text outside links is rare in the program's markup; a softer white keeps the links apart.
constexpr COLORREF kPlainTextColour = RGB(208, 208, 208);

constexpr wchar_t kPreferredFace[] = L"宋体";
constexpr wchar_t kFallbackFace[] = L"Verdana";

void setFaceName(LOGFONTW& logFont, const wchar_t* face) {
  wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
}

class PaintScope {
 public:
  explicit PaintScope(HWND window) : window_(window) { BeginPaint(window_, &paint_); }
  ~PaintScope() { EndPaint(window_, &paint_); }
  PaintScope(const PaintScope&) = delete;
  PaintScope& operator=(const PaintScope&) = delete;
  HDC dc() const { return paint_.hdc; }

 private:
  HWND window_;
  PAINTSTRUCT paint_{};
};

class ScreenDc {
 public:
  ScreenDc() : dc_(GetDC(nullptr)) {}
  ~ScreenDc() { ReleaseDC(nullptr, dc_); }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return dc_; }

 private:
  HDC dc_;
};

int CALLBACK countFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
  *reinterpret_cast<bool*>(found) = true;
  return 0;
}

// The face the program's texts are written for, if this system has it.
bool preferredFaceInstalled() {
  static const bool installed = [] {
    ScreenDc screen;
    LOGFONTW query{};
    query.lfCharSet = DEFAULT_CHARSET;
    setFaceName(query, kPreferredFace);
    bool found = false;
    EnumFontFamiliesExW(screen.get(), &query, countFace, reinterpret_cast<LPARAM>(&found), 0);
    return found;
  }();
  return installed;
}

bool isCloseTrigger(UINT mouseMessage) {
  switch (mouseMessage) {
    case WM_LBUTTONDOWN: case WM_RBUTTONDOWN: case WM_MBUTTONDOWN: case WM_XBUTTONDOWN:
    case WM_LBUTTONDBLCLK: case WM_RBUTTONDBLCLK: case WM_MBUTTONDBLCLK: case WM_XBUTTONDBLCLK:
    case WM_NCLBUTTONDOWN: case WM_NCRBUTTONDOWN: case WM_NCMBUTTONDOWN: case WM_NCXBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK: case WM_NCRBUTTONDBLCLK: case WM_NCMBUTTONDBLCLK: case WM_NCXBUTTONDBLCLK:
    case WM_MOUSEWHEEL: case WM_MOUSEHWHEEL:
      return true;
  }
  return false;
}

// The balloons shown by this thread and the hooks that watch its input while there are any.
// Thread hooks see the input of every window of the thread, also inside modal loops (message
// boxes, dialogs, the move loop), and nothing of other programs.
struct InputWatch {
  std::vector<BalloonPopup*> shown;
  HHOOK mouse = nullptr;
  HHOOK keyboard = nullptr;
};
thread_local InputWatch t_inputWatch;

}  // namespace

BalloonPopup::BalloonPopup(HWND owner) : owner_(owner) {}

BalloonPopup::~BalloonPopup() {
  if (window_) DestroyWindow(window_);
  if (backDc_ && originalBitmap_) SelectObject(backDc_.get(), originalBitmap_);
}

bool BalloonPopup::ensureWindow() {
  if (window_) return true;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  if (!GetClassInfoExW(instance, kClassName, &windowClass)) {
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExW(&windowClass)) return false;
  }
  if (!backDc_) {
    backDc_.reset(CreateCompatibleDC(nullptr));
    backgroundBrush_.reset(CreateSolidBrush(kBackgroundColour));
    hoverBrush_.reset(CreateSolidBrush(kHoverColour));
  }
  // Never activated: the program's own window keeps the focus and its keys.
  CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE, kClassName, L"", WS_POPUP, 0, 0, 0, 0, owner_,
                  nullptr, instance, this);
  return window_ != nullptr;
}

LRESULT CALLBACK BalloonPopup::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* self = static_cast<BalloonPopup*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    self->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<BalloonPopup*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (!self) return DefWindowProcW(window, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // Also when the owner goes first: the next show makes a new window.
    if (self->shown_) self->watchInput(false);
    self->shown_ = false;
    self->window_ = nullptr;
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    return DefWindowProcW(window, message, wParam, lParam);
  }
  return self->handleMessage(message, wParam, lParam);
}

LRESULT BalloonPopup::handleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PaintScope paint(window_);
      BitBlt(paint.dc(), 0, 0, backWidth_, backHeight_, backDc_.get(), 0, 0, SRCCOPY);
      return 0;
    }
    case WM_PRINTCLIENT:
      paintContent(reinterpret_cast<HDC>(wParam));
      return 0;
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorA(nullptr, hoveredLink_ != kNoLink ? IDC_HAND : IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_MOUSEMOVE: {
      if (!trackingLeave_) {
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, window_, 0};
        trackingLeave_ = TrackMouseEvent(&track) != FALSE;
      }
      setHoveredLink(linkAt(layout_, GET_X_LPARAM(lParam) - frame_.text.left, GET_Y_LPARAM(lParam) - frame_.text.top));
      return 0;
    }
    case WM_MOUSELEAVE:
      trackingLeave_ = false;
      setHoveredLink(kNoLink);
      return 0;
    case WM_LBUTTONDOWN:
      onLeftButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
      return 0;
    case kRaiseClosedMessage:
      if (closed) {
        const auto handler = closed;  // the handler may replace `closed`
        handler();
      }
      return 0;
  }
  return DefWindowProcW(window_, message, wParam, lParam);
}

void BalloonPopup::onLeftButtonDown(int x, int y) {
  if (!shown_) return;
  const int link = linkAt(layout_, x - frame_.text.left, y - frame_.text.top);
  if (link != kNoLink && linkClicked) {
    const unsigned show = showCount_;
    const auto handler = linkClicked;
    const std::string token = markup_.links[size_t(link)];
    handler(token);
    // The handler may have shown the balloon anew, or input in a dialog it opened closed it.
    if (show != showCount_) return;
  }
  close();
}

void BalloonPopup::showAt(int x, int y, const std::string& markup) {
  if (!ensureWindow()) return;
  if (shown_) endShow(/*hide=*/false);

  markup_ = parseBalloonMarkup(markup);
  layout_ = layoutBalloonText(markup_, measurer());
  runTexts_.clear();
  for (const PlacedRun& placed : layout_.runs) runTexts_.push_back(gbkToWide(placed.run.text));

  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  GetMonitorInfoW(MonitorFromPoint(POINT{x, y}, MONITOR_DEFAULTTONEAREST), &monitor);
  const RECT& work = monitor.rcWork;
  frame_ = placeBalloon(layout_.width, layout_.height, style, x, y, Box{work.left, work.top, work.right, work.bottom});

  hoveredLink_ = kNoLink;
  SetWindowTextW(window_, gbkToWide(markup).c_str());

  HRGN region = CreateRectRgn(0, 0, 0, 0);
  for (const Box& box : frame_.shape) {
    HRGN part = CreateRectRgn(box.left, box.top, box.right, box.bottom);
    CombineRgn(region, region, part, RGN_OR);
    DeleteObject(part);
  }
  // The window owns the region from here on.
  if (!SetWindowRgn(window_, region, FALSE)) DeleteObject(region);

  resizeBackBuffer(frame_.window.width(), frame_.window.height());
  paintContent(backDc_.get());
  SetWindowPos(window_, HWND_TOPMOST, frame_.window.left, frame_.window.top, frame_.window.width(),
               frame_.window.height(), SWP_NOACTIVATE | SWP_SHOWWINDOW);
  InvalidateRect(window_, nullptr, FALSE);
  UpdateWindow(window_);

  shown_ = true;
  ++showCount_;
  watchInput(true);
}

void BalloonPopup::close() {
  if (shown_) endShow(/*hide=*/true);
}

void BalloonPopup::endShow(bool hide) {
  shown_ = false;
  watchInput(false);
  hoveredLink_ = kNoLink;
  if (trackingLeave_) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE | TME_CANCEL, window_, 0};
    TrackMouseEvent(&track);
    trackingLeave_ = false;
  }
  if (hide) {
    SetWindowPos(window_, nullptr, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOOWNERZORDER);
  }
  PostMessageW(window_, kRaiseClosedMessage, 0, 0);
}

void BalloonPopup::watchInput(bool on) {
  InputWatch& watch = t_inputWatch;
  auto& shown = watch.shown;
  if (on) {
    if (std::find(shown.begin(), shown.end(), this) == shown.end()) shown.push_back(this);
    if (!watch.mouse) watch.mouse = SetWindowsHookExW(WH_MOUSE, mouseHook, nullptr, GetCurrentThreadId());
    if (!watch.keyboard) watch.keyboard = SetWindowsHookExW(WH_KEYBOARD, keyboardHook, nullptr, GetCurrentThreadId());
    return;
  }
  shown.erase(std::remove(shown.begin(), shown.end(), this), shown.end());
  if (shown.empty()) {
    if (watch.mouse) UnhookWindowsHookEx(watch.mouse);
    if (watch.keyboard) UnhookWindowsHookEx(watch.keyboard);
    watch.mouse = watch.keyboard = nullptr;
  }
}

void BalloonPopup::closeShownPopups(HWND target, UINT message) {
  const std::vector<BalloonPopup*> shown = t_inputWatch.shown;  // closing changes the list
  for (BalloonPopup* popup : shown) {
    // A left press on the balloon itself is its own to handle: a link reports before it closes.
    if (target == popup->window_ && message == WM_LBUTTONDOWN) continue;
    popup->close();
  }
}

LRESULT CALLBACK BalloonPopup::mouseHook(int code, WPARAM wParam, LPARAM lParam) {
  // HC_ACTION: the message is being taken from the queue, so each press counts once.
  if (code == HC_ACTION && isCloseTrigger(UINT(wParam))) {
    closeShownPopups(reinterpret_cast<const MOUSEHOOKSTRUCT*>(lParam)->hwnd, UINT(wParam));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

LRESULT CALLBACK BalloonPopup::keyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  const bool keyGoingDown = (lParam & (LPARAM(1) << 31)) == 0;
  if (code == HC_ACTION && keyGoingDown) closeShownPopups(nullptr, WM_KEYDOWN);
  return CallNextHookEx(nullptr, code, wParam, lParam);
}

HFONT BalloonPopup::font(int fontPt) {
  auto found = fonts_.find(fontPt);
  if (found != fonts_.end()) return found->second.get();
  ScreenDc screen;
  LOGFONTW logFont{};
  logFont.lfHeight = -MulDiv(fontPt, GetDeviceCaps(screen.get(), LOGPIXELSY), 72);
  logFont.lfWeight = FW_NORMAL;
  // Without the face, Windows would pick any font of the Chinese character set instead of the
  // fallback; with it, the character set keeps CJK glyphs where the face is substituted.
  const bool preferred = preferredFaceInstalled();
  logFont.lfCharSet = preferred ? GB2312_CHARSET : DEFAULT_CHARSET;
  setFaceName(logFont, preferred ? kPreferredFace : kFallbackFace);
  return fonts_.emplace(fontPt, UniqueFont(CreateFontIndirectW(&logFont))).first->second.get();
}

TextMeasurer BalloonPopup::measurer() {
  return TextMeasurer{
      [this](int fontPt) {
        SelectedObject selected(backDc_.get(), font(fontPt));
        TEXTMETRICW metrics{};
        GetTextMetricsW(backDc_.get(), &metrics);
        return FontMetrics{int(metrics.tmAscent), int(metrics.tmDescent)};
      },
      [this](int fontPt, std::string_view gbk) {
        SelectedObject selected(backDc_.get(), font(fontPt));
        const std::wstring text = gbkToWide(gbk);
        SIZE size{};
        GetTextExtentPoint32W(backDc_.get(), text.c_str(), int(text.size()), &size);
        return int(size.cx);
      }};
}

void BalloonPopup::resizeBackBuffer(int width, int height) {
  if (backBitmap_ && width == backWidth_ && height == backHeight_) return;
  ScreenDc screen;
  UniqueBitmap bitmap(CreateCompatibleBitmap(screen.get(), std::max(width, 1), std::max(height, 1)));
  const HGDIOBJ previous = SelectObject(backDc_.get(), bitmap.get());
  if (!originalBitmap_) originalBitmap_ = previous;
  backBitmap_ = std::move(bitmap);  // the old one is no longer selected, so it can go
  backWidth_ = width;
  backHeight_ = height;
}

void BalloonPopup::paintContent(HDC dc) {
  const RECT whole{0, 0, frame_.window.width(), frame_.window.height()};
  FillRect(dc, &whole, backgroundBrush_.get());
  SetBkMode(dc, TRANSPARENT);
  const int left = frame_.text.left, top = frame_.text.top;
  for (size_t i = 0; i < layout_.runs.size(); ++i) {
    const PlacedRun& placed = layout_.runs[i];
    const bool isLink = placed.run.link != kNoLink;
    if (isLink && placed.run.link == hoveredLink_) {
      const RECT cell{left + placed.cell.left, top + placed.cell.top, left + placed.cell.right, top + placed.cell.bottom};
      FillRect(dc, &cell, hoverBrush_.get());
    }
    SelectedObject selected(dc, font(placed.run.fontPt));
    SetTextColor(dc, isLink ? kLinkTextColour : kPlainTextColour);
    const std::wstring& text = runTexts_[i];
    ExtTextOutW(dc, left + placed.cell.left, top + placed.textTop, 0, nullptr, text.c_str(), UINT(text.size()), nullptr);
  }
}

void BalloonPopup::repaint() {
  paintContent(backDc_.get());
  InvalidateRect(window_, nullptr, FALSE);
  UpdateWindow(window_);
}

void BalloonPopup::setHoveredLink(int link) {
  if (link == hoveredLink_ || !shown_) return;
  hoveredLink_ = link;
  repaint();
}
