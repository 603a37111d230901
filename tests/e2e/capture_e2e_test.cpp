// The capture road: another program starts "screencapture cb=<its window>", a person selects over its
// known pattern and clicks capture; the file holds exactly those pixels and the caller receives its path.
#include <gtest/gtest.h>

#include <atomic>
#include <random>
#include <thread>

#include "capture/capture_files.h"
#include "e2e/capture_fixture.h"
#include "editor/frmMain_ids.h"

using namespace capturetest;

// Dragged from the bottom-right to the top-left, the crosshair bars run through the
// selection: the file holds none of them. Its number follows the highest of the prefix in
// any extension. Then the capture shows in the editor, maximised, at its own pixels.
TEST_F(Capture, DragAndCaptureSavesExactlyTheSelectedPixelsTellsTheCallerAndOpensInTheEditor) {
  WriteBytes(images_ + L"image1.bmp", "x");
  WriteBytes(images_ + L"image9.jpg", "x");
  ASSERT_NE(StartOverlay(), nullptr);
  EXPECT_EQ(app_->WaitForMainWindow(0ms), nullptr);  // hidden while the overlay is up
  const HWND panel = Select({460, 330}, {260, 200});
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(ScreenRect(panel).left, 260);  // released at the top-left corner: the panel stands above it
  EXPECT_EQ(ScreenRect(panel).bottom, 200);
  const RECT selection{260, 200, 460, 330};
  EXPECT_EQ(CaptureAndCompare(panel, selection), 0) << "pixels that are not the caller's";
  EXPECT_EQ(CallerWindow::CopyCount(), 1);
  EXPECT_EQ(_wcsicmp(CallerWindow::Received().c_str(), (images_ + L"image10.bmp").c_str()), 0)
      << CallerWindow::Received();

  const HWND main = app_->WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(::IsWindowVisible(overlay_));
  EXPECT_TRUE(::IsZoomed(main));
  const HWND picture = Descendant(main, L"MirelLumo.Picture1");
  ASSERT_NE(picture, nullptr);
  const auto size = [&] { const RECT r = ScreenRect(picture); return std::pair(r.right - r.left, r.bottom - r.top); };
  EXPECT_TRUE(WaitUntil([&] { return size() == std::pair(200L, 130L); }, 5s));
  // Put where the program and the screen agree (the test display's window manager does not maximise).
  ::ShowWindow(main, SW_RESTORE);
  ::SetWindowPos(main, HWND_TOP, 40, 40, 1000, 760, 0);
  ASSERT_TRUE(WaitUntil([&] { return ScreenRect(main).left == 40 && ScreenRect(main).top == 40; }, 5s));
  EXPECT_TRUE(WaitUntil([&] { return ScreenPixels(ScreenRect(picture)) == PatternIn(selection); }, 5s));
  EXPECT_TRUE(app_->CloseAndWait());
}

// What the overlay shows: the shade, the bars through the mouse and nothing where they were,
// and while selecting the desktop through the selection, where the bars stop. A release
// less than 10 pixels wide goes on selecting. Escape leaves without a file or a call.
TEST_F(Capture, TheOverlayShowsTheCrosshairsAndTheSelectionAndEscapeLeavesWithoutAFile) {
  ASSERT_NE(StartOverlay(), nullptr);
  MoveMouse(600, 400);
  EXPECT_TRUE(Shows({{{602, 50}, Orange}, {{50, 402}, Orange}, {{604, 404}, Orange}, {{605, 50}, Shade},
                     {{50, 405}, Shade}, {{599, 50}, Shade}, {{100, 100}, Shade}}));
  MoveMouse(650, 430);  // both bars move: no trace where they were
  EXPECT_TRUE(Shows({{{652, 50}, Orange}, {{50, 432}, Orange}, {{602, 50}, Shade}, {{50, 402}, Shade},
                     {{602, 402}, Shade}}));

  Drag({700, 500}, {691, 450});  // 9 pixels wide
  PumpFor(150ms);
  EXPECT_TRUE(Panel() && !::IsWindowVisible(Panel()));  // made, and not shown
  // On to the top-left: the bars run along the selection's top and left edges, inside it,
  // where they give way to the desktop; outside they go on.
  MoveMouse(500, 300);
  MoveMouse(400, 250);
  EXPECT_TRUE(Shows({{{450, 400}, PatternAt(450, 400)}, {{402, 400}, PatternAt(402, 400)},
                     {{450, 252}, PatternAt(450, 252)}, {{402, 200}, Orange}, {{100, 252}, Orange},
                     {{402, 520}, Orange}, {{750, 252}, Orange}, {{402, 248}, Orange}, {{700, 400}, Shade},
                     {{399, 400}, Shade}}));
  ClickAt({400, 250});
  const HWND panel = WaitForPanel();
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(ScreenRect(panel).left, 400);
  MoveMouse(200, 600);  // selected: the crosshairs stay where they were released
  PumpFor(100ms);
  EXPECT_TRUE(Shows({{{402, 200}, Orange}, {{202, 100}, Shade}, {{450, 400}, PatternAt(450, 400)}}));

  // A press slid off the capture button captures nothing; Escape still leaves from the button.
  const RECT button = ScreenRect(CaptureButton(panel));
  Drag({(button.left + button.right) / 2, (button.top + button.bottom) / 2}, {button.left - 40, button.bottom + 40});
  PumpFor(100ms);
  KeyChord({VK_ESCAPE});
  EXPECT_NE(app_->WaitForMainWindow(), nullptr);
  EXPECT_FALSE(::IsWindowVisible(overlay_));
  PumpFor(200ms);
  EXPECT_EQ(CallerWindow::CopyCount(), 0);
  EXPECT_TRUE(fs::is_empty(fs::path(images_)));
  EXPECT_TRUE(app_->CloseAndWait());
}

