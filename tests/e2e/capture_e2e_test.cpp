// The capture road of the real program: another program starts "screencapture cb=<its
// window>", a person drags a selection over that window's known pattern and clicks the
// capture button; the file holds exactly those pixels and the caller receives its path.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>
#include <thread>

#include "capture/capture_files.h"
#include "e2e/driver.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

namespace frmCaptureIds {
constexpr int ScreenPrint = 101;  // the capture button's control id
}

constexpr RECT PatternArea{200, 150, 800, 550};
// On the two-monitor display: across the border into the monitor left of the primary, and
// up into its part above the primary.
constexpr RECT PatternAreaAcross{-400, -195, 300, 550};

COLORREF PatternAt(int x, int y) {  // screen coordinates; never the overlay's key yellow
  return RGB(x & 0xFF, y & 0xFF, 7 + ((x >> 8) & 3) * 40 + ((y >> 8) & 3) * 10);
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
    Pump(300ms);
  }
  ~CallerWindow() { ::DestroyWindow(hwnd_); }
  HWND Handle() const { return hwnd_; }
  // Shows the pattern over another area of the screen.
  void MoveTo(const RECT& area) {
    area_ = area;
    ::SetWindowPos(hwnd_, HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top, 0);
    ::InvalidateRect(hwnd_, nullptr, FALSE);
    Pump(300ms);
  }
  static const std::wstring& Received() { return received_; }
  static int CopyCount() { return copyCount_; }
  static WPARAM LastWParam() { return wParam_; }
  // Pumps this thread's messages while waiting, so that the window repaints and answers.
  static bool Pump(Duration timeout, bool untilCopyData = false) {
    return WaitUntil(
        [&] {
          MSG m;
          while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
          return untilCopyData && copyCount_ > 0;
        },
        timeout);
  }

 private:
  static LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      const int w = area_.right - area_.left, h = area_.bottom - area_.top;
      std::vector<DWORD> pixels(static_cast<size_t>(w) * h);
      for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
          const COLORREF c = PatternAt(area_.left + x, area_.top + y);
          pixels[static_cast<size_t>(y) * w + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
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

HWND ChildOfClass(HWND parent, const wchar_t* cls) {
  return ::FindWindowExW(parent, nullptr, cls, nullptr);
}

struct Image {
  int width = 0, height = 0;
  std::vector<COLORREF> pixels;  // top-down
};

// A 24-bit bottom-up BMP file.
Image ReadBmp(const std::wstring& path) {
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
int WrongPixels(const std::wstring& path, const RECT& area) {
  const Image img = ReadBmp(path);
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (img.width != w || img.height != h) return w * h;
  int wrong = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (img.pixels[static_cast<size_t>(y) * w + x] != PatternAt(area.left + x, area.top + y)) ++wrong;
  return wrong;
}

class Capture : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = L"c:\\lumo-e2e-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    images_ = base_ + L"Mirel Lumo\\images\\";
    fs::remove_all(fs::path(base_));
    fs::create_directories(fs::path(images_));
  }
  void TearDown() override {
    app_.reset();  // ends the program before its folder goes
    // No Run entry stays behind: Wine would start the program from it with its services.
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"MirelLumo");
    std::error_code ignored;
    fs::remove_all(fs::path(base_), ignored);
  }
  std::wstring Args(HWND callBack) const {
    return L"screencapture cb=" + std::to_wstring(reinterpret_cast<intptr_t>(callBack)) + L" saveimgsloc=" +
           base_.substr(0, base_.size() - 1);
  }
  std::vector<std::wstring> Files() const {
    std::vector<std::wstring> names;
    for (const auto& e : fs::directory_iterator(fs::path(images_))) names.push_back(e.path().filename().wstring());
    return names;
  }
  static HWND WaitForOverlay(const Program& app) {
    HWND overlay = app.WaitForWindow(L"MirelLumo.frmCapture", nullptr, 20s);
    CallerWindow::Pump(200ms);  // let it paint before the mouse arrives
    return overlay;
  }
  // The button panel once it exists (it is made right after the overlay first shows), or
  // once it shows too.
  static HWND WaitForPanel(HWND overlay, bool shown = true, Duration timeout = 5s) {
    HWND panel = nullptr;
    const bool found = WaitUntil(
        [&] {
          CallerWindow::Pump(10ms);
          panel = ChildOfClass(overlay, L"MirelLumo.picButtons");
          return panel && (!shown || ::IsWindowVisible(panel));
        },
        timeout);
    return found ? panel : nullptr;
  }
  // Starts the program for the caller window and waits for its overlay.
  HWND StartOverlay(HWND callBack = nullptr) {
    app_.emplace(Args(callBack ? callBack : caller_.Handle()));
    return WaitForOverlay(*app_);
  }
  // A drag over the pattern and a click on the capture button.
  bool SelectAndCapture(HWND overlay) {
    Drag({260, 200}, {460, 330});
    HWND panel = WaitForPanel(overlay);
    if (!panel) return false;
    Click(::GetDlgItem(panel, frmCaptureIds::ScreenPrint));
    return true;
  }
  std::wstring base_, images_;
  CallerWindow caller_;
  std::optional<Program> app_;
};

}  // namespace

