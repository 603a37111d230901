#include "shell/about_texts.h"

#include <gtest/gtest.h>

// The About box itself shows "Version 1.3.0" and opens its link; numbers of more digits here.
TEST(AboutTexts, TheVersionLineTakesNumbersOfAnyLength) {
  EXPECT_EQ(frmAboutTexts::VersionText({12, 0, 345}), L"Version 12.0.345");
}
