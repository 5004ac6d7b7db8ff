// The balloon on a real (virtual) screen, driven by real mouse and keyboard input.
#include "platform/balloon_popup.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "menu/menu_document.h"
#include "platform/gbk_text.h"
#include "tests/support/screen.h"

namespace {

constexpr Rgb kBody{28, 28, 28};
constexpr Rgb kHover{0, 149, 187};
constexpr Rgb kBackdrop{255, 255, 255};
const BalloonStyle kMenuStyle{0, 0, 0, 0, 1};
const BalloonStyle kNoticeStyle{3, 3, 9, 5, 1};

std::string spaces(size_t n) { return std::string(n, ' '); }


// A plain top-level window of the test program: records what it receives and lets a test act
// on a message, the way the program's own windows would.
class TestWindow {
 public:
  TestWindow(int left, int top, int width, int height, COLORREF colour, DWORD style = WS_POPUP)
      : brush_(CreateSolidBrush(colour)) {
    static const ATOM registered = [] {
      WNDCLASSW windowClass{};
      windowClass.style = CS_DBLCLKS;
      windowClass.lpfnWndProc = windowProc;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
      windowClass.lpszClassName = L"StrovikBalloonTestWindow";
      return RegisterClassW(&windowClass);
    }();
    (void)registered;
    window_ = CreateWindowExW(0, L"StrovikBalloonTestWindow", L"test window", style, left, top, width, height,
                              nullptr, nullptr, GetModuleHandleW(nullptr), this);
    ShowWindow(window_, SW_SHOWNOACTIVATE);
    UpdateWindow(window_);
  }
  ~TestWindow() {
    DestroyWindow(window_);
    DeleteObject(brush_);
  }
  TestWindow(const TestWindow&) = delete;
  TestWindow& operator=(const TestWindow&) = delete;

  HWND handle() const { return window_; }
  int received(UINT message) const {
    const auto found = counts_.find(message);
    return found == counts_.end() ? 0 : found->second;
  }
  std::map<UINT, std::function<void()>> onMessage;

 private:
  static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
      SetWindowLongPtrW(window, GWLP_USERDATA,
                        LONG_PTR(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
    }
    auto* self = reinterpret_cast<TestWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    ++self->counts_[message];
    if (message == WM_ERASEBKGND) {
      RECT client;
      GetClientRect(window, &client);
      FillRect(reinterpret_cast<HDC>(wParam), &client, self->brush_);
      return 1;
    }
    if (const auto handler = self->onMessage.find(message); handler != self->onMessage.end()) handler->second();
    return DefWindowProcW(window, message, wParam, lParam);
  }