TEST_F(Capture, DragAndCaptureSavesExactlyTheSelectedPixelsAndTellsTheCaller) {
  HWND overlay = StartOverlay();
  ASSERT_NE(overlay, nullptr);
  Program& app = *app_;
  EXPECT_EQ(app.WaitForMainWindow(0ms), nullptr);  // hidden while the overlay is up

  Drag({260, 200}, {460, 330});
  HWND panel = WaitForPanel(overlay);
  ASSERT_NE(panel, nullptr);
  RECT pr;
  ::GetWindowRect(panel, &pr);
  EXPECT_EQ(pr.right, 460);  // released at the bottom-right corner: the panel's right edge there
  EXPECT_EQ(pr.top, 330);

  Click(::GetDlgItem(panel, frmCaptureIds::ScreenPrint));
  ASSERT_TRUE(CallerWindow::Pump(10s, true)) << "no WM_COPYDATA";
  EXPECT_EQ(CallerWindow::CopyCount(), 1);
  EXPECT_EQ(CallerWindow::LastWParam(), 100u);
  const std::wstring expected = base_ + L"Mirel Lumo\\images\\image1.bmp";
  EXPECT_EQ(_wcsicmp(CallerWindow::Received().c_str(), expected.c_str()), 0);

  EXPECT_EQ(WrongPixels(expected, RECT{260, 200, 460, 330}), 0) << "pixels that are not the caller's";

  EXPECT_NE(app.WaitForMainWindow(), nullptr);
  EXPECT_FALSE(::IsWindowVisible(overlay));
  EXPECT_TRUE(app.CloseAndWait());
}

// What the overlay shows: the shade, the bars through the mouse and nothing where they were,
// and while selecting the desktop through the selection, where the bars stop. The test
// display has no compositor, so the shade and the bars show in their own colours.
TEST_F(Capture, TheOverlayShowsTheCrosshairsAndTheSelectionAsIs) {
  constexpr COLORREF Shade = RGB(64, 64, 64), Orange = RGB(255, 128, 0);
  HWND overlay = StartOverlay();
  ASSERT_NE(overlay, nullptr);
  auto at = [](int x, int y) {
    const auto p = ScreenPixels(RECT{x, y, x + 1, y + 1});
    return p.empty() ? CLR_INVALID : p[0];
  };
  // Shows the expected colours within a bounded wait; false with the first that differs.
  auto shows = [&](std::initializer_list<std::pair<POINT, COLORREF>> expected) {
    std::wstring first;
    const bool ok = WaitUntil(
        [&] {
          CallerWindow::Pump(10ms);
          for (const auto& [p, colour] : expected)
            if (at(p.x, p.y) != colour) {
              first = std::to_wstring(p.x) + L"," + std::to_wstring(p.y);
              return false;
            }
          return true;
        },
        3s);
    if (!ok) ADD_FAILURE() << "differs at " << std::string(first.begin(), first.end());
    return ok;
  };

  MoveMouse(600, 400);
  shows({{{602, 50}, Orange}, {{50, 402}, Orange}, {{604, 404}, Orange}, {{605, 50}, Shade}, {{50, 405}, Shade},
         {{599, 50}, Shade}, {{100, 100}, Shade}});
  MoveMouse(650, 430);  // both bars move: no trace where they were
  shows({{{652, 50}, Orange}, {{50, 432}, Orange}, {{602, 50}, Shade}, {{50, 402}, Shade}, {{602, 402}, Shade}});

  // Dragging from the bottom-right to the top-left: the bars run along the selection's top
  // and left edges, inside it, where they give way to the desktop; outside they go on.
  MoveMouse(700, 500);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  CallerWindow::Pump(30ms);
  MoveMouse(500, 300);
  MoveMouse(400, 250);
  shows({{{450, 400}, PatternAt(450, 400)}, {{402, 400}, PatternAt(402, 400)}, {{450, 252}, PatternAt(450, 252)},
         {{402, 200}, Orange}, {{100, 252}, Orange}, {{402, 520}, Orange}, {{750, 252}, Orange}, {{402, 248}, Orange},
         {{700, 400}, Shade}, {{399, 400}, Shade}});
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_NE(WaitForPanel(overlay), nullptr);
  // Selected: the crosshairs stay where they were released.
  MoveMouse(200, 600);
  CallerWindow::Pump(100ms);
  shows({{{402, 200}, Orange}, {{202, 100}, Shade}, {{450, 400}, PatternAt(450, 400)}});
  ::SetForegroundWindow(overlay);
  KeyChord({VK_ESCAPE});
  EXPECT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(app_->CloseAndWait());
}

