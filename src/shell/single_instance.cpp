#include "shell/single_instance.h"

#include <string>

win::unique_handle modSingleInstance::ClaimInstanceMutex(bool& alreadyRunning) {
  wchar_t user[256] = {};
  DWORD size = 256;
  if (!::GetUserNameW(user, &size)) user[0] = L'\0';
  const std::wstring name = L"Local\\MirelLumo.SingleInstance." + std::wstring(user);
  win::unique_handle mutex(::CreateMutexW(nullptr, FALSE, name.c_str()));
  alreadyRunning = mutex && ::GetLastError() == ERROR_ALREADY_EXISTS;
  return mutex;
}
