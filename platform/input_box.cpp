#include <vector>

#include "accounting/number_format.h"
#include "platform/gbk_text.h"
#include "platform/window.h"

namespace {

constexpr int kPromptId = 100;
constexpr int kEditId = 101;
constexpr wchar_t kFilterProp[] = L"StrovikIntegerFilter";
constexpr char kDefaultTitle[] = "请输入：";

struct InputBoxState {
  std::wstring prompt, title, initialText;
  bool integerMode;
  std::string entered;  // GBK, on OK
};

bool allowedInIntegerMode(wchar_t c) { return c == L'-' || (c >= L'0' && c <= L'9'); }

// In integer mode only "-" and digits get in, whether typed or pasted.
LRESULT CALLBACK integerEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  auto previous = reinterpret_cast<WNDPROC>(GetPropW(edit, kFilterProp));
  if (message == WM_CHAR && wParam >= L' ' && !allowedInIntegerMode(wchar_t(wParam))) return 0;
  if (message == WM_PASTE) {
    std::wstring kept;
    if (OpenClipboard(edit)) {
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (auto* text = static_cast<const wchar_t*>(GlobalLock(data))) {
          for (const wchar_t* c = text; *c; ++c) {
            if (allowedInIntegerMode(*c)) kept += *c;
          }
          GlobalUnlock(data);
        }
      }
      CloseClipboard();
    }
    SendMessageW(edit, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(kept.c_str()));
    return 0;
  }
  if (message == WM_NCDESTROY) {
    RemovePropW(edit, kFilterProp);
    SetWindowLongPtrW(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
  }
  return CallWindowProcW(previous, edit, message, wParam, lParam);
}

INT_PTR CALLBACK dialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<InputBoxState*>(GetWindowLongPtrW(dialog, DWLP_USER));
  switch (message) {
    case WM_INITDIALOG: {
      state = reinterpret_cast<InputBoxState*>(lParam);
      SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      SetWindowTextW(dialog, state->title.c_str());
      SetDlgItemTextW(dialog, kPromptId, state->prompt.c_str());
      HWND edit = GetDlgItem(dialog, kEditId);
      SetWindowTextW(edit, state->initialText.c_str());
      if (state->integerMode) {
        SetPropW(edit, kFilterProp,
                 reinterpret_cast<HANDLE>(SetWindowLongPtrW(edit, GWLP_WNDPROC,
                                                            reinterpret_cast<LONG_PTR>(integerEditProc))));
      }
      SendMessageW(edit, EM_SETSEL, 0, -1);
      SetForegroundWindow(dialog);
      SetFocus(edit);
      return FALSE;  // focus set here
    }
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        const int length = GetWindowTextLengthW(GetDlgItem(dialog, kEditId));
        std::wstring text(size_t(length) + 1, L'\0');
        GetDlgItemTextW(dialog, kEditId, text.data(), length + 1);
        text.resize(size_t(length));
        state->entered = wideToGbk(text);
        EndDialog(dialog, IDOK);
        return TRUE;
      }
      if (LOWORD(wParam) == IDCANCEL) {
        EndDialog(dialog, IDCANCEL);
        return TRUE;
      }
      break;
  }
  return FALSE;
}

// An in-memory dialog template: header, then each item DWORD-aligned.
class DialogTemplate {
 public:
  DialogTemplate(DWORD style, DWORD exStyle, short width, short height, const wchar_t* font, WORD pointSize) {
    align();
    words_.resize(sizeof(DLGTEMPLATE) / sizeof(WORD));
    header()->style = style;
    header()->dwExtendedStyle = exStyle;
    header()->cx = width;
    header()->cy = height;
    words_.push_back(0);  // no menu
    words_.push_back(0);  // standard class
    words_.push_back(0);  // title set at WM_INITDIALOG
    words_.push_back(pointSize);
    addString(font);
  }

  void addItem(WORD id, WORD atomClass, DWORD style, short x, short y, short width, short height,
               const wchar_t* text) {
    align();
    const size_t at = words_.size();
    words_.resize(at + sizeof(DLGITEMTEMPLATE) / sizeof(WORD));
    auto* item = reinterpret_cast<DLGITEMTEMPLATE*>(&words_[at]);
    item->style = style | WS_CHILD | WS_VISIBLE;
    item->x = x;
    item->y = y;
    item->cx = width;
    item->cy = height;
    item->id = id;
    words_.push_back(0xFFFF);
    words_.push_back(atomClass);
    addString(text);
    words_.push_back(0);  // no creation data
    ++header()->cdit;
  }

  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  DLGTEMPLATE* header() { return reinterpret_cast<DLGTEMPLATE*>(words_.data()); }
  void align() {
    if (words_.size() % 2) words_.push_back(0);
  }
  void addString(const wchar_t* text) {
    for (; *text; ++text) words_.push_back(WORD(*text));
    words_.push_back(0);
  }
  std::vector<WORD> words_;
};

constexpr WORD kButtonAtom = 0x0080, kEditAtom = 0x0081, kStaticAtom = 0x0082;

}  // namespace

bool inputBox(std::string_view prompt, std::string_view title, std::string_view initialText, int32_t& target,
              bool integerMode) {
  InputBoxState state{gbkToWide(prompt), gbkToWide(title.empty() ? std::string_view(kDefaultTitle) : title),
                      gbkToWide(initialText), integerMode, {}};

  // Topmost, or the always-on-top bar could hide the question it is waiting for.
  DialogTemplate dialog(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER | DS_SETFONT,
                        WS_EX_TOPMOST, 230, 82, L"宋体", 9);
  dialog.addItem(kPromptId, kStaticAtom, SS_LEFT, 8, 7, 214, 28, L"");
  dialog.addItem(kEditId, kEditAtom, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 8, 38, 214, 14, L"");
  dialog.addItem(IDOK, kButtonAtom, BS_DEFPUSHBUTTON | WS_TABSTOP, 92, 60, 62, 15, gbkToWide("确认输入(&O)").c_str());
  dialog.addItem(IDCANCEL, kButtonAtom, BS_PUSHBUTTON | WS_TABSTOP, 160, 60, 62, 15, gbkToWide("取消(&C)").c_str());

  const INT_PTR result = DialogBoxIndirectParamW(GetModuleHandleW(nullptr), dialog.get(), GetActiveWindow(),
                                                 dialogProc, reinterpret_cast<LPARAM>(&state));
  if (result != IDOK) return false;
  target = parseLeadingInteger(state.entered);
  return true;
}
