#pragma once
#include <windows.h>

namespace win {
// Every key a control receives goes to `target` instead: a button of a panel, say, that
// keeps the focus after a click takes no key from the window it serves.
bool ForwardKeys(HWND control, HWND target);
}  // namespace win
