#pragma once
#include <windows.h>

#include <string>

namespace win {
// A modal message box; returns the button pressed.
int ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, UINT flags);
}  // namespace win