TEST_F(Capture, TheCaptureOpensInTheEditorMaximisedAtItsOwnPixels) {
  HWND overlay = StartOverlay();
  ASSERT_NE(overlay, nullptr);
  ASSERT_TRUE(SelectAndCapture(overlay));
  HWND main = app_->WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(::IsZoomed(main));
  HWND picture = ChildOfClass(ChildOfClass(main, L"MirelLumo.pic_mainview"), L"MirelLumo.Picture1");
  ASSERT_NE(picture, nullptr);
  auto size = [&] {
    RECT r;
    ::GetWindowRect(picture, &r);
    return std::make_pair(r.right - r.left, r.bottom - r.top);
  };
  EXPECT_TRUE(WaitUntil([&] { return size() == std::make_pair(200L, 130L); }, 5s));
  // The test display's window manager does not maximise: the window is put where the
  // program and the screen agree, then the shown picture is read off the screen.
  ::ShowWindow(main, SW_RESTORE);
  ::SetWindowPos(main, HWND_TOP, 40, 40, 1000, 760, 0);
  ASSERT_TRUE(WaitUntil([&] { RECT r; ::GetWindowRect(main, &r); return r.left == 40 && r.top == 40; }, 5s));
  RECT shown;
  int wrong = 0;
  const bool same = WaitUntil(
      [&] {
        CallerWindow::Pump(50ms);
        ::GetWindowRect(picture, &shown);
        const auto pixels = ScreenPixels(shown);
        wrong = 0;
        for (int y = 0; y < 130; ++y)
          for (int x = 0; x < 200; ++x)
            wrong += pixels.size() != 200u * 130u || pixels[static_cast<size_t>(y) * 200 + x] != PatternAt(260 + x, 200 + y);
        return wrong == 0;
      },
      5s);
  EXPECT_TRUE(same) << wrong << " pixels differ";
  EXPECT_TRUE(app_->CloseAndWait());
}

// At 144 dots per inch the overlay covers the screen in physical pixels and the file holds
// exactly the selected physical pixels. Runs in the pass of scripts/test whose Wine has that
// density.
class CaptureDensity : public Capture {};

TEST_F(CaptureDensity, TheFileHoldsTheSelectedPhysicalPixels) {
  if (Env(L"LUMO_DPI") != L"144") GTEST_SKIP() << "runs where Wine is set to 144 dpi (LUMO_DPI=144)";
  HWND overlay = StartOverlay();
  ASSERT_NE(overlay, nullptr);
  ASSERT_EQ(::GetDpiForWindow(overlay), 144u);
  ASSERT_TRUE(SelectAndCapture(overlay));
  ASSERT_TRUE(CallerWindow::Pump(10s, true)) << "no WM_COPYDATA";
  EXPECT_EQ(WrongPixels(CallerWindow::Received(), RECT{260, 200, 460, 330}), 0) << "pixels that are not the caller's";
}