  HWND window_ = nullptr;
  HBRUSH brush_;
  std::map<UINT, int> counts_;
};

// Rows of a picture that show text (whitish pixels), with the horizontal extent of that text.
struct InkBand {
  int top = 0, bottom = 0;  // rows, bottom exclusive
  int left = 0, right = 0;  // columns, right exclusive
};

bool isInk(Rgb p) { return p.r > 128 && p.g > 128 && p.b > 128; }

std::vector<InkBand> inkBands(const Picture& picture) {
  std::vector<InkBand> bands;
  bool inBand = false;
  for (int y = 0; y < picture.height; ++y) {
    int left = picture.width, right = 0;
    for (int x = 0; x < picture.width; ++x) {
      if (isInk(picture.at(x, y))) {
        left = std::min(left, x);
        right = x + 1;
      }
    }
    if (right == 0) {
      inBand = false;
      continue;
    }
    if (!inBand) bands.push_back(InkBand{y, y, left, right});
    InkBand& band = bands.back();
    band.bottom = y + 1;
    band.left = std::min(band.left, left);
    band.right = std::max(band.right, right);
    inBand = true;
  }
  return bands;
}

// The text pixels inside a band, one string per row ('#' text, '.' not), cropped to the text.
std::vector<std::string> inkMask(const Picture& picture, const InkBand& band) {
  std::vector<std::string> rows;
  for (int y = band.top; y < band.bottom; ++y) {
    std::string row;
    for (int x = band.left; x < band.right; ++x) row += isInk(picture.at(x, y)) ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

// The same for a text drawn directly as UTF-16, white on the balloon's colour, in the face and
// size the balloon asks for.
std::vector<std::string> referenceInkMask(const wchar_t* text, int fontPt) {
  constexpr int kWidth = 400, kHeight = 80;
  HDC screenDc = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screenDc);
  HBITMAP bitmap = CreateCompatibleBitmap(screenDc, kWidth, kHeight);
  const int height = -MulDiv(fontPt, GetDeviceCaps(screenDc, LOGPIXELSY), 72);
  ReleaseDC(nullptr, screenDc);
  HFONT font = CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, GB2312_CHARSET, 0, 0, 0, 0,
                           L"\u5b8b\u4f53");
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  HGDIOBJ oldFont = SelectObject(dc, font);
  const RECT all{0, 0, kWidth, kHeight};
  HBRUSH brush = CreateSolidBrush(RGB(28, 28, 28));
  FillRect(dc, &all, brush);
  DeleteObject(brush);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  ExtTextOutW(dc, 10, 10, 0, nullptr, text, UINT(wcslen(text)), nullptr);
  SelectObject(dc, oldFont);
  SelectObject(dc, oldBitmap);

  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), kWidth, -kHeight, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  std::vector<uint8_t> bgra(size_t(kWidth) * kHeight * 4);
  GetDIBits(dc, bitmap, 0, kHeight, bgra.data(), &info, DIB_RGB_COLORS);
  DeleteObject(font);
  DeleteObject(bitmap);
  DeleteDC(dc);

  Picture picture(kWidth, kHeight);
  for (size_t i = 0; i < picture.pixels.size(); ++i) picture.pixels[i] = Rgb{bgra[4 * i + 2], bgra[4 * i + 1], bgra[4 * i]};
  const std::vector<InkBand> bands = inkBands(picture);
  return bands.size() == 1 ? inkMask(picture, bands[0]) : std::vector<std::string>{};
}

int countColour(const Picture& picture, Rgb colour, int top, int bottom) {
  int count = 0;
  for (int y = std::max(0, top); y < std::min(bottom, picture.height); ++y) {
    for (int x = 0; x < picture.width; ++x) count += picture.at(x, y) == colour;
  }
  return count;
}

RECT windowRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

std::string windowTextA(HWND window) {
  char text[2048] = {};
  const int length = GetWindowTextA(window, text, sizeof text);
  return std::string(text, size_t(length));
}

std::wstring windowTextW(HWND window) {
  wchar_t text[2048] = {};
  const int length = GetWindowTextW(window, text, 2048);
  return std::wstring(text, size_t(length));
}

class BalloonPopupTest : public testing::Test {
 protected:
  void SetUp() override {
    popup.linkClicked = [this](const std::string& token) {
      events.push_back("link " + token + (popup.shown() ? " while shown" : " after closing"));
    };
    popup.closed = [this] { events.push_back("closed"); };
  }

  bool closedArrived(size_t times = 1) {
    return screen::waitUntil([&] { return count("closed") >= times; }) && count("closed") == times;
  }
  size_t count(const std::string& event) const { return size_t(std::count(events.begin(), events.end(), event)); }

