#include "capture/modTopmost.h"

bool modTopmost::MakeTopmost(HWND hwnd, bool on) {
  return ::SetWindowPos(hwnd, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOMOVE) != FALSE;
}

bool modTransparency::SetTranslucency(HWND hwnd, BYTE alpha, bool keyed) {
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
  return ::SetLayeredWindowAttributes(hwnd, ColourKey, alpha, (keyed ? LWA_COLORKEY : 0) | LWA_ALPHA) != FALSE;
}
