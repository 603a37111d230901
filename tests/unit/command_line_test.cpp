#include "shell/command_line.h"

#include <gtest/gtest.h>

#include "base/app_error.h"

using modCommandLine::ParseCommandLine;

namespace {
AppError OverflowOf(std::wstring_view args) {
  try {
    ParseCommandLine(args);
  } catch (const AppError& e) {
    return e;
  }
  ADD_FAILURE() << "no overflow for the switches";
  return {};
}
}  // namespace

TEST(CommandLine, NoArgumentsMeansNoPurgeAndNoCapture) {
  const auto sw = ParseCommandLine(L"");
  EXPECT_FALSE(sw.screenCapture);
  EXPECT_FALSE(sw.purgeImgs);
  EXPECT_FALSE(sw.purgeImgRecycle);
  EXPECT_FALSE(sw.allowMultiInstance);
  EXPECT_EQ(sw.purgeImageAgeDays, 0);
  EXPECT_TRUE(sw.imageFolders.empty());
}

TEST(CommandLine, AnyArgumentTurnsThePurgeOnWithTheRecycleBin) {
  const auto sw = ParseCommandLine(L"somethingelse");
  EXPECT_TRUE(sw.purgeImgs);
  EXPECT_TRUE(sw.purgeImgRecycle);
  EXPECT_FALSE(ParseCommandLine(L"PURGEIMGS=0").purgeImgs);  // token switches ignore case
  EXPECT_TRUE(ParseCommandLine(L"purgeimgs=1").purgeImgs);
  EXPECT_TRUE(ParseCommandLine(L"purgeimgs=abc").purgeImgs);
  EXPECT_FALSE(ParseCommandLine(L"purgeimgs=0.4").purgeImgs);
  EXPECT_FALSE(ParseCommandLine(L"purgeImgDelete=yes").purgeImgRecycle);
  EXPECT_FALSE(ParseCommandLine(L"PurgeImgDelete=").purgeImgRecycle);
}

TEST(CommandLine, ScreenCaptureIsCaseSensitiveAndTakesTheCallBack) {
  EXPECT_FALSE(ParseCommandLine(L"ScreenCapture cb=4242").screenCapture);
  EXPECT_EQ(ParseCommandLine(L"ScreenCapture cb=4242").callBackHandle, 0);
  auto sw = ParseCommandLine(L"screencapture cb=4242");
  EXPECT_TRUE(sw.screenCapture);
  EXPECT_EQ(sw.callBackHandle, 4242);
  EXPECT_TRUE(ParseCommandLine(L"xscreencapturex").screenCapture);  // found anywhere
}

TEST(CommandLine, CallBackStopsAtTheNextBlank) {
  auto sw = ParseCommandLine(L"screencapture cb=4242 allowmultinstance");
  EXPECT_EQ(sw.callBackHandle, 4242);
  EXPECT_TRUE(sw.allowMultiInstance);
  EXPECT_EQ(ParseCommandLine(L"screencapture cb=  77").callBackHandle, 77);
  EXPECT_EQ(ParseCommandLine(L"screencapture cb=").callBackHandle, 0);
  EXPECT_EQ(ParseCommandLine(L"screencapture cb=0").callBackHandle, 0);
  EXPECT_EQ(ParseCommandLine(L"screencapture cb=abc").callBackHandle, 0);
  EXPECT_EQ(ParseCommandLine(L"screencapture cb=12.5").callBackHandle, 12);  // half to even
  EXPECT_EQ(ParseCommandLine(L"screencapture cb=-8").callBackHandle, -8);
  // "cb=" before "screencapture" still names the window: both are found anywhere.
  EXPECT_EQ(ParseCommandLine(L"cb=4242 screencapture").callBackHandle, 4242);
}

TEST(CommandLine, CallBackBeyond32BitsIsAnOverflowOfStepTwo) {
  const AppError e = OverflowOf(L"screencapture cb=99999999999");
  EXPECT_EQ(e.number, 6);
  EXPECT_EQ(e.description, L"Overflow");
  EXPECT_EQ(e.line, 2);
}

