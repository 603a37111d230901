#pragma once
// Owners of GDI objects and device contexts, a selection that is always undone, and the
// background erase of a window with a brush of its own.
#include <windows.h>

#include "win/unique_resource.h"

namespace win {

inline void DeleteGdiObject(HGDIOBJ h) noexcept { ::DeleteObject(h); }
inline void DeleteMemoryDc(HDC h) noexcept { ::DeleteDC(h); }

using unique_hbitmap = unique_resource<null_traits<HBITMAP, DeleteGdiObject>>;
using unique_hbrush = unique_resource<null_traits<HBRUSH, DeleteGdiObject>>;
using unique_hfont = unique_resource<null_traits<HFONT, DeleteGdiObject>>;
using unique_hpen = unique_resource<null_traits<HPEN, DeleteGdiObject>>;
using unique_hrgn = unique_resource<null_traits<HRGN, DeleteGdiObject>>;
using unique_hdc = unique_resource<null_traits<HDC, DeleteMemoryDc>>;  // CreateCompatibleDC

// GetDC/GetWindowDC results, released to their window.
class window_dc {
 public:
  explicit window_dc(HWND hwnd, bool wholeWindow = false)
      : hwnd_(hwnd), dc_(wholeWindow ? ::GetWindowDC(hwnd) : ::GetDC(hwnd)) {}
  ~window_dc() {
    if (dc_) ::ReleaseDC(hwnd_, dc_);
  }
  window_dc(const window_dc&) = delete;
  window_dc& operator=(const window_dc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// Selects an object into a DC for the guard's lifetime.
class select_object {
 public:
  select_object(HDC dc, HGDIOBJ obj) : dc_(dc), old_(::SelectObject(dc, obj)) {}
  ~select_object() {
    if (old_ && old_ != HGDI_ERROR) ::SelectObject(dc_, old_);
  }
  select_object(const select_object&) = delete;
  select_object& operator=(const select_object&) = delete;

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// WM_ERASEBKGND of a window with a background of its own: the client area in `brush`.
inline LRESULT EraseBackground(HWND hwnd, WPARAM dc, HBRUSH brush) {
  RECT r;
  ::GetClientRect(hwnd, &r);
  ::FillRect(reinterpret_cast<HDC>(dc), &r, brush);
  return 1;
}

}  // namespace win
