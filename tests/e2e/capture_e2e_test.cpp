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
#include "editor/frmMain_ids.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

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

COLORREF PatternAt(int x, int y) {  // screen coordinates; never the overlay's key yellow
  return RGB(x & 0xFF, y & 0xFF, 7 + ((x >> 8) & 3) * 40 + ((y >> 8) & 3) * 10);
}

// The pattern over a rectangle of the screen, rows top to bottom.
std::vector<COLORREF> PatternIn(const RECT& area) {
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
  return img.width == w && img.height == h ? Differences(img.pixels, PatternIn(area)) : w * h;
}

class Capture : public ::testing::Test {
 protected:
  void TearDown() override {
    app_.reset();  // ends the program before its folder goes
    DeleteRunEntry();
  }
  std::wstring Args(HWND callBack) const {
    return L"screencapture cb=" + std::to_wstring(reinterpret_cast<intptr_t>(callBack)) + L" saveimgsloc=" + folder_.Location();
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
          CallerWindow::Pump(10ms);
          panel = Descendant(overlay_, L"MirelLumo.picButtons");
          return panel && (!shown || ::IsWindowVisible(panel));
        },
        timeout);
    return found ? panel : nullptr;
  }
  // Starts the program for the caller window and waits for its overlay.
  HWND StartOverlay(HWND callBack = nullptr) {
    app_.emplace(Args(callBack ? callBack : caller_.Handle()));
    overlay_ = app_->WaitForWindow(L"MirelLumo.frmCapture", nullptr, 20s);
    CallerWindow::Pump(200ms);  // let it paint before the mouse arrives
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
    if (CallerWindow::Pump(10s, true)) return WrongPixels(CallerWindow::Received(), selection);
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
          CallerWindow::Pump(10ms);
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
  TempFolder folder_{L"lumo-e2e", L"c:\\", L"Mirel Lumo\\images"};
  const std::wstring images_ = folder_.Images();
  CallerWindow caller_;
  std::optional<Program> app_;
  HWND overlay_ = nullptr;
};

}  // namespace

TEST_F(Capture, DragAndCaptureSavesExactlyTheSelectedPixelsAndTellsTheCaller) {
  ASSERT_NE(StartOverlay(), nullptr);
  EXPECT_EQ(app_->WaitForMainWindow(0ms), nullptr);  // hidden while the overlay is up

  const auto panel = Select({260, 200}, {460, 330});
  ASSERT_NE(panel.hwnd, nullptr);
  EXPECT_EQ(panel.place.right, 460);  // released at the bottom-right corner: the panel's right edge there
  EXPECT_EQ(panel.place.top, 330);

  EXPECT_EQ(CaptureAndCompare(panel.hwnd, RECT{260, 200, 460, 330}), 0) << "pixels that are not the caller's";
  EXPECT_EQ(CallerWindow::CopyCount(), 1);
  EXPECT_EQ(CallerWindow::LastWParam(), 100u);
  EXPECT_TRUE(Received(L"image1.bmp")) << CallerWindow::Received();

  EXPECT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_FALSE(::IsWindowVisible(overlay_));
  EXPECT_TRUE(app_->CloseAndWait());
}

// What the overlay shows: the shade, the bars through the mouse and nothing where they were,
// and while selecting the desktop through the selection, where the bars stop.
TEST_F(Capture, TheOverlayShowsTheCrosshairsAndTheSelectionAsIs) {
  ASSERT_NE(StartOverlay(), nullptr);

  MoveMouse(600, 400);
  EXPECT_TRUE(Shows({{{602, 50}, Orange}, {{50, 402}, Orange}, {{604, 404}, Orange}, {{605, 50}, Shade},
                     {{50, 405}, Shade}, {{599, 50}, Shade}, {{100, 100}, Shade}}));
  MoveMouse(650, 430);  // both bars move: no trace where they were
  EXPECT_TRUE(Shows({{{652, 50}, Orange}, {{50, 432}, Orange}, {{602, 50}, Shade}, {{50, 402}, Shade}, {{602, 402}, Shade}}));

  // Dragging from the bottom-right to the top-left: the bars run along the selection's top
  // and left edges, inside it, where they give way to the desktop; outside they go on.
  MoveMouse(700, 500);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  CallerWindow::Pump(30ms);
  MoveMouse(500, 300);
  MoveMouse(400, 250);
  EXPECT_TRUE(Shows({{{450, 400}, PatternAt(450, 400)}, {{402, 400}, PatternAt(402, 400)},
                     {{450, 252}, PatternAt(450, 252)}, {{402, 200}, Orange}, {{100, 252}, Orange}, {{402, 520}, Orange},
                     {{750, 252}, Orange}, {{402, 248}, Orange}, {{700, 400}, Shade}, {{399, 400}, Shade}}));
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_NE(WaitForPanel(), nullptr);
  // Selected: the crosshairs stay where they were released.
  MoveMouse(200, 600);
  CallerWindow::Pump(100ms);
  EXPECT_TRUE(Shows({{{402, 200}, Orange}, {{202, 100}, Shade}, {{450, 400}, PatternAt(450, 400)}}));
  ::SetForegroundWindow(overlay_);
  KeyChord({VK_ESCAPE});
  EXPECT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(app_->CloseAndWait());
}

