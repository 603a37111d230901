#pragma once
// Small helpers every window needs: a control's text, a function of a library loaded on
// first use.
#include <windows.h>

#include <string>
#include <type_traits>

namespace win {

inline std::wstring WindowText(HWND hwnd) {
  if (!hwnd) return {};
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

// Sets fn to the library's export of that name; false when it has none.
template <class Fn>
bool GetProc(HMODULE dll, Fn& fn, const char* name) {
  fn = dll ? reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(dll, name))) : nullptr;
  return fn != nullptr;
}

}  // namespace win
