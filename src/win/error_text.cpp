#include "win/error_text.h"

#include <windows.h>

std::wstring win::SystemErrorText(uint32_t code) {
  wchar_t buffer[2000] = {};
  const DWORD n = ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, code, 0, buffer, 2000, nullptr);
  std::wstring message(buffer, n);
  if (message.size() >= 2 && message.compare(message.size() - 2, 2, L"\r\n") == 0)
    message.resize(message.size() - 2);
  return L"[" + std::to_wstring(static_cast<int32_t>(code)) + L"] " + message;
}