TEST_F(Capture, TheCaptureOpensInTheEditorMaximisedAtItsOwnPixels) {
  ASSERT_NE(StartOverlay(), nullptr);
  ASSERT_TRUE(SelectAndCapture());
  HWND main = app_->WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(::IsZoomed(main));
  HWND picture = Descendant(main, L"MirelLumo.Picture1");
  ASSERT_NE(picture, nullptr);
  auto size = [&] {
    const RECT r = ScreenRect(picture);
    return std::make_pair(r.right - r.left, r.bottom - r.top);
  };
  EXPECT_TRUE(WaitUntil([&] { return size() == std::make_pair(200L, 130L); }, 5s));
  // The test display's window manager does not maximise: the window is put where the
  // program and the screen agree, then the shown picture is read off the screen.
  ::ShowWindow(main, SW_RESTORE);
  ::SetWindowPos(main, HWND_TOP, 40, 40, 1000, 760, 0);
  ASSERT_TRUE(WaitUntil([&] { const RECT r = ScreenRect(main); return r.left == 40 && r.top == 40; }, 5s));
  const auto expected = PatternIn(RECT{260, 200, 460, 330});
  int wrong = 0;
  const bool same = WaitUntil(
      [&] {
        CallerWindow::Pump(50ms);
        return (wrong = Differences(ScreenPixels(ScreenRect(picture)), expected)) == 0;
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
  ASSERT_NE(StartOverlay(), nullptr);
  ASSERT_EQ(::GetDpiForWindow(overlay_), 144u);
  ASSERT_TRUE(SelectAndCapture());
  EXPECT_EQ(WrongPixelsReceived(RECT{260, 200, 460, 330}), 0) << "pixels that are not the caller's";
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
  ASSERT_NE(StartOverlay(), nullptr);
  const RECT covered = ScreenRect(overlay_);
  EXPECT_EQ(covered.left, -1024);
  EXPECT_EQ(covered.top, -200);
  EXPECT_EQ(covered.right, 1280);
  EXPECT_EQ(covered.bottom, 1024);
  // The shade and the crosshairs on both monitors.
  MoveMouse(-600, 100);
  EXPECT_TRUE(Shows({{{-598, 50}, Orange}, {{-1000, 102}, Orange}, {{1200, 102}, Orange}, {{-900, 50}, Shade},
                     {{1200, 50}, Shade}}, 5s));

  // Released near the bottom of the left monitor, which is shorter: the panel goes above the
  // release, where that monitor is, though the desktop goes on below.
  const auto low = Select({-300, 400}, {-100, 560});
  ASSERT_NE(low.hwnd, nullptr);
  EXPECT_EQ(low.place.bottom, 560);
  EXPECT_EQ(low.place.right, -100);
  const auto panel = Select({-350, 200}, {250, 330});  // a new selection
  ASSERT_NE(panel.hwnd, nullptr);
  EXPECT_EQ(panel.place.right, 250);
  EXPECT_EQ(panel.place.top, 330);
  EXPECT_EQ(CaptureAndCompare(panel.hwnd, RECT{-350, 200, 250, 330}), 0) << "pixels that are not the caller's";
  ASSERT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(app_->CloseAndWait());
}

TEST_F(TwoMonitors, ASelectionAtNegativeCoordinatesUpToTheDesktopTop) {
  caller_.MoveTo(PatternAreaAcross);
  ASSERT_NE(StartOverlay(), nullptr);
  const auto panel = Select({-100, 100}, {-380, -190});  // bottom-right to top-left, all on the left monitor
  ASSERT_NE(panel.hwnd, nullptr);
  EXPECT_EQ(panel.place.left, -380);
  EXPECT_EQ(panel.place.top, -190);  // above the corner it would leave the desktop: below the bar instead
  EXPECT_EQ(CaptureAndCompare(panel.hwnd, RECT{-380, -190, -100, 100}), 0);
  ASSERT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(app_->CloseAndWait());
}

TEST_F(Capture, NumbersFollowTheHighestFileOfAnyExtension) {
  WriteBytes(images_ + L"image1.bmp", "x");
  WriteBytes(images_ + L"image9.jpg", "x");
  WriteBytes(images_ + L"Image30.bmp", "x");  // another case: not counted
  ASSERT_NE(StartOverlay(), nullptr);
  const auto panel = Select({500, 420}, {300, 250});  // bottom-right to top-left
  ASSERT_NE(panel.hwnd, nullptr);
  EXPECT_EQ(panel.place.left, 300);  // released at the top-left corner: the panel stands above it
  EXPECT_EQ(panel.place.bottom, 250);
  // Released at the top-left corner, the crosshair bars ran through the selection.
  EXPECT_EQ(CaptureAndCompare(panel.hwnd, RECT{300, 250, 500, 420}), 0);
  EXPECT_TRUE(Received(L"image10.bmp")) << CallerWindow::Received();
  EXPECT_TRUE(app_->CloseAndWait());
}

// Released near the desktop's bottom, the panel moves up over the selection; what lies
// beneath the place it leaves is what the file holds there.
TEST_F(Capture, APanelThatStoodOverTheSelectionIsNotInThePicture) {
  caller_.MoveTo(RECT{200, 850, 800, 1080});
  ASSERT_NE(StartOverlay(), nullptr);
  const auto panel = Select({300, 900}, {500, 1065});
  ASSERT_NE(panel.hwnd, nullptr);
  EXPECT_EQ(panel.place.bottom, 1065);  // inside the selection, above the bar
  EXPECT_EQ(CaptureAndCompare(panel.hwnd, RECT{300, 900, 500, 1065}), 0);
  ASSERT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(app_->CloseAndWait());
}

// An Escape and a close of the program that come while the capture is under way wait for
// it: the file is written and handed on, then the program ends.
TEST_F(Capture, AnEscapeAndACloseDuringTheCaptureWaitForIt) {
  caller_.MoveTo(RECT{200, 850, 800, 1080});
  ASSERT_NE(StartOverlay(), nullptr);
  HWND main = ::FindWindowW(L"MirelLumo.frmMain", nullptr);  // hidden while the overlay is up
  DWORD pid = 0;
  ::GetWindowThreadProcessId(main, &pid);
  ASSERT_EQ(pid, app_->Pid());
  HWND panel = Select({300, 900}, {500, 1065}).hwnd;  // the panel stands over the selection
  ASSERT_NE(panel, nullptr);
  // Clicked without letting this thread's pattern window repaint: the program then waits
  // for the place of the panel with its overlay hidden, and gets both messages meanwhile.
  const RECT button = ScreenRect(::GetDlgItem(panel, frmCaptureIds::ScreenPrint));
  ::SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(overlay_); }, 5s));
  ::PostMessageW(overlay_, WM_KEYUP, VK_ESCAPE, 0);
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(WrongPixelsReceived(RECT{300, 900, 500, 1065}), 0);
  EXPECT_TRUE(app_->WaitForExit(10s));
  DWORD code = 1;
  ::GetExitCodeProcess(app_->Process(), &code);
  EXPECT_EQ(code, 0u);
}

