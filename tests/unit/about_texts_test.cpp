#include "shell/about_texts.h"

#include <gtest/gtest.h>

TEST(AboutTexts, VersionLineAndLinkCarryTheVersionNumbers) {
  const frmAboutTexts::Version v{1, 3, 0};
  EXPECT_EQ(frmAboutTexts::VersionText(v), L"Version 1.3.0");
  EXPECT_EQ(frmAboutTexts::LinkAddress(L"www.mirel.example", v), L"https://www.mirel.example?source=lumo&version1.3.0");
  EXPECT_EQ(frmAboutTexts::VersionText({12, 0, 345}), L"Version 12.0.345");
}
