#pragma once
// The capture road as the end-to-end tests drive it: this test, the calling program, starts
// "screencapture cb=<its window>" over that window's known pattern and reads back the file and path.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <optional>

#include "capture/capture_panel.h"
#include "e2e/driver.h"

namespace capturetest {

using namespace e2e;
namespace fs = std::filesystem;

constexpr RECT PatternArea{200, 150, 800, 550};

// The overlay's shade and crosshair bars, opaque on the test display (it has no compositor).
constexpr COLORREF Shade = RGB(64, 64, 64), Orange = RGB(255, 128, 0);

inline COLORREF PatternAt(int x, int y) {  // screen coordinates; never the overlay's key yellow
  return RGB(x & 0xFF, y & 0xFF, 7 + ((x >> 8) & 3) * 40 + ((y >> 8) & 3) * 10);
}

inline std::vector<COLORREF> PatternIn(const RECT& area) {
  std::vector<COLORREF> out;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) out.push_back(PatternAt(x, y));
  return out;
}

// Left, top, right, bottom as one value to compare.
inline std::array<LONG, 4> Edges(const RECT& r) { return {r.left, r.top, r.right, r.bottom}; }

inline COLORREF ScreenAt(LONG x, LONG y) {
  const auto pixels = ScreenPixels(RECT{x, y, x + 1, y + 1});
  return pixels.empty() ? CLR_INVALID : pixels[0];
}

// The calling program: a borderless window showing the pattern, receiving WM_COPYDATA.
class CallerWindow {
 public:
  CallerWindow() {
    const WNDCLASSW wc{0, &Proc, 0, 0, ::GetModuleHandleW(nullptr), nullptr, nullptr, nullptr, nullptr, L"Lumo.Caller"};
    ::RegisterClassW(&wc);
    hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"Caller", WS_POPUP | WS_VISIBLE, 0, 0, 1, 1, nullptr, nullptr,
                              wc.hInstance, nullptr);
    received_.clear();
    copyCount_ = 0;
    MoveTo(PatternArea);
  }
  ~CallerWindow() { ::DestroyWindow(hwnd_); }
  HWND Handle() const { return hwnd_; }
  void MoveTo(const RECT& area) {
    area_ = area;
    ::SetWindowPos(hwnd_, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, 0);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    PumpFor(300ms);
  }
  static const std::wstring& Received() { return received_; }
  static int CopyCount() { return copyCount_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      const int w = area_.right - area_.left, h = area_.bottom - area_.top;
      std::vector<DWORD> pixels;
      for (const COLORREF c : PatternIn(area_)) pixels.push_back(GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c));
      const BITMAPINFO bi{{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB}};
      ::SetDIBitsToDevice(dc, 0, 0, w, h, 0, 0, 0, h, pixels.data(), &bi, DIB_RGB_COLORS);
      ::EndPaint(hwnd, &ps);
      return 0;
    }
    if (msg == WM_COPYDATA) {  // the path in UTF-16 without terminator, kept only under wParam 100 and dwData 0
      const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      const std::wstring path(static_cast<const wchar_t*>(cds->lpData), cds->cbData / sizeof(wchar_t));
      received_ = wParam == 100 && cds->dwData == 0 ? path : L"(another wParam or dwData)";
      ++copyCount_;
      return TRUE;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  HWND hwnd_;
  static inline RECT area_ = PatternArea;
  static inline std::wstring received_;
  static inline int copyCount_ = 0;
};

// How many pixels of a 24-bit BMP file differ from the pattern under the screen rectangle
// (all when it is no such file of that size): shade, bars or panel.
inline int WrongPixels(const std::wstring& path, const RECT& area) {
  const std::string bytes = ReadBytes(path);
  const int w = area.right - area.left, h = area.bottom - area.top;
  const auto i32 = [&](size_t at) { return *reinterpret_cast<const int32_t*>(bytes.data() + at); };
  const size_t stride = (size_t(w) * 3 + 3) & ~size_t{3}, offset = bytes.size() < 54 ? 0 : uint32_t(i32(10));
  if (bytes.size() < 54 || bytes.compare(0, 2, "BM") != 0 || i32(18) != w || i32(22) != h || bytes[28] != 24 ||
      bytes.size() < offset + stride * h)
    return w * h;
  int wrong = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + offset + (h - 1 - y) * stride + x * 3);
      wrong += RGB(p[2], p[1], p[0]) != PatternAt(area.left + x, area.top + y);
    }
  return wrong;
}

