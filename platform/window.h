#pragma once
// The window toolkit: picture-backed, borderless top-level windows built from designs,
// see-through labels, a timer and a modal input box, on the user-interface thread.
// Texts are GBK bytes; they are decoded with code page 936 and drawn through the wide
// functions, so they show right under any ANSI code page.

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/gdi.h"
#include "platform/picture.h"

// LOGFONT fields as designs give them; unlisted fields are 0.
struct FontFields {
  int32_t height = 0;
  int32_t weight = 0;
  uint8_t charSet = 0;
  uint8_t outPrecision = 0;
  uint8_t clipPrecision = 0;
  uint8_t quality = 0;
  uint8_t pitchAndFamily = 0;
  std::string faceName;  // GBK
};

enum class TextAlign { left, centre, right };

struct LabelDesign {
  std::string name;  // control name, GBK
  int32_t left = 0, top = 0, width = 0, height = 0;
  bool visible = true;
  bool enabled = true;  // a disabled label lets the mouse through to what lies beneath
  std::optional<FontFields> font;  // none: the default GUI font
  Rgb colour{0, 0, 0};
  TextAlign align = TextAlign::left;
  std::string caption;
};

struct WindowDesign {
  std::string name;  // the window class is "Strovik" + name
  int32_t left = 0, top = 0, width = 0, height = 0;
  Picture background;  // drawn from the top-left corner, tiled
  bool topmost = false;
  bool visible = false;
  std::vector<LabelDesign> labels;  // first is on top of the stacking order
};

class Window;
bool loadWindow(Window& window);

class TransLabel {
 public:
  std::function<void(int x, int y)> mouseMoved;
  std::function<void(int x, int y)> leftButtonDown;
  std::function<void(int x, int y)> rightButtonDown;

  const std::string& name() const { return design_.name; }
  const std::string& caption() const { return design_.caption; }
  // Repaints the parent beneath first, so no pixel of the old text remains.
  void setCaption(std::string_view caption);
  HWND handle() const { return hwnd_; }

  ~TransLabel();
  TransLabel(const TransLabel&) = delete;
  TransLabel& operator=(const TransLabel&) = delete;

 private:
  friend class Window;
  friend bool loadWindow(Window& window);
  explicit TransLabel(LabelDesign design) : design_(std::move(design)) {}
  bool create(HWND parent);
  void paintContent(HDC hdc);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  LabelDesign design_;
  HWND hwnd_ = nullptr;
  UniqueFont font_;
  MemoryCanvas buffer_;  // rebuilt only when the size changes
};

class Window {
 public:
  explicit Window(WindowDesign design);
  ~Window();
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Events. `created` runs inside loadWindow, then `moved` once; afterwards `moved`
  // follows every change of position, the program's own moves included.
  std::function<void()> created;
  std::function<void()> moved;
  std::function<void(int x, int y)> leftButtonDown;

  const WindowDesign& design() const { return design_; }
  HWND handle() const { return hwnd_; }
  // The label of that control name, or null.
  TransLabel* label(std::string_view name) const;

 private:
  friend bool loadWindow(Window& window);
  void paintContent(HDC hdc);
  LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

  WindowDesign design_;
  HWND hwnd_ = nullptr;
  bool loaded_ = false;
  MemoryCanvas picture_;
  std::vector<std::unique_ptr<TransLabel>> labels_;
};

// Creates the window and its labels, not activated; shown when the design says so.
bool loadWindow(Window& window);

// Region = the picture's pixels whose colour differs from `keyColour` (0xRRGGBB),
// aligned at the top-left; replaces any earlier region and stays when the window is resized.
void setWindowShape(Window& window, const Picture& picture, uint32_t keyColour);
// Screen coordinates; nothing happens when the rectangle is already that.
void moveWindow(Window& window, int32_t left, int32_t top, int32_t width, int32_t height);
int32_t left(const Window& window);
int32_t top(const Window& window);
void visible(Window& window, bool show);
bool visible(const Window& window);
void topmost(Window& window, bool on);
bool topmost(const Window& window);
HWND windowHandle(const Window& window);
HWND windowHandle(const TransLabel& label);
LRESULT sendWindowMessage(Window& window, UINT message, WPARAM wParam, LPARAM lParam);
// Alpha outside 0..255 means opaque.
void setWindowAlpha(HWND hwnd, int32_t alpha);
int32_t screenWidth();

// Replaces a window's procedure (64-bit safe); returns the previous one for CallWindowProcA.
WNDPROC replaceWindowProc(HWND hwnd, WNDPROC procedure);

// A timer that ticks on the user-interface thread, also during modal loops.
class Timer {
 public:
  Timer();
  ~Timer();
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  std::function<void()> tick;
  // Above 0 runs every `ms` milliseconds; 0 or less stops; the same value again changes nothing.
  void setPeriod(int32_t ms);
  int32_t period() const { return period_; }

 private:
  static LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
  int32_t period_ = 0;
};

// A modal box asking for a text: the prompt above an edit field holding `initialText`
// selected, "确认输入(&O)" and "取消(&C)". In integer mode only "-" and digits can be
// typed or pasted. OK stores the text's leading integer in `target` and returns true;
// Cancel or closing returns false and leaves `target` alone.
bool inputBox(std::string_view prompt, std::string_view title, std::string_view initialText, int32_t& target,
              bool integerMode);
