#include "win/modal.h"

namespace win {

void RunModal(HWND box, HWND owner, HWND focus, const bool& done) {
  // An owner already disabled (by another modal box) stays so afterwards.
  const bool ownerWasEnabled = owner && ::IsWindowEnabled(owner);
  if (ownerWasEnabled) ::EnableWindow(owner, FALSE);
  ::ShowWindow(box, SW_SHOW);
  if (focus) ::SetFocus(focus);
  MSG m;
  while (!done) {
    const BOOL got = ::GetMessageW(&m, nullptr, 0, 0);
    if (got <= 0) {
      if (got == 0) ::PostQuitMessage(static_cast<int>(m.wParam));  // for the main loop
      break;
    }
    if (!::IsDialogMessageW(box, &m)) {
      ::TranslateMessage(&m);
      ::DispatchMessageW(&m);
    }
  }
  if (ownerWasEnabled) {
    ::EnableWindow(owner, TRUE);
    ::SetActiveWindow(owner);
  }
  if (::IsWindow(box)) ::DestroyWindow(box);
}

}  // namespace win