class Capture : public ::testing::Test {
 protected:
  void TearDown() override { app_.reset(); DeleteRunEntry(); }  // the program ends first
  // The button panel (made hidden right after the overlay first shows), and it once it shows.
  HWND Panel() const { return Descendant(overlay_, CapturePanel::ClassName); }
  HWND WaitForPanel() const {
    return WaitUntil([&] { PumpFor(10ms); return ::IsWindowVisible(Panel()) != FALSE; }, 5s) ? Panel() : nullptr;
  }
  // Starts the program for the caller (on the test's folder, or the default one); its overlay.
  HWND StartOverlay(HWND callBack = nullptr, bool ownFolder = true) {
    const std::wstring cb = std::to_wstring(reinterpret_cast<intptr_t>(callBack ? callBack : caller_.Handle()));
    app_.emplace(L"screencapture cb=" + cb + (ownFolder ? L" saveimgsloc=" + folder_.Location() : L""));
    return WaitForOverlay();
  }
  HWND WaitForOverlay() {
    overlay_ = app_->WaitForWindow(L"MirelLumo.frmCapture", nullptr, 20s);
    PumpFor(200ms);  // let it paint before the mouse arrives
    return overlay_;
  }
  // A drag from one corner of a selection to the other, and the button panel once it shows.
  HWND Select(POINT from, POINT to) const { Drag(from, to); return WaitForPanel(); }
  static HWND CaptureButton(HWND panel) { return ::GetDlgItem(panel, CapturePanel::IdScreenPrint); }
  bool SelectAndCapture() const {
    const HWND panel = Select({260, 200}, {460, 330});
    if (panel) Click(CaptureButton(panel));
    return panel != nullptr;
  }
  // Waits for the caller to receive a file: its pixels not the pattern's (all when none comes).
  static int WrongPixelsReceived(const RECT& selection) {
    WaitUntil([] { PumpFor(10ms); return CallerWindow::CopyCount() > 0; }, 10s);
    return WrongPixels(CallerWindow::Received(), selection);
  }
  static int CaptureAndCompare(HWND panel, const RECT& area) {
    Click(CaptureButton(panel));
    return WrongPixelsReceived(area);
  }
  // Waits until the screen shows these colours at these points; otherwise names the first that differs.
  static ::testing::AssertionResult Shows(std::initializer_list<std::pair<POINT, COLORREF>> expected,
                                          Duration timeout = 3s) {
    POINT first{};
    COLORREF seen = 0;
    const auto same = [&] {
      PumpFor(10ms);
      for (const auto& [p, colour] : expected) {
        first = p;
        if ((seen = ScreenAt(p.x, p.y)) != colour) return false;
      }
      return true;
    };
    if (WaitUntil(same, timeout)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "differs at " << first.x << "," << first.y << ": " << std::hex << seen;
  }
  HWND Loupe(Duration timeout = 3s) const { return app_->WaitForWindow(L"MirelLumo.Loupe", nullptr, timeout); }
  // Waits until the loupe shows the pattern's pixel at the point in its middle, and the point,
  // that colour and the selection's size (when given) in its readout.
  ::testing::AssertionResult LoupeShows(POINT p, const wchar_t* size = nullptr) const {
    const COLORREF c = PatternAt(p.x, p.y);
    wchar_t expected[64];
    swprintf(expected, 64, L"%ld, %ld   #%02X%02X%02X%ls%ls", p.x, p.y, GetRValue(c), GetGValue(c), GetBValue(c),
             size ? L"\n" : L"", size ? size : L"");
    std::wstring seen;
    COLORREF middle = CLR_INVALID;
    const auto shows = [&] {
      PumpFor(10ms);
      const HWND loupe = Loupe(0ms);
      if (!loupe) return false;
      const RECT r = ScreenRect(loupe);
      const int half = (r.right - r.left) / 2;
      middle = ScreenAt(r.left + half, r.top + half);
      return (seen = WindowText(loupe)) == expected && middle == c;
    };
    if (WaitUntil(shows, 3s)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "readout \"" << seen << "\", middle " << std::hex << middle << " for " << c;
  }
  TempFolder folder_{L"lumo-e2e", L"c:\\", L"Mirel Lumo\\images"};
  const std::wstring images_ = folder_.Images();
  CallerWindow caller_;
  std::optional<Program> app_;
  HWND overlay_ = nullptr;
};

}  // namespace capturetest
