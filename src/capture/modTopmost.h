#pragma once
#include <windows.h>

namespace modTopmost {
// Puts the window into the topmost band (or out of it), position and size unchanged.
bool MakeTopmost(HWND hwnd, bool on);
}
namespace modTransparency {
inline constexpr COLORREF ColourKey = RGB(255, 255, 0);
// Makes the window layered: pixels of ColourKey fully transparent (while `keyed`), the rest
// at alpha/255.
bool SetTranslucency(HWND hwnd, BYTE alpha, bool keyed = true);
}
