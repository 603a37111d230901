// The capture road of the real program: another program starts "screencapture cb=<its
// window>", a person drags a selection over that window's known pattern and clicks the
// capture button; the file holds exactly those pixels and the caller receives its path.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <random>
#include <atomic>
#include <thread>

#include "capture/capture_files.h"
#include "e2e/capture_fixture.h"
#include "editor/frmMain_ids.h"

using namespace capturetest;


// Dragged from the bottom-right to the top-left, the crosshair bars run through the
// selection: the file holds none of them. Its number follows the highest file of the prefix
// in any extension (CaptureNumbering.*).
TEST_F(Capture, DragAndCaptureSavesExactlyTheSelectedPixelsAndTellsTheCaller) {
  WriteBytes(images_ + L"image1.bmp", "x");
  WriteBytes(images_ + L"image9.jpg", "x");
  ASSERT_NE(StartOverlay(), nullptr);
  EXPECT_EQ(app_->WaitForMainWindow(0ms), nullptr);  // hidden while the overlay is up

  const auto panel = Select({460, 330}, {260, 200});
  ASSERT_NE(panel.hwnd, nullptr);
  EXPECT_EQ(panel.place.left, 260);  // released at the top-left corner: the panel stands above it
  EXPECT_EQ(panel.place.bottom, 200);

  EXPECT_EQ(CaptureAndCompare(panel.hwnd, RECT{260, 200, 460, 330}), 0) << "pixels that are not the caller's";
  EXPECT_EQ(CallerWindow::CopyCount(), 1);
  EXPECT_EQ(CallerWindow::LastWParam(), 100u);
  EXPECT_TRUE(Received(L"image10.bmp")) << CallerWindow::Received();

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
  PumpFor(30ms);
  MoveMouse(500, 300);
  MoveMouse(400, 250);
  EXPECT_TRUE(Shows({{{450, 400}, PatternAt(450, 400)}, {{402, 400}, PatternAt(402, 400)},
                     {{450, 252}, PatternAt(450, 252)}, {{402, 200}, Orange}, {{100, 252}, Orange}, {{402, 520}, Orange},
                     {{750, 252}, Orange}, {{402, 248}, Orange}, {{700, 400}, Shade}, {{399, 400}, Shade}}));
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_NE(WaitForPanel(), nullptr);
  // Selected: the crosshairs stay where they were released.
  MoveMouse(200, 600);
  PumpFor(100ms);
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
        PumpFor(50ms);
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
  MoveMouse(300, 250);  // the loupe in physical pixels too, and 1.5 times as large
  EXPECT_TRUE(LoupeShows({300, 250}));
  EXPECT_EQ(ScreenRect(Loupe()).right - ScreenRect(Loupe()).left, 180);
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
  MoveMouse(-300, 100);  // the readout at negative coordinates
  EXPECT_TRUE(LoupeShows({-300, 100}));

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

// Released near the desktop's bottom, the panel moves up over the selection; what lies
// beneath the place it leaves is what the file holds there. An Escape and a close of the
// program that come while the capture is under way wait for it: the file is written and
// handed on, then the program ends.
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
    PumpFor(300ms);
    Click(button);
    ASSERT_NE(WaitForOverlay(), nullptr) << name;
    ASSERT_TRUE(SelectAndCapture()) << name;
    ASSERT_TRUE(WaitUntil([&] { return FileExists(images_ + name) && ::IsWindowVisible(main); }, 10s)) << name;
    EXPECT_EQ(WrongPixels(images_ + name, RECT{260, 200, 460, 330}), 0) << name;
  }
}

