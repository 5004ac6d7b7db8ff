#include "platform/window.h"

#include <algorithm>

#include "platform/gbk_text.h"
#include "platform/shape.h"

namespace {

constexpr wchar_t kLabelClass[] = L"StrovikLabel";
constexpr wchar_t kTimerClass[] = L"StrovikTimer";
constexpr UINT_PTR kTimerId = 1;

HINSTANCE instance() { return GetModuleHandleW(nullptr); }

bool registerClass(const wchar_t* name, WNDPROC procedure) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance();
  wc.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  wc.lpszClassName = name;
  return RegisterClassExW(&wc) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The object behind a window of ours: stored from lpCreateParams at WM_NCCREATE.
template <typename T>
T* attachedObject(HWND hwnd, UINT message, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* object = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
    return object;
  }
  auto* object = reinterpret_cast<T*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message == WM_NCDESTROY) SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
  return object;
}

// A top-down 32-bit DIB holding the picture.
HBITMAP bitmapFromPicture(HDC reference, const Picture& picture) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.width;
  info.bmiHeader.biHeight = -picture.height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bitmap = CreateDIBSection(reference, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap) return nullptr;
  auto* pixels = static_cast<uint32_t*>(bits);
  for (size_t i = 0; i < picture.pixels.size(); ++i) {
    const Rgb c = picture.pixels[i];
    pixels[i] = uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b;
  }
  return bitmap;
}

// Without a font of its own a label uses the GUI font as a Chinese system has it: 9 pt
// with the Chinese character set. A Western system's GUI font is smaller and has no CJK
// glyphs, so the labels would change size and show boxes.
constexpr LONG kChineseGuiFontHeight = -12;

LOGFONTW logFontFor(const std::optional<FontFields>& fields) {
  LOGFONTW font{};
  if (!fields) {
    GetObjectW(GetStockObject(DEFAULT_GUI_FONT), sizeof font, &font);
    font.lfHeight = kChineseGuiFontHeight;
    font.lfCharSet = GB2312_CHARSET;
    return font;
  }
  font.lfHeight = fields->height;
  font.lfWeight = fields->weight;
  font.lfCharSet = fields->charSet;
  font.lfOutPrecision = fields->outPrecision;
  font.lfClipPrecision = fields->clipPrecision;
  font.lfQuality = fields->quality;
  font.lfPitchAndFamily = fields->pitchAndFamily;
  const std::wstring face = gbkToWide(fields->faceName);
  face.copy(font.lfFaceName, LF_FACESIZE - 1);
  return font;
}

// One paintContent(hdc) serves the screen and WM_PRINTCLIENT (a child asking for the
// background beneath it); the background is drawn there too, so erasing does nothing.
template <typename Paint>
LRESULT paintMessage(HWND hwnd, UINT message, WPARAM wParam, Paint paint) {
  if (message == WM_PRINTCLIENT) {
    paint(reinterpret_cast<HDC>(wParam));
  } else if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC hdc = BeginPaint(hwnd, &ps);
    paint(hdc);
    EndPaint(hwnd, &ps);
  }
  return message == WM_ERASEBKGND ? 1 : 0;
}

UINT alignmentFlags(TextAlign align) {
  switch (align) {
    case TextAlign::centre: return DT_CENTER;
    case TextAlign::right: return DT_RIGHT;
    case TextAlign::left: break;
  }
  return DT_LEFT;
}

}  // namespace

// ---- TransLabel ----

TransLabel::~TransLabel() {
  if (hwnd_) DestroyWindow(hwnd_);
}

bool TransLabel::create(HWND parent) {
  if (!registerClass(kLabelClass, windowProc)) return false;
  const LOGFONTW font = logFontFor(design_.font);
  font_.reset(CreateFontIndirectW(&font));
  DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
  if (design_.visible) style |= WS_VISIBLE;
  if (!design_.enabled) style |= WS_DISABLED;
  hwnd_ = CreateWindowExW(0, kLabelClass, gbkToWide(design_.caption).c_str(), style, design_.left, design_.top,
                          design_.width, design_.height, parent, nullptr, instance(), this);
  return hwnd_ != nullptr;
}

