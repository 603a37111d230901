// The capture overlay's magnifier and keys over the caller's known pattern (that the loupe is
// never in the file is checked with the capture road).
#include <gtest/gtest.h>

#include "e2e/capture_fixture.h"

using namespace capturetest;

// The loupe shows the desktop's pixel under the pointer, below-right of it, with its place,
// colour and the selection's size. Arrows move the pointer (Shift: ten pixels), Space is the
// left button; once released the arrows move the selection (Ctrl: its bottom-right corner),
// and Enter captures exactly what is selected then.
TEST_F(Capture, TheLoupeFollowsAndTheKeyboardMakesAndAdjustsASelectionThatEnterCaptures) {
  ASSERT_NE(StartOverlay(), nullptr);
  MoveMouse(300, 250);
  EXPECT_TRUE(LoupeShows({300, 250}));
  EXPECT_EQ(Edges(ScreenRect(Loupe())), Edges({320, 270, 440, 426}));  // 120 wide, the readout under the lens
  ::SetForegroundWindow(overlay_);
  KeyChord({VK_RIGHT});
  KeyChord({VK_SHIFT, VK_DOWN});
  EXPECT_TRUE(LoupeShows({301, 260}));
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
