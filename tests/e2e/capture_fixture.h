#pragma once
// The capture road of the real program, as the end-to-end tests drive it: another program
// (this test) starts "screencapture cb=<its window>" over a window of its own showing a
// known pattern, and reads back the file and the path it is told.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "e2e/driver.h"

namespace capturetest {

using namespace e2e;
namespace fs = std::filesystem;

namespace frmCaptureIds {
constexpr int ScreenPrint = 101;  // the capture button's control id
}

constexpr RECT PatternArea{200, 150, 800, 550};
// On the two-monitor display: across the border into the monitor left of the primary, and
// up into its part above the primary.
constexpr RECT PatternAreaAcross{-400, -195, 300, 566};

// The overlay's shade and crosshair bars, in their own colours on the test display (it has
// no compositor).
constexpr COLORREF Shade = RGB(64, 64, 64), Orange = RGB(255, 128, 0);

inline COLORREF PatternAt(int x, int y) {  // screen coordinates; never the overlay's key yellow
  return RGB(x & 0xFF, y & 0xFF, 7 + ((x >> 8) & 3) * 40 + ((y >> 8) & 3) * 10);
}

// The pattern over a rectangle of the screen, rows top to bottom.
inline std::vector<COLORREF> PatternIn(const RECT& area) {
  std::vector<COLORREF> out;
  for (int y = area.top; y < area.bottom; ++y)
    for (int x = area.left; x < area.right; ++x) out.push_back(PatternAt(x, y));
  return out;
}

// The calling program: a borderless window showing the pattern, receiving WM_COPYDATA.
class CallerWindow {
 public:
  CallerWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &CallerWindow::Proc;
    wc.hInstance = ::GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LumoTest.Caller";
    ::RegisterClassW(&wc);
    hwnd_ = ::CreateWindowExW(0, wc.lpszClassName, L"Caller", WS_POPUP | WS_VISIBLE, PatternArea.left,
                              PatternArea.top, PatternArea.right - PatternArea.left,
                              PatternArea.bottom - PatternArea.top, nullptr, nullptr, wc.hInstance, nullptr);
    area_ = PatternArea;
    received_.clear();
    copyCount_ = 0;
    PumpFor(300ms);
  }
  ~CallerWindow() { ::DestroyWindow(hwnd_); }
  HWND Handle() const { return hwnd_; }
  // Shows the pattern over another area of the screen.
  void MoveTo(const RECT& area) {
    area_ = area;
    ::SetWindowPos(hwnd_, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, 0);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    PumpFor(300ms);
  }
  static const std::wstring& Received() { return received_; }
  static int CopyCount() { return copyCount_; }
  static WPARAM LastWParam() { return wParam_; }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      const int w = area_.right - area_.left, h = area_.bottom - area_.top;
      std::vector<DWORD> pixels;
      for (const COLORREF c : PatternIn(area_)) pixels.push_back((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
      BITMAPINFO bi{};
      bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
      ::SetDIBitsToDevice(dc, 0, 0, w, h, 0, 0, 0, h, pixels.data(), &bi, DIB_RGB_COLORS);
      ::EndPaint(hwnd, &ps);
      return 0;
    }
    if (msg == WM_COPYDATA) {
      const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      received_.assign(static_cast<const wchar_t*>(cds->lpData), cds->cbData / sizeof(wchar_t));
      wParam_ = wParam;
      ++copyCount_;
      return TRUE;
    }
    return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  }
  HWND hwnd_;
  static inline RECT area_ = PatternArea;
  static inline std::wstring received_;
  static inline int copyCount_ = 0;
  static inline WPARAM wParam_ = 0;
};

struct Image {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;  // top-down
};

// A 24-bit bottom-up BMP file.
inline Image ReadBmp(const std::wstring& path) {
  const std::string bytes = ReadBytes(path);
  Image img;
  if (bytes.size() < 54 || bytes[0] != 'B' || bytes[1] != 'M') return img;
  auto u32 = [&](size_t at) { return *reinterpret_cast<const uint32_t*>(bytes.data() + at); };
  auto i32 = [&](size_t at) { return *reinterpret_cast<const int32_t*>(bytes.data() + at); };
  const uint32_t offset = u32(10);
  img.width = i32(18);
  img.height = i32(22);
  if (*reinterpret_cast<const uint16_t*>(bytes.data() + 28) != 24) return Image{};
  const size_t stride = (static_cast<size_t>(img.width) * 3 + 3) & ~size_t{3};
  if (bytes.size() < offset + stride * img.height) return Image{};
  for (int y = 0; y < img.height; ++y)
    for (int x = 0; x < img.width; ++x) {
      const auto* p = reinterpret_cast<const uint8_t*>(bytes.data() + offset + (img.height - 1 - y) * stride + x * 3);
      img.pixels.push_back(RGB(p[2], p[1], p[0]));
    }
  return img;
}

// How many pixels of the file differ from the caller's pattern under the screen rectangle
// (all of them when the size is wrong): overlay shade, crosshair bars or panel.
inline int WrongPixels(const std::wstring& path, const RECT& area) {
  const Image img = ReadBmp(path);
  const int w = area.right - area.left, h = area.bottom - area.top;
  return img.width == w && img.height == h ? Differences(img.pixels, PatternIn(area)) : w * h;
}

