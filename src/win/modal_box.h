#pragma once
// A box of our own shown modally over its owner (the About box, the input box): a caption
// with a close button, its client area given at 96 dpi and scaled to the owner's density,
// centred on the owner. The owner takes no input until the box is gone.
#include <windows.h>

#include <string>

#include "win/modal.h"
#include "win/window.h"

namespace win {

template <class Derived>
class ModalBox : public Window<Derived> {
 protected:
  // Makes the box, hidden; false when it cannot be made.
  bool Open(HWND owner, const std::wstring& title, int clientWidth, int clientHeight) {
    owner_ = owner;
    const UINT ownerDpi = owner ? ::GetDpiForWindow(owner) : 0;
    dpi_ = ownerDpi ? ownerDpi : 96;
    RECT frame{0, 0, Px(clientWidth), Px(clientHeight)};
    ::AdjustWindowRectExForDpi(&frame, Style, FALSE, ExStyle, dpi_);
    const int w = frame.right - frame.left, h = frame.bottom - frame.top;
    RECT around{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    if (owner) ::GetWindowRect(owner, &around);
    return this->Create(ExStyle, title.c_str(), Style, (around.left + around.right - w) / 2,
                        (around.top + around.bottom - h) / 2, w, h, owner) != nullptr;
  }
  int Px(int at96) const { return ::MulDiv(at96, static_cast<int>(dpi_), 96); }
  UINT Dpi() const { return dpi_; }
  // A child control; its place and size at 96 dpi.
  HWND AddChild(const wchar_t* cls, const std::wstring& text, DWORD style, int id, int x, int y, int w, int h,
                DWORD exStyle = 0) const {
    return ::CreateWindowExW(exStyle, cls, text.c_str(), WS_CHILD | WS_VISIBLE | style, Px(x), Px(y), Px(w), Px(h),
                             this->hwnd(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  }
  // Shows the box with `focus` focused and returns once it has been closed.
  void RunModalLoop(HWND focus) { RunModal(this->hwnd(), owner_, focus, done_); }
  // Closing the box ends the modal loop; Derived passes every message it does not handle here.
  LRESULT BoxDefault(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
      ::DestroyWindow(this->hwnd());
      return 0;
    }
    if (msg == WM_DESTROY) {
      done_ = true;
      return 0;
    }
    return this->Default(msg, wParam, lParam);
  }

 private:
  static constexpr DWORD Style = WS_CAPTION | WS_SYSMENU;
  static constexpr DWORD ExStyle = WS_EX_DLGMODALFRAME;
  HWND owner_ = nullptr;
  UINT dpi_ = 96;
  bool done_ = false;
};

}  // namespace win