// At 144 dots per inch the overlay, the loupe (1.5 times as large) and the file go by
// physical pixels. Runs in the pass of scripts/test whose Wine has that density.
class CaptureDensity : public Capture {};

TEST_F(CaptureDensity, TheFileHoldsTheSelectedPhysicalPixels) {
  if (Env(L"LUMO_DPI") != L"144") GTEST_SKIP() << "runs where Wine is set to 144 dpi (LUMO_DPI=144)";
  ASSERT_NE(StartOverlay(), nullptr);
  ASSERT_EQ(::GetDpiForWindow(overlay_), 144u);
  MoveMouse(300, 250);
  EXPECT_TRUE(LoupeShows({300, 250}));
  EXPECT_EQ(ScreenRect(Loupe()).right - ScreenRect(Loupe()).left, 180);
  ASSERT_TRUE(SelectAndCapture());
  EXPECT_EQ(WrongPixelsReceived(RECT{260, 200, 460, 330}), 0) << "pixels that are not the caller's";
}

// A 1024 x 768 monitor left of a 1280 x 1024 primary, reaching 200 pixels above it: the overlay covers
// both, and the file holds a selection across them exactly. Runs in the pass of scripts/test with that display.
class TwoMonitors : public Capture {};

TEST_F(TwoMonitors, ASelectionAcrossTheBorderHoldsThePixelsOfBothMonitors) {
  if (Env(L"LUMO_MONITORS") != L"2") GTEST_SKIP() << "runs on the two-monitor display (LUMO_MONITORS=2)";
  caller_.MoveTo(RECT{-400, -195, 300, 566});  // on both monitors, and up into the left one's part above the primary
  ASSERT_NE(StartOverlay(), nullptr);
  EXPECT_EQ(Edges(ScreenRect(overlay_)), Edges({-1024, -200, 1280, 1024}));
  MoveMouse(-600, 100);  // the shade and the crosshairs on both monitors
  EXPECT_TRUE(Shows({{{-598, 50}, Orange}, {{-1000, 102}, Orange}, {{1200, 102}, Orange}, {{-900, 50}, Shade},
                     {{1200, 50}, Shade}}, 5s));
  MoveMouse(-300, 100);  // the readout at negative coordinates
  EXPECT_TRUE(LoupeShows({-300, 100}));

  // Released near the bottom of the left monitor, which is shorter: the panel goes above the
  // release, where that monitor is, though the desktop goes on below.
  HWND panel = Select({-300, 400}, {-100, 560});
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(ScreenRect(panel).bottom, 560);
  EXPECT_EQ(ScreenRect(panel).right, -100);
  // A new selection, released at its top-left corner near the desktop's top: the panel goes
  // below the corner. In the file only the part on neither monitor (250 x 190) is not the caller's.
  panel = Select({250, 330}, {-380, -190});
  ASSERT_NE(panel, nullptr);
  EXPECT_EQ(ScreenRect(panel).left, -380);
  EXPECT_EQ(ScreenRect(panel).top, -190);
  EXPECT_EQ(CaptureAndCompare(panel, RECT{-380, -190, 250, 330}), 250 * 190) << "pixels that are not the caller's";
  EXPECT_TRUE(app_->CloseAndWait());  // the main window back
}

