#pragma once
#include <windows.h>

namespace modTopmost {
// The desktop is composed: a hidden window is gone from the screen at the next frame,
// without the windows beneath repainting (DwmFlush waits for that frame).
bool DesktopComposed();
void WaitForComposition();
}
namespace modTransparency {
inline constexpr COLORREF ColourKey = RGB(255, 255, 0);
// Makes the window layered: pixels of ColourKey fully transparent (while `keyed`), the rest
// at alpha/255.
bool SetTranslucency(HWND hwnd, BYTE alpha, bool keyed = true);
}