  // The balloon as the screen shows it, once it shows `expected` somewhere.
  Picture captureBalloon(const std::function<bool(const Picture&)>& expected) {
    const RECT rect = windowRect(popup.windowHandle());
    Picture shot;
    screen::waitUntil([&] {
      shot = screen::capture(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
      return shot.width > 0 && expected(shot);
    });
    return shot;
  }

  // White behind everything, so that what is not the balloon is told apart from it.
  TestWindow backdrop{0, 0, 1920, 1080, RGB(255, 255, 255)};
  TestWindow target{1300, 600, 360, 240, RGB(90, 120, 200), WS_POPUP | WS_CAPTION};
  BalloonPopup popup;
  std::vector<std::string> events;
};

TEST_F(BalloonPopupTest, ATopmostToolWindowThatShowsItsMarkupAsItsText) {
  ASSERT_EQ(GetACP(), 936u);
  const std::string markup = noticeMarkup("msg7", "窗口将总在最前端显示");
  popup.style = kNoticeStyle;
  popup.showAt(700, 300, markup);

  const HWND window = popup.windowHandle();
  ASSERT_NE(window, nullptr);
  wchar_t className[64] = {};
  GetClassNameW(window, className, 64);
  EXPECT_STREQ(className, L"StrovikBalloon");
  EXPECT_TRUE(IsWindowVisible(window));
  const LONG_PTR exStyle = GetWindowLongPtrW(window, GWL_EXSTYLE);
  EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
  EXPECT_TRUE(exStyle & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(exStyle & WS_EX_APPWINDOW);
  EXPECT_EQ(GetWindowLongPtrW(window, GWL_STYLE) & (WS_CAPTION | WS_THICKFRAME), 0);
  EXPECT_NE(GetForegroundWindow(), window);

  EXPECT_EQ(windowTextA(window), markup);
  EXPECT_EQ(windowTextW(window), gbkToWide(markup));
  EXPECT_EQ(windowTextW(window).find(L"\u7a97\u53e3\u5c06\u603b\u5728"), size_t(31));  // 窗口将总在
}

// The tip pixel on the anchor, nothing beyond it, the body colour behind it, the corners cut.
TEST_F(BalloonPopupTest, TailTipOnTheAnchorAndRoundedCornersOnScreen) {
  const struct {
    const char* what;
    int position;
    int x, y;
    int outY;  // the tip's outward direction
  } cases[] = {
      {"hanging below the point", 1, 700, 300, -1},
      {"standing above the point", 10, 700, 700, 1},
      {"at the left screen edge", 1, 6, 300, -1},
      {"no room below: standing above", 1, 1000, 1077, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    popup.style = kNoticeStyle;
    popup.style.tailPosition = c.position;
    popup.showAt(c.x, c.y, noticeMarkup("msg6", "窗口不会置顶"));
    const RECT rect = windowRect(popup.windowHandle());
    EXPECT_GE(rect.left, 0);
    EXPECT_LE(rect.right, 1920);
    EXPECT_LE(rect.bottom, 1080);
    EXPECT_EQ(c.outY < 0 ? rect.top : rect.bottom - 1, c.y);

    Picture shot;
    ASSERT_TRUE(screen::waitUntil([&] {
      shot = screen::capture();
      return shot.width == 1920 && shot.at(c.x, c.y) == kBody;
    }));
    EXPECT_EQ(shot.at(c.x - 1, c.y), kBackdrop);
    EXPECT_EQ(shot.at(c.x + 1, c.y), kBackdrop);
    if (shot.contains(c.x, c.y + c.outY)) {
      EXPECT_NE(shot.at(c.x, c.y + c.outY), kBody);
    }
    // The tail is 5 pixels long; the body starts behind it, solid from edge to edge.
    const int bodyEdge = c.y - 5 * c.outY;
    EXPECT_EQ(shot.at(c.x, bodyEdge), kBody);
    EXPECT_EQ(shot.at(rect.left + 1, bodyEdge), kBody);
    EXPECT_EQ(shot.at(rect.right - 2, bodyEdge), kBody);
    // The 3 by 3 ellipse takes the corner pixel of the body and no more.
    EXPECT_EQ(shot.at(rect.left, bodyEdge), kBackdrop);
    EXPECT_EQ(shot.at(rect.right - 1, bodyEdge), kBackdrop);
    EXPECT_EQ(shot.at(rect.left, bodyEdge - c.outY), kBody);
  }
  EXPECT_EQ(count("closed"), 3u);  // each show but the last was replaced by the next
}

TEST_F(BalloonPopupTest, EveryLineIsCentredAndLinkTextIsWhite) {
  popup.style = kMenuStyle;
  popup.showAt(800, 200,
               "<a msg=a><font size=10pt>短</font></a><br>"
               "<a msg=b><font size=10pt>这行要长得多的文字</font></a><br>"
               "<a msg=c><font size=15pt>Fifteen point line</font></a><br>"
               "<a msg=d>九点的一行</a>");
  const Picture shot = captureBalloon([](const Picture& p) { return inkBands(p).size() == 4; });
  const std::vector<InkBand> bands = inkBands(shot);
  ASSERT_EQ(bands.size(), 4u);
  // Square corners, no tail: the body colour up to every corner.
  EXPECT_EQ(shot.at(0, 0), kBody);
  EXPECT_EQ(shot.at(shot.width - 1, shot.height - 1), kBody);
  const double centre = (shot.width - 1) / 2.0;
  for (const InkBand& band : bands) {
    EXPECT_NEAR((band.left + band.right - 1) / 2.0, centre, 1.5) << "band at row " << band.top;
    int white = 0;
    for (int y = band.top; y < band.bottom; ++y) {
      for (int x = band.left; x < band.right; ++x) white += shot.at(x, y) == Rgb{255, 255, 255};
    }
    EXPECT_GT(white, 0) << "band at row " << band.top;
  }
  EXPECT_LT(bands[0].right - bands[0].left, 20);
  EXPECT_GT(bands[1].right - bands[1].left, 100);
  // The 15 pt line is the tallest.
  EXPECT_GT(bands[2].bottom - bands[2].top, bands[3].bottom - bands[3].top + 3);
}

TEST_F(BalloonPopupTest, TheMenuShowsEveryItemWithARealFont) {
  std::string document = initialMenuDocument();
  setMenuValue(document, kMonitorNumberKey, 14);
  setMenuValue(document, kTransparencyKey, 225);
  popup.style = kMenuStyle;
  popup.showAt(772, 322, document);
  const RECT rect = windowRect(popup.windowHandle());
  EXPECT_EQ(rect.top, 322);
  EXPECT_EQ(rect.left + (rect.right - rect.left) / 2, 772);
  const Picture shot = captureBalloon([](const Picture& p) { return inkBands(p).size() == 8; });
  const std::vector<InkBand> bands = inkBands(shot);
  ASSERT_EQ(bands.size(), 8u);
  // The ideographs themselves, not boxes, question marks or the GBK bytes read as Latin-1:
  // the label looks exactly like its text drawn straight from UTF-16.
  if (const char* expected = std::getenv("STROVIK_EXPECT_ACP")) {
    EXPECT_EQ(GetACP(), UINT(std::atoi(expected)));
  }
  const std::vector<std::string> drawn = inkMask(shot, bands[5]);
  const std::vector<std::string> reference = referenceInkMask(L"\u6062\u590d\u9ed8\u8ba4\u8bbe\u7f6e", 10);
  EXPECT_GT(reference.size(), 8u);
  EXPECT_EQ(drawn, reference);
  // Items are evenly spaced: the spacer row and the blank line between each pair.
  const int pitch = bands[1].top - bands[0].top;
  for (size_t i = 1; i < bands.size(); ++i) EXPECT_NEAR(bands[i].top - bands[i - 1].top, pitch, 1) << i;
}

TEST_F(BalloonPopupTest, TheLinkUnderTheMouseLightsUp) {
  popup.style = kMenuStyle;
  popup.showAt(800, 300, "<a msg=one><font size=10pt>   第一项   </font></a><br>"
                         "plain text<br>"
                         "<a msg=two><font size=10pt>   第二项   </font></a>");
  Picture shot = captureBalloon([](const Picture& p) { return inkBands(p).size() == 3; });
  const std::vector<InkBand> bands = inkBands(shot);
  ASSERT_EQ(bands.size(), 3u);
  EXPECT_EQ(countColour(shot, kHover, 0, shot.height), 0);
  const RECT rect = windowRect(popup.windowHandle());
  const int middleX = rect.left + shot.width / 2;
  auto lineOf = [&](const InkBand& band) { return rect.top + (band.top + band.bottom) / 2; };

  for (const InkBand* lit : {&bands[0], &bands[2]}) {
    const InkBand* dark = lit == &bands[0] ? &bands[2] : &bands[0];
    screen::moveMouse(middleX, lineOf(*lit));
    shot = captureBalloon([&](const Picture& p) { return countColour(p, kHover, lit->top, lit->bottom) > 0; });
    EXPECT_GT(countColour(shot, kHover, lit->top, lit->bottom), 20);
    EXPECT_EQ(countColour(shot, kHover, dark->top, dark->bottom), 0);
    // White text on the highlight.
    EXPECT_EQ(inkBands(shot).size(), 3u);
  }
  // Plain text is no link; leaving the balloon puts out the light.
  screen::moveMouse(middleX, lineOf(bands[1]));
  shot = captureBalloon([&](const Picture& p) { return countColour(p, kHover, 0, p.height) == 0; });
  EXPECT_EQ(countColour(shot, kHover, 0, shot.height), 0);
  screen::moveMouse(middleX, lineOf(bands[2]));
  captureBalloon([&](const Picture& p) { return countColour(p, kHover, 0, p.height) > 0; });
  screen::moveMouse(rect.left + shot.width / 2, rect.bottom + 40);
  shot = captureBalloon([&](const Picture& p) { return countColour(p, kHover, 0, p.height) == 0; });
  EXPECT_EQ(countColour(shot, kHover, 0, shot.height), 0);
  EXPECT_TRUE(events.empty());  // moving the mouse closes nothing
}

TEST_F(BalloonPopupTest, AClickOnALinkReportsTheInnermostTokenThenCloses) {
  const std::string markup = "<a msg=outer><font size=10pt>   outer line   <br><a msg=inner>   inner line   </a>"
                             "<br>   outer again   </font></a><br><br>plain";
  popup.style = kMenuStyle;
  for (const auto& [line, token] : {std::pair{1, "inner"}, std::pair{0, "outer"}, std::pair{2, "outer"}}) {
    events.clear();
    popup.showAt(900, 250, markup);
    const Picture shot = captureBalloon([](const Picture& p) { return inkBands(p).size() == 4; });
    const std::vector<InkBand> bands = inkBands(shot);
    ASSERT_EQ(bands.size(), 4u);
    const RECT rect = windowRect(popup.windowHandle());
    screen::click(rect.left + shot.width / 2, rect.top + (bands[size_t(line)].top + bands[size_t(line)].bottom) / 2);
    ASSERT_TRUE(closedArrived());
    EXPECT_EQ(events, (std::vector<std::string>{std::string("link ") + token + " while shown", "closed"}));
    EXPECT_FALSE(popup.shown());
    EXPECT_FALSE(IsWindowVisible(popup.windowHandle()));
  }

  // Plain text and the margin are no link, and only the left button clicks one: these presses
  // only close.
  const struct {
    const char* what;
    size_t line;
    bool inMargin;
    int button;
  } closingOnly[] = {
      {"left on plain text", 3, false, 1},
      {"left in the margin", 3, true, 1},
      {"right on a link", 1, false, 3},
      {"middle on a link", 1, false, 2},
  };
  for (const auto& c : closingOnly) {
    SCOPED_TRACE(c.what);
    events.clear();
    popup.showAt(900, 250, markup);
    const Picture shot = captureBalloon([](const Picture& p) { return inkBands(p).size() == 4; });
    ASSERT_EQ(inkBands(shot).size(), 4u);
    const InkBand band = inkBands(shot)[c.line];
    const RECT rect = windowRect(popup.windowHandle());
    screen::click(rect.left + (c.inMargin ? 2 : shot.width / 2), rect.top + (band.top + band.bottom) / 2, c.button);
    ASSERT_TRUE(closedArrived());
    EXPECT_EQ(events, std::vector<std::string>{"closed"});
  }
}

// The program's cycle: the link's handler records what follows, the queued `closed` shows the
// notice in the same balloon at the same place, and the rest of the click leaves it shown.
TEST_F(BalloonPopupTest, TheClosedHandlerShowsTheNoticeThatFollowsAClick) {
  std::string next;
  popup.linkClicked = [&](const std::string& token) {
    if (token == "m4") next = token;  // notice tokens lead nowhere
    events.push_back("link " + token);
  };
  popup.closed = [&] {
    events.push_back("closed");
    if (next.empty()) return;
    popup.style = kNoticeStyle;
    popup.showAt(900, 250, noticeMarkup("msg4", "after " + next));
    next.clear();
  };
  popup.style = kMenuStyle;
  popup.showAt(900, 250, "<a msg=m4><font size=10pt>记录总流量(×)</font></a>");
  const Picture shot = captureBalloon([](const Picture& p) { return inkBands(p).size() == 1; });
  ASSERT_EQ(inkBands(shot).size(), 1u);
  const RECT rect = windowRect(popup.windowHandle());
  screen::click(rect.left + shot.width / 2, rect.top + shot.height / 2);
  ASSERT_TRUE(closedArrived(1));
  // The button's release and a move over the program's other window have been read since.
  const int moves = target.received(WM_MOUSEMOVE);
  const RECT targetRect = windowRect(target.handle());
  screen::moveMouse(targetRect.left + 30, targetRect.bottom - 30);
  ASSERT_TRUE(screen::waitUntil([&] { return target.received(WM_MOUSEMOVE) > moves; }));
  EXPECT_EQ(events, (std::vector<std::string>{"link m4", "closed"}));
  EXPECT_TRUE(popup.shown());
  EXPECT_EQ(windowTextA(popup.windowHandle()), noticeMarkup("msg4", "after m4"));

  // A click on the notice closes it, and nothing follows.
  const RECT noticeRect = windowRect(popup.windowHandle());
  screen::click((noticeRect.left + noticeRect.right) / 2, (noticeRect.top + noticeRect.bottom) / 2);
  ASSERT_TRUE(closedArrived(2));
  EXPECT_EQ(events, (std::vector<std::string>{"link m4", "closed", "link msg4", "closed"}));
  EXPECT_FALSE(popup.shown());
}

// A link handler that shows the balloon anew keeps that show: the click closes only the old one.
TEST_F(BalloonPopupTest, AShowFromTheLinkHandlerStays) {
  popup.linkClicked = [&](const std::string& token) {
    events.push_back("link " + token);
    popup.showAt(600, 600, noticeMarkup("msg1", "shown by the link handler"));
  };
  popup.style = kMenuStyle;
  popup.showAt(900, 250, "<a msg=m5><font size=10pt>开机自动运行(×)</font></a>");
  const Picture shot = captureBalloon([](const Picture& p) { return inkBands(p).size() == 1; });
  const RECT rect = windowRect(popup.windowHandle());
  screen::click(rect.left + shot.width / 2, rect.top + shot.height / 2);
  ASSERT_TRUE(closedArrived(1));  // a second close would have been queued right behind the first
  EXPECT_EQ(events, (std::vector<std::string>{"link m5", "closed"}));
  EXPECT_TRUE(popup.shown());
  EXPECT_TRUE(IsWindowVisible(popup.windowHandle()));
  EXPECT_EQ(windowTextA(popup.windowHandle()), noticeMarkup("msg1", "shown by the link handler"));
}

TEST_F(BalloonPopupTest, ClosedIsQueuedAndFollowsEveryShowThatEnds) {
  popup.style = kNoticeStyle;
  popup.showAt(600, 300, noticeMarkup("msg4", "first"));
  popup.showAt(600, 300, noticeMarkup("msg5", "second"));
  EXPECT_TRUE(events.empty());  // not raised inside showAt: it is queued
  EXPECT_TRUE(popup.shown());
  ASSERT_TRUE(closedArrived(1));
  EXPECT_TRUE(popup.shown());
  EXPECT_EQ(windowTextA(popup.windowHandle()), noticeMarkup("msg5", "second"));

  popup.close();
  EXPECT_EQ(count("closed"), 1u);
  EXPECT_FALSE(IsWindowVisible(popup.windowHandle()));
  popup.close();  // not shown: nothing to close
  ASSERT_TRUE(closedArrived(2));
}

// Presses in another window of the program close the balloon; the window still gets them.
TEST_F(BalloonPopupTest, InputInAnotherWindowOfTheProgramClosesIt) {
  const RECT client = [&] {
    RECT r;
    GetClientRect(target.handle(), &r);
    MapWindowPoints(target.handle(), nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
  }();
  const RECT frame = windowRect(target.handle());
  const int x = (client.left + client.right) / 2, y = (client.top + client.bottom) / 2;
  const struct {
    const char* what;
    std::function<void()> input;
    UINT seen;
  } cases[] = {
      {"right press", [&] { screen::click(x, y, 3); }, WM_RBUTTONDOWN},
      {"middle press", [&] { screen::click(x, y, 2); }, WM_MBUTTONDOWN},
      {"left press", [&] { screen::click(x, y, 1); }, WM_LBUTTONDOWN},
      {"wheel turn", [&] { screen::click(x, y, 5); }, WM_MOUSEWHEEL},
      {"press on the caption", [&] { screen::click(x, (frame.top + client.top) / 2, 1); }, WM_NCLBUTTONDOWN},
      {"key press", [&] { screen::pressKey("a"); }, WM_KEYDOWN},
  };
  // The keys go to the focused window: the target, after a click.
  screen::click(x, y);
  ASSERT_TRUE(screen::waitUntil([&] { return GetFocus() == target.handle(); }));
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    events.clear();
    popup.style = kNoticeStyle;
    popup.showAt(800, 300, noticeMarkup("msg1", "操作成功"));
    const int before = target.received(c.seen);
    c.input();
    EXPECT_TRUE(closedArrived());
    EXPECT_FALSE(IsWindowVisible(popup.windowHandle()));
    EXPECT_GT(target.received(c.seen), before);
  }
}

// The owner shows the balloon on a press; the second press of a double click closes it.
TEST_F(BalloonPopupTest, ADoubleClickInAnotherWindowClosesIt) {
  popup.style = kNoticeStyle;
  target.onMessage[WM_LBUTTONDOWN] = [&] { popup.showAt(800, 300, noticeMarkup("msg2", "shown by a press")); };
  const RECT rect = windowRect(target.handle());
  screen::doubleClick((rect.left + rect.right) / 2, rect.bottom - 40);
  ASSERT_TRUE(closedArrived());
  EXPECT_EQ(target.received(WM_LBUTTONDBLCLK), 1);
  EXPECT_FALSE(popup.shown());
}

// A right press on the owner while a balloon is shown: the old one closes first, the owner's
// handler shows the new one, and the old one's `closed` still arrives, after both.
TEST_F(BalloonPopupTest, TheOwnersPressClosesTheOldBalloonBeforeItsHandlerShowsANewOne) {
  popup.style = kMenuStyle;
  std::vector<std::string> order;
  target.onMessage[WM_RBUTTONDOWN] = [&] {
    order.push_back(popup.shown() ? "press while shown" : "press after closing");
    popup.showAt(700, 200, "<a msg=m1>menu</a>");
  };
  popup.closed = [&] {
    order.push_back("closed, showing " + windowTextA(popup.windowHandle()));
    events.push_back("closed");
  };
  popup.showAt(700, 200, noticeMarkup("msg3", "notice"));
  const RECT rect = windowRect(target.handle());
  screen::click((rect.left + rect.right) / 2, rect.bottom - 40, 3);
  ASSERT_TRUE(closedArrived());
  EXPECT_EQ(order, (std::vector<std::string>{"press after closing", "closed, showing <a msg=m1>menu</a>"}));
  EXPECT_TRUE(popup.shown());
  EXPECT_TRUE(IsWindowVisible(popup.windowHandle()));
}

// A message box of the program runs its own message loop; a press in it still closes the balloon,
// and `closed` arrives inside that loop.
TEST_F(BalloonPopupTest, APressInsideAModalLoopClosesIt) {
  popup.style = kNoticeStyle;
  popup.showAt(500, 200, noticeMarkup("msg9", "shown before the dialog"));
  bool modal = true;
  bool closedInsideLoop = false;
  popup.closed = [&] {
    events.push_back("closed");
    closedInsideLoop = modal;
    if (HWND box = FindWindowW(L"#32770", L"strovik modal")) PostMessageW(box, WM_COMMAND, IDOK, 0);
  };
  // Once the box is up: a right press on it, from the X server, while the box's loop runs.
  SetTimer(target.handle(), 1, 50, [](HWND window, UINT, UINT_PTR id, DWORD) {
    HWND box = FindWindowW(L"#32770", L"strovik modal");
    if (!box || !IsWindowVisible(box)) return;
    KillTimer(window, id);
    RECT rect;
    GetWindowRect(box, &rect);
    const int x = (rect.left + rect.right) / 2, y = rect.top + (rect.bottom - rect.top) / 3;
    screen::runHost("(xdotool mousemove " + std::to_string(x) + " " + std::to_string(y) +
                    " click 3) >/dev/null 2>&1 &");
    // Should nothing close the balloon, the box still goes after a while and the test fails.
    SetTimer(window, 2, 10000, [](HWND w, UINT, UINT_PTR timer, DWORD) {
      KillTimer(w, timer);
      if (HWND stuck = FindWindowW(L"#32770", L"strovik modal")) PostMessageW(stuck, WM_COMMAND, IDOK, 0);
    });
  });
  MessageBoxW(nullptr, L"modal loop", L"strovik modal", MB_OK);
  modal = false;
  KillTimer(target.handle(), 1);
  KillTimer(target.handle(), 2);
  EXPECT_TRUE(closedInsideLoop);
  EXPECT_EQ(count("closed"), 1u);
  EXPECT_FALSE(popup.shown());
}

// Another program's window: a plain X client. Presses and keys there leave the balloon shown.
TEST_F(BalloonPopupTest, InputToAnotherProgramLeavesItShown) {
  const std::string title = "strovik-other-" + std::to_string(GetCurrentProcessId()) + "-" +
                            std::to_string(GetTickCount64());
  const std::string pidFile = "/tmp/" + title + ".pid";
  ASSERT_TRUE(screen::runHost("xmessage -geometry 400x160+100+700 -title " + title +
                              " 'another program' >/dev/null 2>&1 & echo $! > " + pidFile));
  const bool mapped = screen::runHost("xdotool search --sync --onlyvisible --name '^" + title + "$' >/dev/null");
  // The program is the active one when its balloon opens, as after a click on its window.
  const RECT rect = windowRect(target.handle());
  screen::click((rect.left + rect.right) / 2, rect.bottom - 30);
  EXPECT_TRUE(screen::waitUntil([&] { return GetForegroundWindow() == target.handle(); }));
  popup.style = kNoticeStyle;
  popup.showAt(800, 300, noticeMarkup("msg10", "still here"));
  if (mapped) {
    screen::click(300, 740, 3);
    screen::click(300, 740, 1);
    screen::click(300, 740, 2);
    screen::click(300, 740, 5);
    screen::runHost("xdotool search --name '^" + title + "$' windowfocus --sync key b");
    // The other program has the focus now: the key went there, and this program lost the activation.
    EXPECT_TRUE(screen::waitUntil([&] { return GetForegroundWindow() != target.handle(); }));
    // X delivers input in order: once the target sees this move, whatever came before has been
    // read, and a queued `closed` would have been dispatched before it.
    const int moves = target.received(WM_MOUSEMOVE);
    screen::moveMouse((rect.left + rect.right) / 2 + 20, rect.bottom - 60);
    EXPECT_TRUE(screen::waitUntil([&] { return target.received(WM_MOUSEMOVE) > moves; }));
  }
  screen::runHost("kill $(cat " + pidFile + "); rm -f " + pidFile);
  ASSERT_TRUE(mapped);
  EXPECT_TRUE(events.empty());
  EXPECT_TRUE(popup.shown());
  EXPECT_TRUE(IsWindowVisible(popup.windowHandle()));
}

}  // namespace
