// The floor of the start-up benchmark: a program that only registers a class and shows a
// maximised top-level window, then ends when it is closed. It carries the same manifest as
// MirelLumo.exe (common controls v6, per-monitor DPI awareness), whose activation costs
// every start the same.
#include <windows.h>

#include <cwchar>

static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR args, int) {
  // "overlay": a topmost borderless window over the whole virtual screen instead.
  const bool overlay = args && wcsstr(args, L"overlay") != nullptr;
  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"LumoBench.Floor";
  ::RegisterClassExW(&wc);
  HWND hwnd = overlay ? ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"Floor", WS_POPUP,
                                          ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                                          ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN),
                                          nullptr, nullptr, instance, nullptr)
                     : ::CreateWindowExW(0, wc.lpszClassName, L"Floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  ::ShowWindow(hwnd, overlay ? SW_SHOW : SW_SHOWMAXIMIZED);
  ::UpdateWindow(hwnd);
  MSG m;
  while (::GetMessageW(&m, nullptr, 0, 0) > 0) ::DispatchMessageW(&m);
  return 0;
}
