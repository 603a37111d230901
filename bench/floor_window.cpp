// The floor of the start-up and lag benchmarks: a program that only registers a class and
// shows a maximised top-level window, then ends when it is closed. It carries the same
// manifest as MirelLumo.exe (common controls v6, per-monitor DPI awareness), whose
// activation costs every start the same.
//   "overlay":    a topmost borderless window over the whole virtual screen instead.
//   "crosshairs": that window translucent like the capture overlay, with orange bars through
//                 the mouse painted at once on every move (no throttle).
#include <windows.h>

#include <cwchar>
#include <initializer_list>

namespace {

constexpr COLORREF Shade = RGB(64, 64, 64), Orange = RGB(255, 128, 0);
constexpr int Bar = 5;
bool crosshairs = false;
POINT at{-100, -100};

void Fill(HDC dc, const RECT& r, COLORREF colour) {
  ::SetBkColor(dc, colour);
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    case WM_MOUSEMOVE: {
      if (!crosshairs) break;
      const POINT p{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      RECT client;
      ::GetClientRect(hwnd, &client);
      // The bars that moved, old place and new.
      for (const POINT q : {at, p}) {
        const RECT h{0, q.y, client.right, q.y + Bar}, v{q.x, 0, q.x + Bar, client.bottom};
        if (p.y != at.y) ::InvalidateRect(hwnd, &h, FALSE);
        if (p.x != at.x) ::InvalidateRect(hwnd, &v, FALSE);
      }
      at = p;
      ::UpdateWindow(hwnd);
      return 0;
    }
    case WM_ERASEBKGND:
      if (crosshairs) return 1;
      break;
    case WM_PAINT: {
      if (!crosshairs) break;
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      RECT client;
      ::GetClientRect(hwnd, &client);
      Fill(dc, ps.rcPaint, Shade);
      Fill(dc, RECT{0, at.y, client.right, at.y + Bar}, Orange);
      Fill(dc, RECT{at.x, 0, at.x + Bar, client.bottom}, Orange);
      ::EndPaint(hwnd, &ps);
      return 0;
    }
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR args, int) {
  crosshairs = args && wcsstr(args, L"crosshairs") != nullptr;
  const bool overlay = crosshairs || (args && wcsstr(args, L"overlay") != nullptr);
  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, crosshairs ? IDC_CROSS : IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = L"LumoBench.Floor";
  ::RegisterClassExW(&wc);
  HWND hwnd = overlay ? ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | (crosshairs ? WS_EX_LAYERED : 0),
                                          wc.lpszClassName, L"Floor", WS_POPUP,
                                          ::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN),
                                          ::GetSystemMetrics(SM_CXVIRTUALSCREEN), ::GetSystemMetrics(SM_CYVIRTUALSCREEN),
                                          nullptr, nullptr, instance, nullptr)
                     : ::CreateWindowExW(0, wc.lpszClassName, L"Floor", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT,
                                         CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance, nullptr);
  // The capture overlay's translucency.
  if (crosshairs) ::SetLayeredWindowAttributes(hwnd, 0, 190, LWA_ALPHA);
  ::ShowWindow(hwnd, overlay ? SW_SHOW : SW_SHOWMAXIMIZED);
  ::UpdateWindow(hwnd);
  MSG m;
  while (::GetMessageW(&m, nullptr, 0, 0) > 0) ::DispatchMessageW(&m);
  return 0;
}
