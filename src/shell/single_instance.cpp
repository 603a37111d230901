#include "shell/single_instance.h"

#include <string>

win::unique_handle modSingleInstance::ClaimInstanceMutex(bool& alreadyRunning) {
  wchar_t user[256] = {};
  DWORD size = 256;
  if (!::GetUserNameW(user, &size)) user[0] = L'\0';
  const std::wstring name = L"Local\\MirelLumo.SingleInstance." + std::wstring(user);
  win::unique_handle mutex(::CreateMutexW(nullptr, FALSE, name.c_str()));
  const DWORD err = ::GetLastError();
  // Access denied: an instance of another integrity level holds it.
  alreadyRunning = (mutex && err == ERROR_ALREADY_EXISTS) || (!mutex && err == ERROR_ACCESS_DENIED);
  return mutex;
}