// Released at the desktop's bottom-right corner, the loupe and the panel stand over the selection, yet the
// file holds what lies beneath them; M hides the loupe and shows it again. An Escape and a close during
// the capture wait for it: the file is written and handed on, then the program ends.
TEST_F(Capture, WhatStandsOverTheSelectionIsNotInTheFileAndACloseDuringTheCaptureWaitsForIt) {
  caller_.MoveTo(RECT{1300, 800, 1920, 1080});
  ASSERT_NE(StartOverlay(), nullptr);
  HWND main = ::FindWindowW(L"MirelLumo.frmMain", nullptr);  // hidden while the overlay is up
  DWORD pid = 0;
  ASSERT_TRUE(::GetWindowThreadProcessId(main, &pid) && pid == app_->Pid());
  const RECT selection{1400, 900, 1900, 1070};
  const HWND panel = Select({selection.left, selection.top}, {selection.right, selection.bottom});
  ASSERT_NE(panel, nullptr);
  RECT over{}, loupe = ScreenRect(Loupe()), buttons = ScreenRect(panel);
  EXPECT_TRUE(::IntersectRect(&over, &loupe, &selection) && ::IntersectRect(&over, &buttons, &selection));
  ::SetForegroundWindow(overlay_);
  KeyChord({'M'});
  EXPECT_TRUE(WaitUntil([&] { return Loupe(0ms) == nullptr; }, 3s));
  KeyChord({'M'});
  ASSERT_NE(Loupe(), nullptr);
  // Clicked without letting this thread's pattern window repaint: the program waits for the
  // places of the panel and the loupe with its overlay hidden, and gets both messages meanwhile.
  const RECT button = ScreenRect(CaptureButton(panel));
  ::SetCursorPos((button.left + button.right) / 2, (button.top + button.bottom) / 2);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  MouseButton(MOUSEEVENTF_LEFTUP);
  ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(overlay_); }, 5s));
  ::PostMessageW(overlay_, WM_KEYUP, VK_ESCAPE, 0);
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_EQ(WrongPixelsReceived(selection), 0) << "pixels that are not the caller's";
  DWORD code = 1;
  EXPECT_TRUE(app_->WaitForExit(10s) && ::GetExitCodeProcess(app_->Process(), &code) && code == 0) << "exit " << code;
}

// The main window's own capture button, twice in one run: two files. With the folder removed
// meanwhile, a third gives a message and does not make the folder again.
TEST_F(Capture, TheMainWindowsCaptureButtonTwiceInOneRunThenWithTheFolderGone) {
  app_.emplace(L"saveimgsloc=" + folder_.Location());
  const HWND main = app_->WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const auto overlayFromTheButton = [&] {
    HWND button = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return button = Descendant(main, nullptr, frmMainIds::cmdCapture0); }, 10s));
    ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 10s));
    PumpFor(300ms);
    Click(button);
    ASSERT_NE(WaitForOverlay(), nullptr);
  };
  for (const wchar_t* name : {L"image1.bmp", L"image2.bmp"}) {
    overlayFromTheButton();
    ASSERT_TRUE(SelectAndCapture()) << name;
    ASSERT_TRUE(WaitUntil([&] { return FileExists(images_ + name) && ::IsWindowVisible(main); }, 10s)) << name;
    EXPECT_EQ(WrongPixels(images_ + name, RECT{260, 200, 460, 330}), 0) << name;
  }
  overlayFromTheButton();
  fs::remove_all(fs::path(folder_.Path()));
  ASSERT_TRUE(SelectAndCapture());
  const std::wstring message = app_->DismissMessageBox(L"Mirel Lumo", 10s);
  EXPECT_EQ(message.rfind(L"The screenshot could not be saved", 0), 0u) << message;
  EXPECT_FALSE(fs::exists(fs::path(images_)));
  EXPECT_TRUE(app_->CloseAndWait());  // the main window back
}