// A 1024 x 768 monitor left of a 1280 x 1024 primary, reaching 200 pixels above it: the
// overlay covers both, and a selection holds exactly the selected pixels, across the border
// and at negative coordinates. Runs in the pass of scripts/test whose display has that
// layout.
class TwoMonitors : public Capture {
 protected:
  void SetUp() override {
    if (Env(L"LUMO_MONITORS") != L"2") GTEST_SKIP() << "runs on the two-monitor display (LUMO_MONITORS=2)";
    Capture::SetUp();
  }
};

TEST_F(TwoMonitors, ASelectionAcrossTheBorderHoldsThePixelsOfBothMonitors) {
  ASSERT_EQ(::GetSystemMetrics(SM_CMONITORS), 2);
  ASSERT_EQ(::GetSystemMetrics(SM_XVIRTUALSCREEN), -1024);
  caller_.MoveTo(PatternAreaAcross);
  HWND overlay = StartOverlay();
  ASSERT_NE(overlay, nullptr);
  RECT covered;
  ::GetWindowRect(overlay, &covered);
  EXPECT_EQ(covered.left, -1024);
  EXPECT_EQ(covered.top, -200);
  EXPECT_EQ(covered.right, 1280);
  EXPECT_EQ(covered.bottom, 1024);
  // The shade and the crosshairs on both monitors (no compositor: in their own colours).
  MoveMouse(-600, 100);
  const bool shown = WaitUntil(
      [] {
        CallerWindow::Pump(10ms);
        const auto px = [](int x, int y) { return ScreenPixels(RECT{x, y, x + 1, y + 1}); };
        const std::vector<COLORREF> orange{RGB(255, 128, 0)}, shade{RGB(64, 64, 64)};
        return px(-598, 50) == orange && px(-1000, 102) == orange && px(1200, 102) == orange &&
               px(-900, 50) == shade && px(1200, 50) == shade;
      },
      5s);
  EXPECT_TRUE(shown);

  Drag({-350, 200}, {250, 330});
  HWND panel = WaitForPanel(overlay);
  ASSERT_NE(panel, nullptr);
  RECT pr;
  ::GetWindowRect(panel, &pr);
  EXPECT_EQ(pr.right, 250);
  EXPECT_EQ(pr.top, 330);
  Click(::GetDlgItem(panel, frmCaptureIds::ScreenPrint));
  ASSERT_TRUE(CallerWindow::Pump(10s, true)) << "no WM_COPYDATA";
  EXPECT_EQ(WrongPixels(CallerWindow::Received(), RECT{-350, 200, 250, 330}), 0) << "pixels that are not the caller's";
  ASSERT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(app_->CloseAndWait());
}

TEST_F(TwoMonitors, ASelectionAtNegativeCoordinatesUpToTheDesktopTop) {
  caller_.MoveTo(PatternAreaAcross);
  HWND overlay = StartOverlay();
  ASSERT_NE(overlay, nullptr);
  Drag({-100, 100}, {-380, -190});  // bottom-right to top-left, all on the left monitor
  HWND panel = WaitForPanel(overlay);
  ASSERT_NE(panel, nullptr);
  RECT pr;
  ::GetWindowRect(panel, &pr);
  EXPECT_EQ(pr.left, -380);
  EXPECT_EQ(pr.top, -190);  // above the corner it would leave the desktop: below the bar instead
  Click(::GetDlgItem(panel, frmCaptureIds::ScreenPrint));
  ASSERT_TRUE(CallerWindow::Pump(10s, true)) << "no WM_COPYDATA";
  EXPECT_EQ(WrongPixels(CallerWindow::Received(), RECT{-380, -190, -100, 100}), 0);
  ASSERT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(app_->CloseAndWait());
}

