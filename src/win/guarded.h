#pragma once
// No exception crosses a window procedure: a handler that runs out of memory (a huge
// picture, say) ends its step with a message, and the program goes on.
#include <windows.h>

#include <new>

#include "win/message_box.h"

namespace win {

template <class Handler>
LRESULT Guarded(HWND hwnd, Handler handler) noexcept {
  try {
    return handler();
  } catch (const std::bad_alloc&) {
    ShowMessage(::GetAncestor(hwnd, GA_ROOT), L"There is not enough memory to finish this step. Nothing else was changed.",
                L"Mirel Lumo", MB_OK | MB_ICONEXCLAMATION);
  } catch (...) {
    ShowMessage(::GetAncestor(hwnd, GA_ROOT), L"This step could not be finished. Nothing else was changed.", L"Mirel Lumo",
                MB_OK | MB_ICONEXCLAMATION);
  }
  return 0;
}

}  // namespace win