// Without "saveimgsloc" the captures go to AppData\Mirel Lumo\images\. Where that folder
// cannot be made, a capture saves nothing and hands on no path.
TEST_F(Capture, TheDefaultImagesFolderOrNoneAtAll) {
  const std::wstring images = AppDataFolder() + L"\\Mirel Lumo\\images";
  ASSERT_NE(StartOverlay(nullptr, false), nullptr);
  ASSERT_TRUE(SelectAndCapture());
  EXPECT_EQ(WrongPixelsReceived(RECT{260, 200, 460, 330}), 0);
  const std::wstring received = CallerWindow::Received();
  EXPECT_EQ(_wcsnicmp(received.c_str(), (images + L"\\image").c_str(), images.size() + 6), 0) << received;
  EXPECT_TRUE(app_->CloseAndWait());
  ::DeleteFileW(received.c_str());

  // A file where the folder would be: no images folder.
  std::error_code ignored;
  fs::remove_all(fs::path(images), ignored);  // this prefix's own folder, whatever an earlier run left
  WriteBytes(images, "not a folder");
  struct Restore { std::wstring file; ~Restore() { ::DeleteFileW(file.c_str()); } } restore{images};
  const int copies = CallerWindow::CopyCount();
  ASSERT_NE(StartOverlay(nullptr, false), nullptr);
  ASSERT_TRUE(SelectAndCapture());
  // A call would come before the message: this thread answers while it waits for that.
  ASSERT_TRUE(WaitUntil([&] { PumpFor(10ms); return app_->WaitForMessageBox(L"Mirel Lumo", 0ms); }, 10s));
  EXPECT_EQ(CallerWindow::CopyCount(), copies);
  const std::wstring message = app_->DismissMessageBox(L"Mirel Lumo", 10s);
  EXPECT_EQ(message.rfind(L"The screenshot could not be saved: there is no images folder.", 0), 0u) << message;
  EXPECT_FALSE(FileExists(L"image1.bmp"));  // not where the program was started either
  EXPECT_TRUE(app_->CloseAndWait());
}

// A caller that is gone is skipped, one that hangs is given up after 5 s: the file is saved
// either way.
TEST_F(Capture, CallersThatCannotBeToldAreSkipped) {
  HWND gone = ::CreateWindowExW(0, L"STATIC", L"gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  ::DestroyWindow(gone);
  ASSERT_NE(StartOverlay(gone), nullptr);
  ASSERT_TRUE(SelectAndCapture());
  EXPECT_TRUE(app_->CloseAndWait());  // the main window back
  EXPECT_TRUE(FileExists(images_ + L"image1.bmp"));

  // The hung caller lives on a thread that answers nothing until it is let go and joined
  // (however the test ends); no ASSERT while it runs.
  struct HungCaller {
    win::unique_handle release{::CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    std::atomic<HWND> window{nullptr};
    std::thread thread{[this] {
      window = ::CreateWindowExW(0, L"STATIC", L"hung", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
      ::WaitForSingleObject(release.get(), 60000);  // no message loop meanwhile
      ::DestroyWindow(window);
    }};
    ~HungCaller() { ::SetEvent(release.get()); thread.join(); }
  } hung;
  EXPECT_TRUE(WaitUntil([&] { return hung.window != nullptr; }, 5s) && StartOverlay(hung.window) && SelectAndCapture());
  const auto start = std::chrono::steady_clock::now();
  EXPECT_NE(app_->WaitForMainWindow(15s), nullptr);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 12s);  // the send gives up after 5 s
  EXPECT_TRUE(FileExists(images_ + L"image2.bmp"));
  EXPECT_TRUE(app_->CloseAndWait());
}

TEST_F(Capture, AKillWhileSavingNeverLeavesAPartialNumberedFile) {
  std::mt19937 random(7);
  for (int round = 0; round < 5; ++round) {
    ASSERT_NE(StartOverlay(), nullptr);
    ASSERT_TRUE(SelectAndCapture());
    app_->WaitForExit(Duration(random() % 61));
    app_.reset();  // killed wherever the save was, 0 to 60 ms after the click
    for (const auto& entry : fs::directory_iterator(fs::path(images_))) {
      int32_t number = 0;
      if (!modScreenshot::FileNumber(entry.path().filename().wstring(), L"image", number)) continue;  // not numbered
      const std::string bytes = ReadBytes(entry.path().wstring());
      ASSERT_GE(bytes.size(), 14u) << "round " << round;
      EXPECT_EQ(*reinterpret_cast<const uint32_t*>(bytes.data() + 2), bytes.size()) << "round " << round;
    }
  }
}