TEST_F(Capture, NumbersFollowTheHighestFileOfAnyExtension) {
  WriteBytes(images_ + L"image1.bmp", "x");
  WriteBytes(images_ + L"image9.jpg", "x");
  WriteBytes(images_ + L"Image30.bmp", "x");  // another case: not counted
  HWND overlay = StartOverlay();
  ASSERT_NE(overlay, nullptr);
  Program& app = *app_;
  Drag({500, 420}, {300, 250});  // bottom-right to top-left
  HWND panel = WaitForPanel(overlay);
  ASSERT_NE(panel, nullptr);
  RECT pr;
  ::GetWindowRect(panel, &pr);
  EXPECT_EQ(pr.left, 300);  // released at the top-left corner: the panel stands above it
  EXPECT_EQ(pr.bottom, 250);
  Click(::GetDlgItem(panel, frmCaptureIds::ScreenPrint));
  ASSERT_TRUE(CallerWindow::Pump(10s, true));
  EXPECT_EQ(fs::path(CallerWindow::Received()).filename().wstring(), L"image10.bmp");
  // Released at the top-left corner, the crosshair bars ran through the selection.
  EXPECT_EQ(WrongPixels(images_ + L"image10.bmp", RECT{300, 250, 500, 420}), 0);
  EXPECT_TRUE(app.CloseAndWait());
}

// Released near the desktop's bottom, the panel moves up over the selection; what lies
// beneath the place it leaves is what the file holds there.
TEST_F(Capture, APanelThatStoodOverTheSelectionIsNotInThePicture) {
  caller_.MoveTo(RECT{200, 850, 800, 1080});
  HWND overlay = StartOverlay();
  ASSERT_NE(overlay, nullptr);
  Drag({300, 900}, {500, 1065});
  HWND panel = WaitForPanel(overlay);
  ASSERT_NE(panel, nullptr);
  RECT pr;
  ::GetWindowRect(panel, &pr);
  EXPECT_EQ(pr.bottom, 1065);  // inside the selection, above the bar
  Click(::GetDlgItem(panel, frmCaptureIds::ScreenPrint));
  ASSERT_TRUE(CallerWindow::Pump(10s, true)) << "no WM_COPYDATA";
  EXPECT_EQ(WrongPixels(CallerWindow::Received(), RECT{300, 900, 500, 1065}), 0);
  ASSERT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(app_->CloseAndWait());
}

// An Escape and a close of the program that come while the capture is under way wait for
// it: the file is written and handed on, then the program ends.
TEST_F(Capture, AnEscapeAndACloseDuringTheCaptureWaitForIt) {
  caller_.MoveTo(RECT{200, 850, 800, 1080});
  HWND overlay = StartOverlay();
  ASSERT_NE(overlay, nullptr);
  HWND main = ::FindWindowW(L"MirelLumo.frmMain", nullptr);  // hidden while the overlay is up
  DWORD pid = 0;
  ::GetWindowThreadProcessId(main, &pid);
  ASSERT_EQ(pid, app_->Pid());
  Drag({300, 900}, {500, 1065});  // the panel stands over the selection
  HWND panel = WaitForPanel(overlay);
  ASSERT_NE(panel, nullptr);
  // Clicked without letting this thread's pattern window repaint: the program then waits
  // for the place of the panel with its overlay hidden, and gets both messages meanwhile.
  RECT button;
  ::GetWindowRect(::GetDlgItem(panel, frmCaptureIds::ScreenPrint), &button);
  ::SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
  INPUT click[2] = {{INPUT_MOUSE}, {INPUT_MOUSE}};
  click[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  click[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  ::SendInput(2, click, sizeof(INPUT));
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(overlay); }, 5s));
  ::PostMessageW(overlay, WM_KEYUP, VK_ESCAPE, 0);
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  ASSERT_TRUE(CallerWindow::Pump(10s, true)) << "no WM_COPYDATA";
  EXPECT_EQ(WrongPixels(CallerWindow::Received(), RECT{300, 900, 500, 1065}), 0);
  EXPECT_TRUE(app_->WaitForExit(10s));
  DWORD code = 1;
  ::GetExitCodeProcess(app_->Process(), &code);
  EXPECT_EQ(code, 0u);
}

