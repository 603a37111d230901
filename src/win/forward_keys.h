#pragma once
#include <windows.h>

namespace win {
// Every key a control receives goes to `target` instead: a button of a panel, say, that
// keeps the focus after a click takes no key from the window it serves.
bool ForwardKeys(HWND control, HWND target);
// Enter and Escape pressed in an edit control are posted to `target` as `message` with the
// key (VK_RETURN or VK_ESCAPE) in wParam, and do nothing in the control itself.
bool PostEnterAndEscape(HWND edit, HWND target, UINT message);
}  // namespace win