void TransLabel::setCaption(std::string_view caption) {
  if (caption == design_.caption) return;
  design_.caption = caption;
  if (!hwnd_) return;
  // Stored straight through the wide default procedure: a procedure put in front of the
  // label with the ANSI functions (the leave watcher) would pass the text through the
  // system's code page, and lose it under a Western one.
  const std::wstring text = gbkToWide(design_.caption);
  DefWindowProcW(hwnd_, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  // Repaint what lies beneath first: that wipes the old text, then the label draws anew.
  HWND parent = GetParent(hwnd_);
  RECT area;
  GetWindowRect(hwnd_, &area);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&area), 2);
  RedrawWindow(parent, &area, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

void TransLabel::paintContent(HDC hdc) {
  if (design_.caption.empty()) return;
  RECT client;
  GetClientRect(hwnd_, &client);
  const SIZE size{client.right, client.bottom};
  if (!buffer_ || buffer_.size().cx != size.cx || buffer_.size().cy != size.cy) {
    buffer_.assign(hdc, CreateCompatibleBitmap(hdc, size.cx, size.cy), size);
  }
  HDC buffer = buffer_.dc();

  // The parent's background under the label, then the text over it.
  POINT origin{0, 0};
  MapWindowPoints(hwnd_, GetParent(hwnd_), &origin, 1);
  POINT previousOrigin;
  SetViewportOrgEx(buffer, -origin.x, -origin.y, &previousOrigin);
  SendMessageW(GetParent(hwnd_), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(buffer), PRF_CLIENT);
  SetViewportOrgEx(buffer, previousOrigin.x, previousOrigin.y, nullptr);

  SelectedObject font(buffer, font_.get());
  SetBkMode(buffer, TRANSPARENT);
  SetTextColor(buffer, RGB(design_.colour.r, design_.colour.g, design_.colour.b));
  std::wstring text = gbkToWide(design_.caption);
  RECT box = client;
  DrawTextW(buffer, text.data(), int(text.size()), &box,
            DT_NOCLIP | DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | alignmentFlags(design_.align));
  BitBlt(hdc, 0, 0, size.cx, size.cy, buffer, 0, 0, SRCCOPY);
}

LRESULT TransLabel::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  const int x = short(LOWORD(lParam)), y = short(HIWORD(lParam));
  switch (message) {
    case WM_NCHITTEST:
      // A disabled label is see-through for the mouse too: the window beneath gets it.
      if (!IsWindowEnabled(hwnd_)) return HTTRANSPARENT;
      break;
    case WM_ERASEBKGND:
    case WM_PAINT:
    case WM_PRINTCLIENT:
      return paintMessage(hwnd_, message, wParam, [this](HDC hdc) { paintContent(hdc); });
    case WM_MOUSEMOVE:
      if (mouseMoved) mouseMoved(x, y);
      return 0;
    case WM_LBUTTONDOWN:
      if (leftButtonDown) leftButtonDown(x, y);
      return 0;
    case WM_RBUTTONDOWN:
      if (rightButtonDown) rightButtonDown(x, y);
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK TransLabel::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  TransLabel* label = attachedObject<TransLabel>(hwnd, message, lParam);
  if (!label) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCCREATE) label->hwnd_ = hwnd;
  if (message == WM_NCDESTROY) {
    label->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return label->handle(message, wParam, lParam);
}

// ---- Window ----

Window::Window(WindowDesign design) : design_(std::move(design)) {}

Window::~Window() {
  labels_.clear();
  if (hwnd_) DestroyWindow(hwnd_);
}

TransLabel* Window::label(std::string_view name) const {
  for (const auto& label : labels_) {
    if (label->name() == name) return label.get();
  }
  return nullptr;
}

void Window::paintContent(HDC hdc) {
  RECT client;
  GetClientRect(hwnd_, &client);
  if (!picture_) {
    FillRect(hdc, &client, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return;
  }
  const SIZE tile = picture_.size();
  for (int y = 0; y < client.bottom; y += tile.cy) {
    for (int x = 0; x < client.right; x += tile.cx) BitBlt(hdc, x, y, tile.cx, tile.cy, picture_.dc(), 0, 0, SRCCOPY);
  }
}

LRESULT Window::handle(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
    case WM_PAINT:
    case WM_PRINTCLIENT:
      return paintMessage(hwnd_, message, wParam, [this](HDC hdc) { paintContent(hdc); });
    case WM_MOVE:
      if (loaded_ && moved) moved();
      return 0;
    case WM_LBUTTONDOWN:
      if (leftButtonDown) leftButtonDown(short(LOWORD(lParam)), short(HIWORD(lParam)));
      return 0;
  }
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Window* window = attachedObject<Window>(hwnd, message, lParam);
  if (!window) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCCREATE) window->hwnd_ = hwnd;
  if (message == WM_NCDESTROY) {
    window->hwnd_ = nullptr;
    return DefWindowProcW(hwnd, message, wParam, lParam);
  }
  return window->handle(message, wParam, lParam);
}

