// Keeps Wine's desktop in use for a whole test run: a desktop started by a test would inherit
// and hold the test's output open, and the test would seem to hang. scripts/test starts this
// first, with its output elsewhere. Its window is message-only: nothing shows.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (!::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr)) return 1;
  MSG m;
  while (::GetMessageW(&m, nullptr, 0, 0) > 0) ::DispatchMessageW(&m);
  return 0;
}
