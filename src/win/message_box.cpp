#include "win/message_box.h"

int win::ShowMessage(HWND owner, const std::wstring& text, const std::wstring& title, UINT flags) {
  return ::MessageBoxW(owner, text.c_str(), title.c_str(), flags | MB_SETFOREGROUND);
}
