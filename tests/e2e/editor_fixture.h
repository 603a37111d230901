#pragma once
// The main window of the real program, started on its own images folder and placed where
// the test display and the program agree, with helpers to read its controls and pictures.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "e2e/driver.h"
#include "editor/frmMain_ids.h"
#include "support/clipboard.h"
#include "support/pictures.h"

namespace e2e {

namespace ids = frmMainIds;
namespace fs = std::filesystem;
using testpictures::Canvas;
using testpictures::Pattern;

// A child's place in the client area of the window.
inline RECT PlaceIn(HWND window, HWND child) {
  RECT r = ScreenRect(child);
  ::MapWindowPoints(HWND_DESKTOP, window, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

inline bool PutBitmap(const win::DibSection& dib) {
  if (!::OpenClipboard(nullptr)) return false;
  ::EmptyClipboard();
  // A device bitmap: a DIB section does not reach other processes under every platform.
  HBITMAP copy = static_cast<HBITMAP>(::CopyImage(dib.bitmap(), IMAGE_BITMAP, 0, 0, 0));
  const bool ok = ::SetClipboardData(CF_BITMAP, copy) != nullptr;
  ::CloseClipboard();
  return ok;
}

inline bool PutText(const wchar_t* text) {
  return testclipboard::Put(CF_UNICODETEXT, text, (wcslen(text) + 1) * sizeof(wchar_t));
}

class Editor : public ::testing::Test {
 protected:
  void SetUp() override { Start(); }
  // Starts the program on the test's folder (again, after a kill) and places its window.
  void Start() {
    app_.reset();
    app_.emplace(L"saveimgsloc=" + base_);
    main_ = app_->WaitForMainWindow();
    ASSERT_NE(main_, nullptr);
    auto controls = [&] {
      picture_ = Descendant(main_, L"MirelLumo.Picture1");
      tools_ = Descendant(main_, L"MirelLumo.Panel", ids::FrameTools);
      return picture_ && tools_ && Control(ids::cmdSetNextNumber);
    };
    ASSERT_TRUE(WaitUntil(controls, 10s));  // they come right after the window shows
    // The window manager of the test display does not maximise: the window is restored to
    // a known place, so that the program and the screen agree where it is.
    ::ShowWindow(main_, SW_RESTORE);
    ::SetWindowPos(main_, nullptr, 40, 40, 1000, 760, SWP_NOZORDER);
    ASSERT_TRUE(WaitUntil([&] { return ScreenRect(main_).left == 40 && ScreenRect(main_).top == 40; }, 5s));
    PumpFor(500ms);  // placed and painted
  }
  void TearDown() override {
    if (app_) app_->CloseAndWait();
    app_.reset();
    DeleteRunEntry();
  }

  HWND Control(int id) const { return Descendant(main_, nullptr, id); }
  HWND Viewport() const { return Descendant(main_, L"MirelLumo.pic_mainview"); }
  HWND OpenSettings() {
    Click(Control(ids::cmdSettings));
    HWND settings = Descendant(main_, L"MirelLumo.Panel", ids::frameSettings);
    EXPECT_TRUE(WaitUntil([&] { return ::IsWindowVisible(settings) != FALSE; }, 3s));
    return settings;
  }
  bool PictureSizeIs(int w, int h) const {
    auto is = [&] { const RECT r = ScreenRect(picture_); return r.right - r.left == w && r.bottom - r.top == h; };
    return WaitUntil(is, 5s);
  }
  std::vector<COLORREF> Shown() const { return ScreenPixels(ScreenRect(picture_)); }
  // Waits until the picture control shows exactly these pixels (settled: whether it still
  // shows them a while later).
  ::testing::AssertionResult Shows(const std::vector<COLORREF>& expected, bool settled = false) const {
    int wrong = 0;
    if (settled) PumpFor(300ms);
    if (!WaitUntil([&] { return (wrong = Differences(Shown(), expected)) == 0; }, settled ? 0ms : 5s))
      return ::testing::AssertionFailure() << wrong << " pixels differ";
    return ::testing::AssertionSuccess();
  }
  ::testing::AssertionResult Shows(const win::DibSection& expected, bool settled = false) const {
    return Shows(Colours(expected), settled);
  }
  static std::vector<COLORREF> Empty(int w, int h) { return std::vector<COLORREF>(w * h, ::GetSysColor(COLOR_WINDOW)); }
  // Ctrl+V on the picture, focused by a click (which in no-draw mode changes nothing).
  void Paste(const win::DibSection& dib) {
    ASSERT_TRUE(PutBitmap(dib));
    Click(picture_);
    KeyChord({VK_CONTROL, 'V'});
    ASSERT_TRUE(PictureSizeIs(dib.width(), dib.height()));
  }
  int ToolsTop() const { return PlaceIn(main_, tools_).top; }
  // "Tools", the first item of the menu bar right above the client area.
  // Picks further apart than a double click, which a menu bar takes as one pick.
  void PickTools() {
    const auto due = lastPick_ + std::chrono::milliseconds(::GetDoubleClickTime() + 100);
    const auto now = std::chrono::steady_clock::now();
    if (due > now) PumpFor(std::chrono::duration_cast<Duration>(due - now));
    POINT origin{0, 0};
    ::ClientToScreen(main_, &origin);
    ClickAt({origin.x + 16, origin.y - ::GetSystemMetrics(SM_CYMENU) / 2});
    lastPick_ = std::chrono::steady_clock::now();
  }
  // Slides the tool panel in (or out) and waits until it is there.
  void ShowTools(bool shown = true) {
    PickTools();
    ASSERT_TRUE(WaitUntil([&] { return shown ? ToolsTop() == 0 : ToolsTop() <= -201; }, 3s)) << ToolsTop();
    PumpFor(100ms);
  }
  // The input box of a command: the reply it offered, then its reply typed in, then OK or Cancel.
  bool Answer(const wchar_t* title, const wchar_t* reply, bool ok = true, std::wstring* offered = nullptr) {
    HWND box = app_->WaitForWindow(L"MirelLumo.InputBox", title, 5s);
    if (!box) return false;
    if (offered) *offered = ItemText(box, 302);
    if (reply) ::SendMessageW(::GetDlgItem(box, 302), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(reply));
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(ok ? IDOK : IDCANCEL, BN_CLICKED), 0);
    return WaitUntil([&] { return !::IsWindow(box); }, 5s);
  }
  POINT At(int x, int y) const { return {ScreenRect(picture_).left + x, ScreenRect(picture_).top + y}; }

  TempFolder folder_{L"lumo-editor", L"c:\\"};
  const std::wstring base_ = folder_.Location();
  std::optional<Program> app_;
  HWND main_ = nullptr, picture_ = nullptr, tools_ = nullptr;
  std::chrono::steady_clock::time_point lastPick_{};
};

}  // namespace e2e
