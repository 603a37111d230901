#include "shell/run_entry.h"

#include <windows.h>

#include "base/app_error.h"
#include "win/error_text.h"
#include "win/handles.h"

namespace {
[[noreturn]] void ThrowStatus(LSTATUS status) {
  throw AppError{static_cast<int32_t>(status), win::SystemErrorText(static_cast<DWORD>(status)), 0};
}
}  // namespace

std::wstring modRunEntry::ExecutablePath() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = ::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) {
      path.resize(n);
      return path;
    }
    path.resize(path.size() * 2);
  }
}

void modRunEntry::RegisterRunEntry() {
  const std::wstring exe = ExecutablePath();
  std::wstring name = exe.substr(exe.find_last_of(L"\\/") + 1);
  if (const size_t dot = name.find_last_of(L'.'); dot != std::wstring::npos) name.resize(dot);
  // Quoted: an unquoted path with blanks would let Windows start C:\Program.exe instead.
  const std::wstring data = L"\"" + exe + L"\"";

  win::unique_hkey key;
  LSTATUS status = ::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", 0,
                                     nullptr, 0, KEY_SET_VALUE, nullptr, key.put(), nullptr);
  if (status != ERROR_SUCCESS) ThrowStatus(status);
  status = ::RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
  if (status != ERROR_SUCCESS) ThrowStatus(status);
}
