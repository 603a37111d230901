#include "editor/text_box.h"

#include "editor/drawing.h"
#include "editor/modAnnotations.h"
#include "win/forward_keys.h"
#include "win/window_text.h"

namespace editor {

namespace {
constexpr UINT WM_APP_KEY = WM_APP + 1;  // Enter or Escape in the edit control
constexpr int MaxLabelLength = 256;
}  // namespace

bool TextBox::Open(HWND parent, const RECT& shown, double scale) {
  if (!hwnd()) {
    // The frame is the host's border; the edit fills the rest, its text at its top-left.
    if (!Create(0, L"", WS_CHILD | WS_BORDER | WS_CLIPCHILDREN, 0, 0, 0, 0, parent)) return false;
    edit_ = ::CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, hwnd(), nullptr,
                              ::GetModuleHandleW(nullptr), nullptr);
    // Without ES_AUTOHSCROLL the edit takes no more text than its width shows: the label
    // stays inside the box.
    if (!edit_ || !win::PostEnterAndEscape(edit_, hwnd(), WM_APP_KEY)) {
      Destroy();
      edit_ = nullptr;
      return false;
    }
    ::SendMessageW(edit_, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    ::SendMessageW(edit_, EM_LIMITTEXT, MaxLabelLength, 0);
  }
  ::SetWindowTextW(edit_, L"");
  Place(shown, scale);
  ::SetWindowPos(hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
  ::SetFocus(edit_);
  return true;
}

void TextBox::Place(const RECT& shown, double scale) {
  if (!hwnd()) return;
  if (scale != fontScale_) {
    if (win::unique_hfont font = modAnnotations::LabelFont(scale)) {
      ::SendMessageW(edit_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
      font_ = std::move(font);
      fontScale_ = scale;
    }
  }
  ::SetWindowPos(hwnd(), nullptr, shown.left, shown.top, shown.right - shown.left, shown.bottom - shown.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  RECT inside{};
  ::GetClientRect(hwnd(), &inside);
  ::SetWindowPos(edit_, nullptr, 0, 0, inside.right, inside.bottom, SWP_NOZORDER | SWP_NOACTIVATE);
}

std::wstring TextBox::Close() {
  if (!hwnd()) return {};
  const std::wstring typed = win::WindowText(edit_);
  const HWND focus = ::GetFocus();
  if (focus == edit_ || focus == hwnd()) ::SetFocus(::GetParent(hwnd()));
  ::ShowWindow(hwnd(), SW_HIDE);
  ::SetWindowTextW(edit_, L"");
  return typed;
}

LRESULT TextBox::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CTLCOLOREDIT: {
      const HDC dc = reinterpret_cast<HDC>(wParam);
      ::SetTextColor(dc, draw::Red);
      ::SetBkColor(dc, RGB(255, 255, 255));
      return reinterpret_cast<LRESULT>(::GetStockObject(WHITE_BRUSH));
    }
    case WM_APP_KEY:
      // Only while open: a key that arrives after the box closed ends nothing.
      if (IsOpen() && done_) done_(wParam == VK_RETURN);
      return 0;
    case WM_SETFOCUS:
      if (edit_) ::SetFocus(edit_);
      return 0;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace editor