// The main window's own capture button, twice in one run: each capture its own file.
TEST_F(Capture, TheMainWindowsCaptureButtonTwiceInOneRun) {
  app_.emplace(L"saveimgsloc=" + folder_.Location());
  const HWND main = app_->WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  for (const wchar_t* name : {L"image1.bmp", L"image2.bmp"}) {
    HWND button = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (button = Descendant(main, nullptr, frmMainIds::cmdCapture0)) != nullptr; }, 10s));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 10s));
    CallerWindow::Pump(300ms);
    Click(button);
    overlay_ = app_->WaitForWindow(L"MirelLumo.frmCapture", nullptr, 10s);
    ASSERT_NE(overlay_, nullptr) << name;
    CallerWindow::Pump(200ms);  // let it paint before the mouse arrives
    ASSERT_TRUE(SelectAndCapture()) << name;
    ASSERT_TRUE(WaitUntil([&] { return FileExists(images_ + name) && ::IsWindowVisible(main); }, 10s)) << name;
    EXPECT_EQ(WrongPixels(images_ + name, RECT{260, 200, 460, 330}), 0) << name;
  }
}

// Without "saveimgsloc" the captures go to AppData\Mirel Lumo\images\. Where that folder
// cannot be made, a capture saves nothing and hands on no path.
TEST_F(Capture, TheDefaultImagesFolderOrNoneAtAll) {
  const std::wstring images = AppDataFolder() + L"\\Mirel Lumo\\images";
  const std::wstring cb = L"screencapture cb=" + std::to_wstring(reinterpret_cast<intptr_t>(caller_.Handle()));
  app_.emplace(cb);
  overlay_ = app_->WaitForWindow(L"MirelLumo.frmCapture", nullptr, 20s);
  ASSERT_NE(overlay_, nullptr);
  CallerWindow::Pump(200ms);
  ASSERT_TRUE(SelectAndCapture());
  const int wrong = WrongPixelsReceived(RECT{260, 200, 460, 330});
  const std::wstring received = CallerWindow::Received();
  EXPECT_EQ(wrong, 0);
  EXPECT_EQ(_wcsnicmp(received.c_str(), (images + L"\\image").c_str(), images.size() + 6), 0) << received;
  EXPECT_TRUE(app_->CloseAndWait());
  app_.reset();
  ::DeleteFileW(received.c_str());

  // A file where the folder would be: no images folder.
  std::error_code ignored;
  fs::remove(fs::path(images), ignored);  // empty now, or not there
  ASSERT_FALSE(fs::exists(fs::path(images)));
  WriteBytes(images, "not a folder");
  struct Restore {
    std::wstring file;
    ~Restore() { ::DeleteFileW(file.c_str()); }
  } restore{images};
  const int copies = CallerWindow::CopyCount();
  app_.emplace(cb);
  overlay_ = app_->WaitForWindow(L"MirelLumo.frmCapture", nullptr, 20s);
  ASSERT_NE(overlay_, nullptr);
  CallerWindow::Pump(200ms);
  ASSERT_TRUE(SelectAndCapture());
  const std::wstring message = app_->DismissMessageBox(L"Mirel Lumo", 10s);
  EXPECT_EQ(message.rfind(L"The screenshot could not be saved: there is no images folder.", 0), 0u) << message;
  CallerWindow::Pump(200ms);
  EXPECT_EQ(CallerWindow::CopyCount(), copies);
  EXPECT_FALSE(FileExists(L"image1.bmp"));  // not where the program was started either
  EXPECT_TRUE(app_->CloseAndWait());
}

