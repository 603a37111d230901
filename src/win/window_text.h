#pragma once
// A control's text.
#include <windows.h>

#include <string>

namespace win {

inline std::wstring WindowText(HWND hwnd) {
  if (!hwnd) return {};
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace win
