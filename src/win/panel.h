#pragma once
// A plain child panel with a background colour and, optionally, a frame with a caption
// along its edge. The commands and drawing requests of its controls go on to its parent.
#include <windows.h>

#include "win/gdi.h"
#include "win/window.h"

namespace win {

class Panel : public Window<Panel> {
 public:
  static constexpr const wchar_t* ClassName = L"MirelLumo.Panel";
  static WindowClass ClassInfo() { return {ClassName, IDC_ARROW, nullptr, CS_HREDRAW | CS_VREDRAW}; }  // the frame follows the size

  Panel() = default;
  bool Create(HWND parent, int id, const wchar_t* caption, COLORREF back, int x, int y, int w, int h, bool framed,
              bool visible);

 private:
  friend class Window<Panel>;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void PaintFrame(HDC dc) const;

  COLORREF back_ = 0;
  bool framed_ = false;
  unique_hbrush brush_;
  HFONT font_ = nullptr;  // WM_SETFONT's, owned by the parent
};

}  // namespace win