TEST_F(Capture, NarrowReleaseKeepsSelectingAndEscapeWritesNothing) {
  HWND overlay = StartOverlay();
  ASSERT_NE(overlay, nullptr);
  Program& app = *app_;
  HWND panel = WaitForPanel(overlay, false);
  ASSERT_NE(panel, nullptr);
  Drag({300, 300}, {309, 360});  // 9 pixels wide
  CallerWindow::Pump(150ms);
  EXPECT_FALSE(::IsWindowVisible(panel));
  MoveMouse(340, 360);  // still selecting from the first press
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  CallerWindow::Pump(30ms);
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_NE(WaitForPanel(overlay), nullptr);
  RECT pr;
  ::GetWindowRect(panel, &pr);
  EXPECT_EQ(pr.right, 340);

  ::SetForegroundWindow(overlay);
  KeyChord({VK_ESCAPE});
  EXPECT_NE(app.WaitForMainWindow(), nullptr);
  EXPECT_FALSE(::IsWindowVisible(overlay));
  CallerWindow::Pump(200ms);
  EXPECT_EQ(CallerWindow::CopyCount(), 0);
  EXPECT_TRUE(Files().empty());
  EXPECT_TRUE(app.CloseAndWait());
}

TEST_F(Capture, AFolderRemovedMeanwhileGivesAMessageAndNoCallBack) {
  HWND overlay = StartOverlay();
  ASSERT_NE(overlay, nullptr);
  Program& app = *app_;
  fs::remove_all(fs::path(base_));
  ASSERT_TRUE(SelectAndCapture(overlay));
  HWND box = app.WaitForMessageBox(L"Mirel Lumo", 10s);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box).rfind(L"The screenshot could not be saved", 0), 0u) << "message";
  PressOk(box);
  EXPECT_NE(app.WaitForMainWindow(), nullptr);
  CallerWindow::Pump(200ms);
  EXPECT_EQ(CallerWindow::CopyCount(), 0);
  EXPECT_FALSE(fs::exists(fs::path(images_)));
  EXPECT_TRUE(app.CloseAndWait());
}

TEST_F(Capture, AHungCallerDoesNotFreezeTheProgram) {
  // The caller's window lives on a thread that stops answering messages.
  HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
  HWND hung = nullptr;
  std::thread caller([&] {
    hung = ::CreateWindowExW(0, L"STATIC", L"hung", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ::WaitForSingleObject(release, 60000);  // no message loop meanwhile
    ::DestroyWindow(hung);
  });
  ASSERT_TRUE(WaitUntil([&] { return hung != nullptr; }, 5s));
  HWND overlay = StartOverlay(hung);
  ASSERT_NE(overlay, nullptr);
  ASSERT_TRUE(SelectAndCapture(overlay));
  const auto start = std::chrono::steady_clock::now();
  EXPECT_NE(app_->WaitForMainWindow(15s), nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 12s);  // the send gives up after 5 s
  EXPECT_TRUE(FileExists(images_ + L"image1.bmp"));
  ::SetEvent(release);
  caller.join();
  ::CloseHandle(release);
  EXPECT_TRUE(app_->CloseAndWait());
}

TEST_F(Capture, ACallerThatIsGoneIsSkipped) {
  HWND gone = ::CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ::DestroyWindow(gone);
  HWND overlay = StartOverlay(gone);
  ASSERT_NE(overlay, nullptr);
  ASSERT_TRUE(SelectAndCapture(overlay));
  EXPECT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(FileExists(images_ + L"image1.bmp"));
  EXPECT_EQ(CallerWindow::CopyCount(), 0);
  EXPECT_TRUE(app_->CloseAndWait());
}

TEST_F(Capture, AKillWhileSavingNeverLeavesAPartialNumberedFile) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> delay(0, 60);
  for (int round = 0; round < 5; ++round) {
    HWND overlay = StartOverlay();
    ASSERT_NE(overlay, nullptr);
    ASSERT_TRUE(SelectAndCapture(overlay));
    app_->WaitForExit(Duration(delay(random)));
    app_.reset();  // killed wherever the save was
    for (const auto& name : Files()) {
      int32_t number = 0;
      if (!modScreenshot::FileNumber(name, L"image", number)) continue;  // the numbering ignores it
      const std::string bytes = ReadBytes(images_ + name);
      ASSERT_GE(bytes.size(), 14u) << "round " << round;
      EXPECT_EQ(*reinterpret_cast<const uint32_t*>(bytes.data() + 2), bytes.size()) << "round " << round;
    }
  }
}
