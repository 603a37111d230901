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
}  // namespace

bool ForwardKeys(HWND control, HWND target) {
  if (!control || !target || !::SetPropW(control, KeyTarget, target)) return false;
  const LONG_PTR original = ::GetWindowLongPtrW(control, GWLP_WNDPROC);
  if (!original || !::SetPropW(control, OriginalProc, reinterpret_cast<HANDLE>(original))) return false;
  return ::SetWindowLongPtrW(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&KeysElsewhere)) != 0;
}

}  // namespace win
