#pragma once
// The overlay's button panel picButtons: the capture and cancel buttons on orange, shown
// beside a completed selection. Its buttons' clicks go to the overlay as WM_COMMAND, and so
// do their keys: the overlay answers Escape wherever the focus is.
#include <windows.h>

#include "win/gdi.h"
#include "win/window.h"

class CapturePanel : public win::Window<CapturePanel> {
 public:
  static constexpr const wchar_t* ClassName = L"MirelLumo.picButtons";
  static constexpr int IdScreenPrint = 101, IdCancel = 102;  // cmdScreenPrint, cmdCancel
  static constexpr int Width = 73, Height = 35;              // 1095 x 525 twips, at 96 dpi
  static win::WindowClass ClassInfo() { return {ClassName, IDC_ARROW}; }

  CapturePanel() = default;
  // Made hidden in the overlay, sized for its density.
  bool Create(HWND overlay, UINT dpi);
  void ShowAt(int left, int top);
  void Hide();
  bool Visible() const { return hwnd() && ::IsWindowVisible(hwnd()); }
  // Where it stands on the screen.
  RECT ScreenRect() const;
  // No pixel of the screen in the rectangle shows the panel's orange or the overlay's key
  // colour any more: the windows beneath have repainted the place the panel left. Where the
  // desktop is composed, or screen copies leave the overlay out, that is so at once.
  static bool GoneFrom(const RECT& r);

 private:
  friend class win::Window<CapturePanel>;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  win::unique_hfont glyphFont_;
  win::unique_hbrush brush_;
};
