// Keeps Wine's desktop in use for a whole test run. Wine ends the desktop's process a moment
// after the last program using the desktop has ended, and the next program to need it starts
// a new one, which inherits that program's output. Started by a test, it would hold the
// test's output open and the test would seem to hang. scripts/test starts this program
// first, with its output elsewhere; it lives until Wine is stopped. Its window is
// message-only: nothing shows.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  if (!::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr)) return 1;
  MSG m;
  while (::GetMessageW(&m, nullptr, 0, 0) > 0) ::DispatchMessageW(&m);
  return 0;
}
