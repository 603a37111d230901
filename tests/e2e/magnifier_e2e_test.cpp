// The capture overlay's magnifier and keys in the real program, over the caller's known
// pattern: the loupe shows the desktop's own pixels with their place and colour, the keys
// place a selection to the pixel, and nothing of the loupe is ever in the file.
#include <gtest/gtest.h>

#include "e2e/capture_fixture.h"

using namespace capturetest;

// The loupe shows the desktop's pixel under the pointer, below-right of it, with its place
// and colour, and while selecting the selection's size. Arrows move the pointer by one pixel
// (ten with Shift) and Space is the left button; after the release the arrows move the
// selection and Ctrl+arrows its bottom-right corner, and Enter captures exactly what is
// selected then.
TEST_F(Capture, TheLoupeFollowsAndTheKeyboardMakesAndAdjustsASelectionThatEnterCaptures) {
  ASSERT_NE(StartOverlay(), nullptr);
  for (const POINT p : {POINT{777, 530}, POINT{201, 151}, POINT{300, 250}}) {
    MoveMouse(p.x, p.y);
    EXPECT_TRUE(LoupeShows(p)) << p.x << "," << p.y;
  }
  const RECT loupe = ScreenRect(Loupe());
  EXPECT_EQ(loupe.left, 300 + 20);
  EXPECT_EQ(loupe.top, 250 + 20);
  EXPECT_EQ(loupe.right - loupe.left, 120);
  ::SetForegroundWindow(overlay_);
  KeyChord({VK_RIGHT});
  KeyChord({VK_SHIFT, VK_DOWN});
  POINT at{};
  ::GetCursorPos(&at);
  EXPECT_EQ(at.x, 301);
  EXPECT_EQ(at.y, 260);
  KeyChord({VK_SPACE});  // pressed and released at once: not ten pixels wide, still selecting
  for (int i = 0; i < 20; ++i) KeyChord({VK_SHIFT, VK_RIGHT});
  for (int i = 0; i < 10; ++i) KeyChord({VK_SHIFT, VK_DOWN});
  EXPECT_TRUE(LoupeShows({501, 360}, L"200 \u00D7 100"));
  KeyChord({VK_SPACE});
  ASSERT_NE(WaitForPanel(), nullptr);
  EXPECT_TRUE(LoupeShows({501, 360}, L"200 \u00D7 100"));
  KeyChord({VK_LEFT});             // the selection one pixel left
  KeyChord({VK_CONTROL, VK_UP});  // its bottom one pixel up
  EXPECT_TRUE(LoupeShows({500, 359}, L"200 \u00D7 99"));  // the corner it was released at
  KeyChord({VK_RETURN});
  EXPECT_EQ(WrongPixelsReceived(RECT{300, 260, 500, 359}), 0);
}

// Released at the desktop's bottom-right corner, the loupe has room only above-left, over
// the selection: it is not in the file. M hides it and shows it again.
TEST_F(Capture, TheLoupeOverTheSelectionIsNotInTheFileAndMHidesIt) {
  caller_.MoveTo(RECT{1500, 800, 1920, 1080});
  ASSERT_NE(StartOverlay(), nullptr);
  const RECT selection{1600, 900, 1900, 1070};
  const auto panel = Select({selection.left, selection.top}, {selection.right, selection.bottom});
  ASSERT_NE(panel.hwnd, nullptr);
  RECT over{};
  const RECT loupe = ScreenRect(Loupe());
  EXPECT_TRUE(::IntersectRect(&over, &loupe, &selection));
  ::SetForegroundWindow(overlay_);
  KeyChord({'M'});
  EXPECT_TRUE(WaitUntil([&] { return Loupe(0ms) == nullptr; }, 3s));
  KeyChord({'M'});
  ASSERT_NE(Loupe(), nullptr);
  EXPECT_EQ(CaptureAndCompare(panel.hwnd, selection), 0) << "pixels that are not the caller's";
}