TEST_F(Capture, NarrowReleaseKeepsSelectingAndEscapeWritesNothing) {
  ASSERT_NE(StartOverlay(), nullptr);
  HWND panel = WaitForPanel(false);
  ASSERT_NE(panel, nullptr);
  Drag({300, 300}, {309, 360});  // 9 pixels wide
  CallerWindow::Pump(150ms);
  EXPECT_FALSE(::IsWindowVisible(panel));
  MoveMouse(340, 360);  // still selecting from the first press
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  CallerWindow::Pump(30ms);
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_NE(WaitForPanel(), nullptr);
  EXPECT_EQ(ScreenRect(panel).right, 340);

  // A press on the capture button slid off it: no capture, and the button keeps the
  // keyboard focus, where Escape still leaves.
  const RECT button = ScreenRect(::GetDlgItem(panel, frmCaptureIds::ScreenPrint));
  MoveMouse((button.left + button.right) / 2, (button.top + button.bottom) / 2);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  CallerWindow::Pump(30ms);
  MoveMouse(button.left - 40, button.bottom + 40);
  MouseButton(MOUSEEVENTF_LEFTUP);
  CallerWindow::Pump(100ms);
  KeyChord({VK_ESCAPE});
  EXPECT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_FALSE(::IsWindowVisible(overlay_));
  CallerWindow::Pump(200ms);
  EXPECT_EQ(CallerWindow::CopyCount(), 0);
  EXPECT_TRUE(Files().empty());
  EXPECT_TRUE(app_->CloseAndWait());
}

TEST_F(Capture, AFolderRemovedMeanwhileGivesAMessageAndNoCallBack) {
  ASSERT_NE(StartOverlay(), nullptr);
  fs::remove_all(fs::path(folder_.Path()));
  ASSERT_TRUE(SelectAndCapture());
  const std::wstring message = app_->DismissMessageBox(L"Mirel Lumo", 10s);
  EXPECT_EQ(message.rfind(L"The screenshot could not be saved", 0), 0u) << message;
  EXPECT_NE(app_->WaitForMainWindow(), nullptr);
  CallerWindow::Pump(200ms);
  EXPECT_EQ(CallerWindow::CopyCount(), 0);
  EXPECT_FALSE(fs::exists(fs::path(images_)));
  EXPECT_TRUE(app_->CloseAndWait());
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
  ASSERT_NE(StartOverlay(hung), nullptr);
  ASSERT_TRUE(SelectAndCapture());
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
  ASSERT_NE(StartOverlay(gone), nullptr);
  ASSERT_TRUE(SelectAndCapture());
  EXPECT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(FileExists(images_ + L"image1.bmp"));
  EXPECT_EQ(CallerWindow::CopyCount(), 0);
  EXPECT_TRUE(app_->CloseAndWait());
}

TEST_F(Capture, AKillWhileSavingNeverLeavesAPartialNumberedFile) {
  std::mt19937 random(7);
  std::uniform_int_distribution<int> delay(0, 60);
  for (int round = 0; round < 5; ++round) {
    ASSERT_NE(StartOverlay(), nullptr);
    ASSERT_TRUE(SelectAndCapture());
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
