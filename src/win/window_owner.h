#pragma once
#include <windows.h>

namespace win {

// The object a window belongs to: handed to CreateWindowEx as its parameter, kept with the
// window from WM_NCCREATE on. nullptr for the few messages before that.
template <class T>
T* WindowOwner(HWND hwnd, UINT msg, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    auto* owner = static_cast<T*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return owner;
  }
  return reinterpret_cast<T*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

}  // namespace win
