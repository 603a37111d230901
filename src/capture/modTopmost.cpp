#include "capture/modTopmost.h"

#include "win/library.h"

namespace {
const win::Library& Dwm() {
  static const win::Library dwmapi(L"dwmapi.dll");
  return dwmapi;
}
}  // namespace

bool modTransparency::SetTranslucency(HWND hwnd, BYTE alpha, bool keyed) {
  ::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, ::GetWindowLongPtrW(hwnd, GWL_EXSTYLE) | WS_EX_LAYERED);
  return ::SetLayeredWindowAttributes(hwnd, ColourKey, alpha, (keyed ? LWA_COLORKEY : 0) | LWA_ALPHA) != FALSE;
}

bool modTopmost::DesktopComposed() {
  static const auto enabled = Dwm().Function<HRESULT(WINAPI*)(BOOL*)>("DwmIsCompositionEnabled");
  BOOL on = FALSE;
  return enabled && SUCCEEDED(enabled(&on)) && on;
}

void modTopmost::WaitForComposition() {
  static const auto flush = Dwm().Function<HRESULT(WINAPI*)()>("DwmFlush");
  if (flush) flush();
}
