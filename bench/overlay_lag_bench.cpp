// The overlay's crosshair lag: 1000 mouse moves, each timed from the move until the screen
// shows the vertical bar at the new x. Against a floor window in this process that paints
// its bar at once on every move, measured the same way in the same run.
#include <filesystem>

#include "bench_util.h"

namespace {

constexpr COLORREF Orange = RGB(255, 128, 0);
constexpr int Moves = 1000, ProbeY = 300, MoveY = 700;

double Now() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

void Pump() {
  MSG m;
  while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
}

// Milliseconds per move until the bar's orange shows at (x + 2, ProbeY); 100 when it never does.
std::vector<double> MeasureMoves() {
  std::vector<double> lag;
  HDC screen = ::GetDC(nullptr);
  for (int i = 0; i < Moves; ++i) {
    const int x = 200 + (i % 2 ? 600 : 0) + (i / 2) % 400;  // jumps, so old and new bar never overlap
    ::SetCursorPos(x, MoveY);
    const double start = Now();
    double ms = 100;
    while (Now() - start < 100) {
      Pump();
      if (::GetPixel(screen, x + 2, ProbeY) == Orange) {
        ms = Now() - start;
        break;
      }
    }
    lag.push_back(ms);
  }
  ::ReleaseDC(nullptr, screen);
  return lag;
}

int FloorX = -100;
LRESULT CALLBACK FloorProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_MOUSEMOVE) {
    FloorX = static_cast<short>(LOWORD(lParam));
    ::InvalidateRect(hwnd, nullptr, FALSE);
    ::UpdateWindow(hwnd);
    return 0;
  }
  if (msg == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = ::BeginPaint(hwnd, &ps);
    RECT r;
    ::GetClientRect(hwnd, &r);
    ::SetBkColor(dc, RGB(64, 64, 64));
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    RECT bar{FloorX, 0, FloorX + 5, r.bottom};
    ::SetBkColor(dc, Orange);
    ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &bar, nullptr, 0, nullptr);
    ::EndPaint(hwnd, &ps);
    return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

void Report(const char* name, std::vector<double> lag) {
  std::sort(lag.begin(), lag.end());
  std::printf("  %-20s median %6.1f ms   p99 %6.1f ms   max %6.1f ms\n", name, lag[lag.size() / 2],
              lag[lag.size() * 99 / 100], lag.back());
}

}  // namespace

int main() {
  ::SetProcessDPIAware();
  // The floor: a topmost full-screen window of this process.
  WNDCLASSW wc{};
  wc.lpfnWndProc = FloorProc;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"LumoBench.LagFloor";
  ::RegisterClassW(&wc);
  HWND floor = ::CreateWindowExW(WS_EX_TOPMOST, wc.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 0, 0,
                                 ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN), nullptr, nullptr,
                                 wc.hInstance, nullptr);
  for (int i = 0; i < 20; ++i) Pump(), ::Sleep(10);
  const auto floorLag = MeasureMoves();
  ::DestroyWindow(floor);

  const std::wstring base = L"c:\\lumo-bench-lag\\";
  std::filesystem::create_directories(std::filesystem::path(base));
  std::vector<double> lumoLag;
  {
    bench::Started program(bench::BesideMe(L"MirelLumo.exe"),
                           L"screencapture allowmultinstance saveimgsloc=" + base.substr(0, base.size() - 1));
    HWND overlay = program.WaitForWindow(L"MirelLumo.frmCapture", 5000);
    if (!overlay) return 1;
    for (int i = 0; i < 20; ++i) Pump(), ::Sleep(10);
    lumoLag = MeasureMoves();
    ::PostMessageW(overlay, WM_KEYUP, VK_ESCAPE, 0);
    HWND main = program.WaitForWindow(L"MirelLumo.frmMain", 5000);
    if (main) ::PostMessageW(main, WM_CLOSE, 0, 0);
  }
  std::filesystem::remove_all(std::filesystem::path(base));

  std::printf("crosshair lag over %d mouse moves (move to the bar on the screen)\n", Moves);
  Report("floor (paints at once)", floorLag);
  Report("MirelLumo overlay", lumoLag);
  const double late = static_cast<double>(std::count_if(lumoLag.begin(), lumoLag.end(), [](double ms) { return ms > 10.0; }));
  std::printf("  overlay moves drawn later than one 10 ms tick: %.0f of %d\n", late, Moves);
  return 0;
}