bool loadWindow(Window& window) {
  if (window.hwnd_) return true;
  const WindowDesign& design = window.design_;
  const std::wstring className = L"Strovik" + gbkToWide(design.name);
  if (!registerClass(className.c_str(), Window::windowProc)) return false;

  // A tool window gets no taskbar button.
  DWORD exStyle = WS_EX_TOOLWINDOW;
  if (design.topmost) exStyle |= WS_EX_TOPMOST;
  if (!CreateWindowExW(exStyle, className.c_str(), gbkToWide(design.name).c_str(), WS_POPUP, design.left,
                       design.top, design.width, design.height, nullptr, nullptr, instance(), &window)) {
    return false;
  }

  if (design.background.width > 0 && design.background.height > 0) {
    HDC screen = GetDC(nullptr);
    window.picture_.assign(screen, bitmapFromPicture(screen, design.background),
                           SIZE{design.background.width, design.background.height});
    ReleaseDC(nullptr, screen);
  }

  // Each label goes below the ones before it: the first of the design is on top.
  for (const LabelDesign& labelDesign : design.labels) {
    auto label = std::unique_ptr<TransLabel>(new TransLabel(labelDesign));
    if (!label->create(window.hwnd_)) return false;
    SetWindowPos(label->handle(), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    window.labels_.push_back(std::move(label));
  }

  window.loaded_ = true;
  if (window.created) window.created();
  if (window.moved) window.moved();
  if (design.visible) visible(window, true);
  return true;
}

void setWindowShape(Window& window, const Picture& picture, uint32_t keyColour) {
  const std::vector<PixelRun> runs = shapeRuns(picture, rgbFromHex(keyColour));
  std::vector<uint8_t> data(sizeof(RGNDATAHEADER) + runs.size() * sizeof(RECT));
  auto* header = reinterpret_cast<RGNDATAHEADER*>(data.data());
  header->dwSize = sizeof(RGNDATAHEADER);
  header->iType = RDH_RECTANGLES;
  header->nCount = DWORD(runs.size());
  header->nRgnSize = DWORD(runs.size() * sizeof(RECT));
  header->rcBound = {0, 0, picture.width, picture.height};
  auto* rects = reinterpret_cast<RECT*>(data.data() + sizeof(RGNDATAHEADER));
  for (size_t i = 0; i < runs.size(); ++i) rects[i] = {runs[i].left, runs[i].top, runs[i].right, runs[i].bottom};
  HRGN region = ExtCreateRegion(nullptr, DWORD(data.size()), reinterpret_cast<const RGNDATA*>(data.data()));
  // Once set, the region belongs to the system.
  if (region && !SetWindowRgn(window.handle(), region, TRUE)) DeleteObject(region);
}

void moveWindow(Window& window, int32_t left, int32_t top, int32_t width, int32_t height) {
  RECT now;
  GetWindowRect(window.handle(), &now);
  if (now.left == left && now.top == top && now.right - now.left == width && now.bottom - now.top == height) return;
  MoveWindow(window.handle(), left, top, width, height, TRUE);
}

int32_t left(const Window& window) {
  RECT rect;
  GetWindowRect(window.handle(), &rect);
  return rect.left;
}

int32_t top(const Window& window) {
  RECT rect;
  GetWindowRect(window.handle(), &rect);
  return rect.top;
}

// Shown without taking the focus from the program the user is working in.
void visible(Window& window, bool show) { ShowWindow(window.handle(), show ? SW_SHOWNOACTIVATE : SW_HIDE); }

bool visible(const Window& window) { return IsWindowVisible(window.handle()) != FALSE; }

void topmost(Window& window, bool on) {
  SetWindowPos(window.handle(), on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0,
               SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE);
}

bool topmost(const Window& window) {
  return (GetWindowLongPtrW(window.handle(), GWL_EXSTYLE) & WS_EX_TOPMOST) != 0;
}

HWND windowHandle(const Window& window) { return window.handle(); }
HWND windowHandle(const TransLabel& label) { return label.handle(); }

LRESULT sendWindowMessage(Window& window, UINT message, WPARAM wParam, LPARAM lParam) {
  return SendMessageA(window.handle(), message, wParam, lParam);
}

void setWindowAlpha(HWND hwnd, int32_t alpha) {
  if (alpha < 0 || alpha > 255) alpha = 255;
  // Layered in addition to what the window is: dropping the tool-window bit would give
  // it a taskbar button.
  const LONG_PTR exStyle = GetWindowLongPtrW(hwnd, GWL_EXSTYLE);
  SetWindowLongPtrW(hwnd, GWL_EXSTYLE, exStyle | WS_EX_LAYERED);
  SetLayeredWindowAttributes(hwnd, 0, BYTE(alpha), LWA_ALPHA);
}

int32_t screenWidth() { return GetSystemMetrics(SM_CXSCREEN); }

WNDPROC replaceWindowProc(HWND hwnd, WNDPROC procedure) {
  return reinterpret_cast<WNDPROC>(SetWindowLongPtrA(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure)));
}

// ---- Timer ----

Timer::Timer() {
  // A message-only window of its own: its WM_TIMER is dispatched by any message loop,
  // modal ones (input boxes, dragging) included.
  if (registerClass(kTimerClass, windowProc)) {
    hwnd_ = CreateWindowExW(0, kTimerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance(), this);
  }
}

Timer::~Timer() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void Timer::setPeriod(int32_t ms) {
  if (ms <= 0) ms = 0;
  if (ms == period_) return;
  period_ = ms;
  if (!hwnd_) return;
  if (ms == 0) {
    KillTimer(hwnd_, kTimerId);
  } else {
    SetTimer(hwnd_, kTimerId, UINT(ms), nullptr);
  }
}

LRESULT CALLBACK Timer::windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Timer* timer = attachedObject<Timer>(hwnd, message, lParam);
  if (timer && message == WM_TIMER && wParam == kTimerId && timer->period_ > 0 && timer->tick) {
    timer->tick();
    return 0;
  }
  if (timer && message == WM_NCDESTROY) timer->hwnd_ = nullptr;
  return DefWindowProcW(hwnd, message, wParam, lParam);
}