// Without "saveimgsloc" the captures go to AppData\Mirel Lumo\images\. Where that folder
// cannot be made, a capture saves nothing and hands on no path.
TEST_F(Capture, TheDefaultImagesFolderOrNoneAtAll) {
  const std::wstring images = AppDataFolder() + L"\\Mirel Lumo\\images";
  ASSERT_NE(StartOverlay(nullptr, false), nullptr);
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
  fs::remove_all(fs::path(images), ignored);  // this prefix's own folder, whatever an earlier run left
  ASSERT_FALSE(fs::exists(fs::path(images)));
  WriteBytes(images, "not a folder");
  struct Restore {
    std::wstring file;
    ~Restore() { ::DeleteFileW(file.c_str()); }
  } restore{images};
  const int copies = CallerWindow::CopyCount();
  ASSERT_NE(StartOverlay(nullptr, false), nullptr);
  ASSERT_TRUE(SelectAndCapture());
  const std::wstring message = app_->DismissMessageBox(L"Mirel Lumo", 10s);
  EXPECT_EQ(message.rfind(L"The screenshot could not be saved: there is no images folder.", 0), 0u) << message;
  PumpFor(200ms);
  EXPECT_EQ(CallerWindow::CopyCount(), copies);
  EXPECT_FALSE(FileExists(L"image1.bmp"));  // not where the program was started either
  EXPECT_TRUE(app_->CloseAndWait());
}

TEST_F(Capture, NarrowReleaseKeepsSelectingAndEscapeWritesNothing) {
  ASSERT_NE(StartOverlay(), nullptr);
  HWND panel = WaitForPanel(false);
  ASSERT_NE(panel, nullptr);
  Drag({300, 300}, {309, 360});  // 9 pixels wide
  PumpFor(150ms);
  EXPECT_FALSE(::IsWindowVisible(panel));
  MoveMouse(340, 360);  // still selecting from the first press
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  PumpFor(30ms);
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_NE(WaitForPanel(), nullptr);
  EXPECT_EQ(ScreenRect(panel).right, 340);

  // A press on the capture button slid off it: no capture, and the button keeps the
  // keyboard focus, where Escape still leaves.
  const RECT button = ScreenRect(::GetDlgItem(panel, frmCaptureIds::ScreenPrint));
  MoveMouse((button.left + button.right) / 2, (button.top + button.bottom) / 2);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  PumpFor(30ms);
  MoveMouse(button.left - 40, button.bottom + 40);
  MouseButton(MOUSEEVENTF_LEFTUP);
  PumpFor(100ms);
  KeyChord({VK_ESCAPE});
  EXPECT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_FALSE(::IsWindowVisible(overlay_));
  PumpFor(200ms);
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
  PumpFor(200ms);
  EXPECT_EQ(CallerWindow::CopyCount(), 0);
  EXPECT_FALSE(fs::exists(fs::path(images_)));
  EXPECT_TRUE(app_->CloseAndWait());
}

// A caller that hangs is given up after 5 s, one that is gone is skipped: the file is saved
// and the main window comes back either way.
TEST_F(Capture, CallersThatCannotBeToldAreSkipped) {
  // The hung caller's window lives on a thread that stops answering messages; the thread is
  // let go and joined however the test ends.
  struct HungCaller {
    win::unique_handle release{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<HWND> window{nullptr};
    std::thread thread{[this] {
      window = ::CreateWindowExW(0, L"STATIC", L"hung", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
      ::WaitForSingleObject(release.get(), 60000);  // no message loop meanwhile
      ::DestroyWindow(window);
    }};
    ~HungCaller() {
      ::SetEvent(release.get());
      thread.join();
    }
  } hung;
  ASSERT_TRUE(WaitUntil([&] { return hung.window != nullptr; }, 5s));
  ASSERT_NE(StartOverlay(hung.window), nullptr);
  ASSERT_TRUE(SelectAndCapture());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_NE(app_->WaitForMainWindow(15s), nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 12s);  // the send gives up after 5 s
  EXPECT_TRUE(FileExists(images_ + L"image1.bmp"));
  EXPECT_TRUE(app_->CloseAndWait());

  HWND gone = ::CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ::DestroyWindow(gone);
  ASSERT_NE(StartOverlay(gone), nullptr);
  ASSERT_TRUE(SelectAndCapture());
  EXPECT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_TRUE(FileExists(images_ + L"image2.bmp"));
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
