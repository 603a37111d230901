#pragma once
// A plain child panel with a background colour and, optionally, a frame with a caption
// along its edge. The commands and drawing requests of its controls go on to its parent.
#include <windows.h>

namespace win {

inline constexpr const wchar_t* PanelClass = L"MirelLumo.Panel";

HWND CreatePanel(HWND parent, int id, const wchar_t* caption, COLORREF back, int x, int y, int w, int h,
                 bool framed, bool visible);

}  // namespace win