class Capture : public ::testing::Test {
 protected:
  void TearDown() override {
    app_.reset();  // ends the program before its folder goes
    DeleteRunEntry();
  }
  std::vector<std::wstring> Files() const {
    std::vector<std::wstring> names;
    for (const auto& e : fs::directory_iterator(fs::path(images_))) names.push_back(e.path().filename().wstring());
    return names;
  }
  // The button panel once it exists (it is made right after the overlay first shows), or
  // once it shows too.
  HWND WaitForPanel(bool shown = true, Duration timeout = 5s) const {
    HWND panel = nullptr;
    const bool found = WaitUntil(
        [&] {
          PumpFor(10ms);
          panel = Descendant(overlay_, L"MirelLumo.picButtons");
          return panel && (!shown || ::IsWindowVisible(panel));
        },
        timeout);
    return found ? panel : nullptr;
  }
  // Starts the program for the caller window (on the test's folder, or the default one) and
  // waits for its overlay.
  HWND StartOverlay(HWND callBack = nullptr, bool ownFolder = true) {
    app_.emplace(L"screencapture cb=" + std::to_wstring(reinterpret_cast<intptr_t>(callBack ? callBack : caller_.Handle())) +
                 (ownFolder ? L" saveimgsloc=" + folder_.Location() : L""));
    return WaitForOverlay();
  }
  HWND WaitForOverlay() {
    overlay_ = app_->WaitForWindow(L"MirelLumo.frmCapture", nullptr, 20s);
    PumpFor(200ms);  // let it paint before the mouse arrives
    return overlay_;
  }
  struct Panel {
    HWND hwnd = nullptr;
    RECT place{};  // on the screen
  };
  // A drag from one corner of a selection to the other, and the button panel once it shows.
  Panel Select(POINT from, POINT to) const {
    Drag(from, to);
    Panel panel{WaitForPanel()};
    if (panel.hwnd) panel.place = ScreenRect(panel.hwnd);
    return panel;
  }
  // A drag over the pattern and a click on the capture button.
  bool SelectAndCapture() const {
    const HWND panel = Select({260, 200}, {460, 330}).hwnd;
    if (panel) Click(::GetDlgItem(panel, frmCaptureIds::ScreenPrint));
    return panel != nullptr;
  }
  // Waits for the caller to receive a file: how many of its pixels are not the pattern's
  // under the selection (-1, a failure, when none comes).
  static int WrongPixelsReceived(const RECT& selection) {
    if (WaitUntil([] { PumpFor(10ms); return CallerWindow::CopyCount() > 0; }, 10s))
      return WrongPixels(CallerWindow::Received(), selection);
    ADD_FAILURE() << "no WM_COPYDATA";
    return -1;
  }
  static int CaptureAndCompare(HWND panel, const RECT& selection) {
    Click(::GetDlgItem(panel, frmCaptureIds::ScreenPrint));
    return WrongPixelsReceived(selection);
  }
  bool Received(const wchar_t* name) const { return _wcsicmp(CallerWindow::Received().c_str(), (images_ + name).c_str()) == 0; }
  // Waits (a bounded time) until the screen shows these colours at these points; otherwise
  // names the first that differs.
  static ::testing::AssertionResult Shows(std::initializer_list<std::pair<POINT, COLORREF>> expected,
                                          Duration timeout = 3s) {
    POINT first{};
    const bool ok = WaitUntil(
        [&] {
          PumpFor(10ms);
          for (const auto& [p, colour] : expected)
            if (const auto px = ScreenPixels(RECT{p.x, p.y, p.x + 1, p.y + 1}); px.empty() || px[0] != colour) {
              first = p;
              return false;
            }
          return true;
        },
        timeout);
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "differs at " << first.x << "," << first.y;
  }
  // The magnifier's loupe, once it shows.
  HWND Loupe(Duration timeout = 3s) const { return app_->WaitForWindow(L"MirelLumo.Loupe", nullptr, timeout); }
  // Waits until the loupe shows the pattern's pixel at the screen point in its middle, and
  // the point and that colour in its readout (then the selection's size, when given).
  ::testing::AssertionResult LoupeShows(POINT p, const wchar_t* size = nullptr) const {
    const COLORREF c = PatternAt(p.x, p.y);
    wchar_t line[64];
    swprintf(line, 64, L"%ld, %ld   #%02X%02X%02X", p.x, p.y, GetRValue(c), GetGValue(c), GetBValue(c));
    const std::wstring expected = size ? std::wstring(line) + L"\n" + size : std::wstring(line);
    std::wstring seen;
    COLORREF middle = 0;
    const bool ok = WaitUntil(
        [&] {
          PumpFor(10ms);
          const HWND loupe = Loupe(0ms);
          if (!loupe) return false;
          const RECT r = ScreenRect(loupe);
          const int side = r.right - r.left;
          const auto px = ScreenPixels(RECT{r.left + side / 2, r.top + side / 2, r.left + side / 2 + 1, r.top + side / 2 + 1});
          middle = px.empty() ? 0 : px[0];
          return (seen = WindowText(loupe)) == expected && middle == c;
        },
        3s);
    if (ok) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "readout \"" << std::string(seen.begin(), seen.end()) << "\", middle "
                                         << std::hex << middle << " for " << std::hex << c;
  }
  TempFolder folder_{L"lumo-e2e", L"c:\\", L"Mirel Lumo\\images"};
  const std::wstring images_ = folder_.Images();
  CallerWindow caller_;
  std::optional<Program> app_;
  HWND overlay_ = nullptr;
};

}  // namespace capturetest
