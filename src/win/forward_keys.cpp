#include "win/forward_keys.h"

namespace win {

namespace {
constexpr const wchar_t* OriginalProc = L"MirelLumo.OriginalProc";
constexpr const wchar_t* KeyTarget = L"MirelLumo.KeyTarget";

LRESULT CALLBACK KeysElsewhere(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  const auto original = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, OriginalProc));
  switch (msg) {
    case WM_KEYDOWN:
    case WM_KEYUP:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
    case WM_SYSKEYUP:
      return ::SendMessageW(static_cast<HWND>(::GetPropW(hwnd, KeyTarget)), msg, wParam, lParam);
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      ::RemovePropW(hwnd, OriginalProc);
      ::RemovePropW(hwnd, KeyTarget);
      break;
  }
  return ::CallWindowProcW(original, hwnd, msg, wParam, lParam);
}

constexpr const wchar_t* KeyMessage = L"MirelLumo.KeyMessage";

LRESULT CALLBACK EnterAndEscapeElsewhere(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
  const auto original = reinterpret_cast<WNDPROC>(::GetPropW(hwnd, OriginalProc));
  const bool ours = wParam == VK_RETURN || wParam == VK_ESCAPE;
  switch (msg) {
    case WM_KEYDOWN:
      if (!ours) break;
      ::PostMessageW(static_cast<HWND>(::GetPropW(hwnd, KeyTarget)),
                     static_cast<UINT>(reinterpret_cast<UINT_PTR>(::GetPropW(hwnd, KeyMessage))), wParam, 0);
      return 0;
    case WM_CHAR:
      if (wParam == L'\r' || wParam == 0x1B) return 0;  // no beep
      break;
    case WM_NCDESTROY:
      ::SetWindowLongPtrW(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
      ::RemovePropW(hwnd, OriginalProc);
      ::RemovePropW(hwnd, KeyTarget);
      ::RemovePropW(hwnd, KeyMessage);
      break;
  }
  return ::CallWindowProcW(original, hwnd, msg, wParam, lParam);
}

bool Subclass(HWND control, HWND target, WNDPROC proc) {
  if (!control || !target || !::SetPropW(control, KeyTarget, target)) return false;
  const LONG_PTR original = ::GetWindowLongPtrW(control, GWLP_WNDPROC);
  if (!original || !::SetPropW(control, OriginalProc, reinterpret_cast<HANDLE>(original))) return false;
  return ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(proc)) != 0;
}
}  // namespace

bool PostEnterAndEscape(HWND edit, HWND target, UINT message) {
  if (!edit || !::SetPropW(edit, KeyMessage, reinterpret_cast<HANDLE>(static_cast<UINT_PTR>(message)))) return false;
  return Subclass(edit, target, &EnterAndEscapeElsewhere);
}

bool ForwardKeys(HWND control, HWND target) { return Subclass(control, target, &KeysElsewhere); }

}  // namespace win
