#pragma once
// The one shape of every window of the program. A window is an object of a class derived
// from Window<Derived>: its window class is registered once, the object is bound to its
// window at WM_NCCREATE and unbound at WM_NCDESTROY, and its procedure is noexcept: an
// exception a handler lets out ends that message with a message box (win::Guarded), never
// crosses into the system.
//
// Derived provides
//   static win::WindowClass ClassInfo();                      // name, cursor, background...
//   LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam); // every message once bound
// and calls Create() to make its window.
#include <windows.h>

#include "win/guarded.h"

namespace win {

struct WindowClass {
  const wchar_t* name = nullptr;
  LPCWSTR cursor = IDC_ARROW;  // a system cursor, or nullptr for none
  HBRUSH background = nullptr;
  UINT style = 0;
  HICON icon = nullptr, smallIcon = nullptr;
};

template <class Derived>
class Window {
 public:
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  HWND hwnd() const { return hwnd_; }

 protected:
  Window() = default;
  // The window goes with its object; none of the object's handlers sees it go.
  ~Window() { Destroy(); }

  // Makes the window of this object; nullptr when the class or the window cannot be made.
  HWND Create(DWORD exStyle, const wchar_t* title, DWORD style, int x, int y, int w, int h, HWND parent,
              HMENU menuOrId = nullptr) {
    if (!Registered()) return nullptr;
    return ::CreateWindowExW(exStyle, Derived::ClassInfo().name, title, style, x, y, w, h, parent, menuOrId,
                             ::GetModuleHandleW(nullptr), static_cast<Derived*>(this));
  }
  // Destroys the window now, without its handlers.
  void Destroy() {
    if (!hwnd_) return;
    const HWND h = hwnd_;
    Unbind(h);
    ::DestroyWindow(h);
  }
  LRESULT Default(UINT msg, WPARAM wParam, LPARAM lParam) const { return ::DefWindowProcW(hwnd_, msg, wParam, lParam); }

 private:
  static bool Registered() {
    static const bool registered = [] {
      const WindowClass info = Derived::ClassInfo();
      WNDCLASSEXW wc{sizeof wc};
      wc.style = info.style;
      wc.lpfnWndProc = &Window::Proc;
      wc.hInstance = ::GetModuleHandleW(nullptr);
      wc.hCursor = info.cursor ? ::LoadCursorW(nullptr, info.cursor) : nullptr;
      wc.hbrBackground = info.background;
      wc.hIcon = info.icon;
      wc.hIconSm = info.smallIcon;
      wc.lpszClassName = info.name;
      return ::RegisterClassExW(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }();
    return registered;
  }

  void Unbind(HWND h) {
    ::SetWindowLongPtrW(h, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
  }

  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) noexcept {
    if (msg == WM_NCCREATE) {
      auto* self = static_cast<Derived*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
      self->Window::hwnd_ = hwnd;
    }
    auto* self = reinterpret_cast<Derived*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
    const LRESULT result = Guarded(hwnd, [&] { return self->OnMessage(msg, wParam, lParam); });
    if (msg == WM_NCDESTROY) self->Window::Unbind(hwnd);
    return result;
  }

  HWND hwnd_ = nullptr;
};

}  // namespace win
