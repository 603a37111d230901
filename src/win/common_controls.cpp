#include "win/common_controls.h"

#include <commctrl.h>

#include "win/library.h"

namespace win {

void InitCommonControlsOnce() {
  // The usual search: the manifest picks the common controls' version 6.
  static const Library comctl32(L"comctl32.dll", Library::Search::Default);
  static const bool done = [] {
    const auto init = comctl32.Function<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>("InitCommonControlsEx");
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    return init && init(&icc);
  }();
  (void)done;
}

HWND CreateTooltipWindow(HWND owner) {
  InitCommonControlsOnce();
  return ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                           reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(owner, GWLP_HINSTANCE)), nullptr);
}

void AddTooltip(HWND tooltip, HWND parent, HWND tool, const wchar_t* text) {
  if (!tooltip || !tool) return;
  TOOLINFOW ti{sizeof ti};
  ti.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
  ti.hwnd = parent;
  ti.uId = reinterpret_cast<UINT_PTR>(tool);
  ti.lpszText = const_cast<wchar_t*>(text);
  ::SendMessageW(tooltip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&ti));
}

}  // namespace win
