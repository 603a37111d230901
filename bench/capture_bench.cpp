// Capture click to file written: MirelLumo.exe's overlay saving a 1920 x 1080 selection,
// against a floor that BitBlts the same rectangle and writes the BMP itself, in one run.
#include <filesystem>

#include "bench_util.h"

namespace {

constexpr RECT Area{100, 100, 2020, 1180};  // 1920 x 1080; the bench display is larger

void Button(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  ::SendInput(1, &in, sizeof in);
}

void PumpMs(int ms) {
  const ULONGLONG end = ::GetTickCount64() + ms;
  while (::GetTickCount64() < end) {
    MSG m;
    while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
    ::Sleep(1);
  }
}

double Now() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The floor: grab and write a 24-bit BMP, nothing else.
double FloorOnce(const std::wstring& path) {
  const double start = Now();
  const int w = Area.right - Area.left, h = Area.bottom - Area.top;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  HBITMAP bmp = ::CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = ::SelectObject(mem, bmp);
  ::BitBlt(mem, 0, 0, w, h, screen, Area.left, Area.top, SRCCOPY);
  ::SelectObject(mem, old);
  BITMAPINFOHEADER bi{sizeof bi, w, h, 1, 24, BI_RGB};
  const DWORD stride = (w * 3 + 3) & ~3, size = stride * h;
  std::vector<BYTE> bits(size);
  ::GetDIBits(screen, bmp, 0, h, bits.data(), reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS);
  BITMAPFILEHEADER fh{0x4D42, static_cast<DWORD>(sizeof fh + sizeof bi + size), 0, 0, sizeof fh + sizeof bi};
  HANDLE f = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD n;
  ::WriteFile(f, &fh, sizeof fh, &n, nullptr);
  ::WriteFile(f, &bi, sizeof bi, &n, nullptr);
  ::WriteFile(f, bits.data(), size, &n, nullptr);
  ::FlushFileBuffers(f);
  ::CloseHandle(f);
  ::DeleteObject(bmp);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  return Now() - start;
}

// One capture through the real overlay; negative when it did not complete.
double LumoOnce(const std::wstring& base) {
  std::filesystem::remove_all(std::filesystem::path(base));
  bench::Started program(bench::BesideMe(L"MirelLumo.exe"),
                         L"screencapture allowmultinstance saveimgsloc=" + base.substr(0, base.size() - 1));
  HWND overlay = program.WaitForWindow(L"MirelLumo.frmCapture", 3000);
  if (!overlay) return -1;
  PumpMs(150);
  ::SetCursorPos(Area.left, Area.top);
  PumpMs(30);
  Button(MOUSEEVENTF_LEFTDOWN);
  PumpMs(30);
  ::SetCursorPos(Area.right, Area.bottom);
  PumpMs(30);
  Button(MOUSEEVENTF_LEFTUP);
  HWND panel = ::FindWindowExW(overlay, nullptr, L"MirelLumo.picButtons", nullptr);
  for (int i = 0; i < 2000 && !(panel && ::IsWindowVisible(panel)); ++i) PumpMs(1);
  RECT r{};
  ::GetWindowRect(::GetDlgItem(panel, 101), &r);
  ::SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  PumpMs(30);
  Button(MOUSEEVENTF_LEFTDOWN);
  PumpMs(20);
  const std::wstring file = base + L"Mirel Lumo\\images\\image1.bmp";
  const double start = Now();
  Button(MOUSEEVENTF_LEFTUP);
  double ms = -1;
  HWND main = nullptr;
  while (Now() - start < 10000) {
    main = bench::FindVisibleWindow(program.pi.dwProcessId, L"MirelLumo.frmMain");
    if (main && ::GetFileAttributesW(file.c_str()) != INVALID_FILE_ATTRIBUTES) {
      ms = Now() - start;
      break;
    }
    ::Sleep(1);
  }
  if (main) ::PostMessageW(main, WM_CLOSE, 0, 0);
  return ms;
}

}  // namespace

int main(int argc, char** argv) {
  const int runs = argc > 1 ? std::atoi(argv[1]) : 7;
  const std::wstring base = L"c:\\lumo-bench-capture\\";
  std::vector<double> floor, lumo;
  for (int i = 0; i < runs; ++i) {
    std::filesystem::create_directories(std::filesystem::path(base));
    floor.push_back(FloorOnce(base + L"floor.bmp"));
    const double l = LumoOnce(base);
    if (l >= 0) lumo.push_back(l);
  }
  std::filesystem::remove_all(std::filesystem::path(base));
  const double f = bench::Median(floor), l = bench::Median(lumo);
  std::printf("capture click to 1920 x 1080 file written and handled, median of %d runs (%zu completed)\n", runs,
              lumo.size());
  std::printf("  floor (BitBlt + BMP):  %8.1f ms\n", f);
  std::printf("  MirelLumo.exe:         %8.1f ms\n", l);
  std::printf("  ratio:                 %8.2f (target <= 1.5)\n", f > 0 ? l / f : 0.0);
  return lumo.empty() ? 1 : 0;
}
