#include "win/input_box.h"

#include "win/gdi.h"
#include "win/modal.h"
#include "win/window_text.h"

namespace win {

namespace {

struct InputState {
  HWND hwnd = nullptr;
  bool done = false;
  std::optional<std::wstring> reply;
};


LRESULT CALLBACK InputProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE)
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA,
                        reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams));
  auto* state = reinterpret_cast<InputState*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!state) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK) {
        state->reply = win::WindowText(::GetDlgItem(hwnd, InputReply));
        ::DestroyWindow(hwnd);
      } else if (LOWORD(wParam) == IDCANCEL) {
        ::DestroyWindow(hwnd);
      }
      return 0;
    case WM_CLOSE:
      ::DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      state->done = true;
      return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

HWND Child(HWND parent, const wchar_t* cls, const std::wstring& text, DWORD style, int id, RECT r, DWORD exStyle = 0) {
  return ::CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

}  // namespace

std::optional<std::wstring> InputBox(HWND owner, const std::wstring& prompt, const std::wstring& title,
                                     const std::wstring& defaultReply) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{sizeof wc};
  if (!::GetClassInfoExW(instance, InputBoxClass, &wc)) {
    wc = WNDCLASSEXW{sizeof wc};
    wc.lpfnWndProc = InputProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = InputBoxClass;
    if (!::RegisterClassExW(&wc)) return std::nullopt;
  }
  const UINT dpi = owner ? ::GetDpiForWindow(owner) : 96;
  auto px = [&](int v) { return ::MulDiv(v, static_cast<int>(dpi ? dpi : 96), 96); };
  RECT frame{0, 0, px(372), px(124)};
  ::AdjustWindowRectExForDpi(&frame, WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME, dpi ? dpi : 96);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  RECT around{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  if (owner) ::GetWindowRect(owner, &around);
  InputState state;
  HWND hwnd = ::CreateWindowExW(WS_EX_DLGMODALFRAME, InputBoxClass, title.c_str(), WS_CAPTION | WS_SYSMENU,
                                (around.left + around.right - w) / 2, (around.top + around.bottom - h) / 2, w, h,
                                owner, nullptr, instance, &state);
  if (!hwnd) return std::nullopt;
  state.hwnd = hwnd;

  NONCLIENTMETRICSW metrics{sizeof metrics};
  ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi ? dpi : 96);
  unique_hfont font(::CreateFontIndirectW(&metrics.lfMessageFont));
  HWND controls[] = {
      Child(hwnd, L"STATIC", prompt, SS_LEFT | SS_NOPREFIX, InputPrompt, {px(10), px(10), px(274), px(80)}),
      Child(hwnd, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, {px(288), px(10), px(362), px(34)}),
      Child(hwnd, L"BUTTON", L"Cancel", WS_TABSTOP, IDCANCEL, {px(288), px(40), px(362), px(64)}),
      Child(hwnd, L"EDIT", defaultReply, WS_TABSTOP | ES_AUTOHSCROLL, InputReply, {px(10), px(88), px(362), px(112)},
            WS_EX_CLIENTEDGE)};
  for (HWND c : controls) ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);

  // Modal: the owner takes no input until the box is gone.
  HWND edit = controls[3];
  ::SendMessageW(edit, EM_SETSEL, 0, -1);
  RunModal(hwnd, owner, edit, state.done);
  return state.reply;
}

}  // namespace win
