#pragma once
#include <windows.h>

namespace win {
// Shows a box of our own modally: the owner takes no input until `done` turns true (the
// box's WM_DESTROY sets it). The box gets `focus` first; it is destroyed on return.
void RunModal(HWND box, HWND owner, HWND focus, const bool& done);
}  // namespace win