TEST(CommandLine, PurgeAgeRoundsHalfToEvenAndKeepsTheDefaultBelowOne) {
  EXPECT_EQ(ParseCommandLine(L"purgeimgage=2.5").purgeImageAgeDays, 2);
  EXPECT_EQ(ParseCommandLine(L"purgeimgage=3.5").purgeImageAgeDays, 4);
  EXPECT_EQ(ParseCommandLine(L"purgeimgage=0").purgeImageAgeDays, 0);
  EXPECT_EQ(ParseCommandLine(L"purgeimgage=0.5").purgeImageAgeDays, 0);
  EXPECT_EQ(ParseCommandLine(L"purgeimgage=-3").purgeImageAgeDays, 0);
  EXPECT_EQ(ParseCommandLine(L"purgeimgage=ten").purgeImageAgeDays, 0);
  EXPECT_EQ(ParseCommandLine(L"purgeimgage=1e2").purgeImageAgeDays, 100);
  EXPECT_EQ(ParseCommandLine(L"purgeimgage=32767").purgeImageAgeDays, 32767);
  EXPECT_EQ(ParseCommandLine(L"purgeimgage=7 purgeimgage=x").purgeImageAgeDays, 7);
}

TEST(CommandLine, PurgeValuesBeyondSixteenBitsAreAnOverflowOfStepThree) {
  for (const wchar_t* args : {L"purgeimgage=40000", L"purgeimgage=32767.5", L"purgeimgs=-32769",
                              L"purgeimgage=1e400"}) {
    const AppError e = OverflowOf(args);
    EXPECT_EQ(e.number, 6) << args;
    EXPECT_EQ(e.line, 3) << args;
  }
  EXPECT_EQ(ParseCommandLine(L"purgeimgs=-32768").purgeImgs, true);
}

TEST(CommandLine, OnlyABareAllowMultInstanceCounts) {
  EXPECT_TRUE(ParseCommandLine(L"AllowMultInstance").allowMultiInstance);
  EXPECT_FALSE(ParseCommandLine(L"allowmultinstance=1").allowMultiInstance);
  EXPECT_FALSE(ParseCommandLine(L"allowmultinstance=a=b").allowMultiInstance);
  EXPECT_FALSE(ParseCommandLine(L"xallowmultinstance").allowMultiInstance);
}

TEST(CommandLine, ImageFoldersAreLowerCasedAndGetTheProgramFolder) {
  auto sw = ParseCommandLine(L"saveimgsloc=D:\\Shots saveimgsloc=e:\\x\\ saveimgsloc= saveimgsloc=c:/shots/");
  ASSERT_EQ(sw.imageFolders.size(), 3u);
  EXPECT_EQ(sw.imageFolders[0], L"d:\\shots\\Mirel Lumo\\images\\");
  EXPECT_EQ(sw.imageFolders[1], L"e:\\x\\Mirel Lumo\\images\\");
  EXPECT_EQ(sw.imageFolders[2], L"c:/shots/Mirel Lumo\\images\\");  // "/" ends the folder as "\\" does
}

TEST(CommandLine, SplitsAtEverySingleBlank) {
  // Two blanks make an empty token, which is simply ignored.
  auto sw = ParseCommandLine(L"purgeimgage=5  allowmultinstance purgeimgs=0 ");
  EXPECT_EQ(sw.purgeImageAgeDays, 5);
  EXPECT_TRUE(sw.allowMultiInstance);
  EXPECT_FALSE(sw.purgeImgs);
}

TEST(CommandLine, ArgumentTextFollowsTheProgramPath) {
  using modCommandLine::ArgumentText;
  EXPECT_EQ(ArgumentText(L"\"C:\\Program Files\\Mirel\\MirelLumo.exe\" screencapture cb=1"),
            L"screencapture cb=1");
  EXPECT_EQ(ArgumentText(L"MirelLumo.exe   a b"), L"a b");
  EXPECT_EQ(ArgumentText(L"\"C:\\x y\\MirelLumo.exe\""), L"");
  EXPECT_EQ(ArgumentText(L"MirelLumo.exe"), L"");
  EXPECT_EQ(ArgumentText(L"\"unterminated"), L"");
}
