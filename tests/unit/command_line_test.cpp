// The command line's switches and the start-up error they can raise.
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
  ADD_FAILURE() << "no overflow for " << std::wstring(args);
  return {};
}
}  // namespace

TEST(CommandLine, AnyArgumentTurnsThePurgeOnWithTheRecycleBin) {
  // None: no purge. Token switches ignore case; a purgeimgs value that rounds to 0 turns the purge off.
  for (auto [args, purge, recycle] :
       {std::tuple{L"", false, false}, {L"somethingelse", true, true}, {L"PURGEIMGS=0", false, true},
        {L"purgeimgs=1", true, true}, {L"purgeimgs=abc", true, true}, {L"purgeimgs=0.4", false, true},
        {L"purgeimgs=-32768", true, true}, {L"purgeImgDelete=yes", true, false}, {L"PurgeImgDelete=", true, false}}) {
    const auto sw = ParseCommandLine(args);
    EXPECT_TRUE(sw.purgeImgs == purge && sw.purgeImgRecycle == recycle) << args;
  }
}

TEST(CommandLine, ScreenCaptureIsCaseSensitiveAndTakesTheCallBack) {
  EXPECT_FALSE(ParseCommandLine(L"ScreenCapture cb=4242").screenCapture);
  EXPECT_EQ(ParseCommandLine(L"ScreenCapture cb=4242").callBackHandle, 0);
  EXPECT_TRUE(ParseCommandLine(L"screencapture cb=4242").screenCapture);
  EXPECT_TRUE(ParseCommandLine(L"xscreencapturex").screenCapture);  // found anywhere
}

TEST(CommandLine, CallBackStopsAtTheNextBlank) {
  // "cb=" before "screencapture" still names the window: both are found anywhere.
  for (auto [args, handle] :
       {std::pair{L"screencapture cb=4242 allowmultinstance", 4242}, {L"cb=4242 screencapture", 4242},
        {L"screencapture cb=  77", 77}, {L"screencapture cb=", 0}, {L"screencapture cb=0", 0},
        {L"screencapture cb=abc", 0}, {L"screencapture cb=12.5", 12}, {L"screencapture cb=-8", -8}})
    EXPECT_EQ(ParseCommandLine(args).callBackHandle, handle) << args;
  EXPECT_TRUE(ParseCommandLine(L"screencapture cb=4242 allowmultinstance").allowMultiInstance);
}

TEST(CommandLine, CallBackBeyond32BitsIsAnOverflowOfStepTwo) {
  const AppError e = OverflowOf(L"screencapture cb=99999999999");
  EXPECT_EQ(e.number, 6);
  EXPECT_EQ(e.description, L"Overflow");
  EXPECT_EQ(e.line, 2);
}

TEST(CommandLine, PurgeAgeRoundsHalfToEvenAndKeepsTheDefaultBelowOne) {
  for (auto [value, days] : {std::pair{L"2.5", 2}, {L"3.5", 4}, {L"0", 0}, {L"0.5", 0}, {L"-3", 0}, {L"ten", 0},
                             {L"1e2", 100}, {L"32767", 32767}, {L"7 purgeimgage=x", 7}})
    EXPECT_EQ(ParseCommandLine(std::wstring(L"purgeimgage=") + value).purgeImageAgeDays, days) << value;
}

TEST(CommandLine, PurgeValuesBeyondSixteenBitsAreAnOverflowOfStepThree) {
  for (const wchar_t* args :
       {L"purgeimgage=40000", L"purgeimgage=32767.5", L"purgeimgs=-32769", L"purgeimgage=1e400"}) {
    const AppError e = OverflowOf(args);
    EXPECT_TRUE(e.number == 6 && e.line == 3) << args;
  }
}

TEST(CommandLine, OnlyABareAllowMultInstanceCounts) {
  EXPECT_TRUE(ParseCommandLine(L"AllowMultInstance").allowMultiInstance);
  for (const wchar_t* args : {L"allowmultinstance=1", L"allowmultinstance=a=b", L"xallowmultinstance"})
    EXPECT_FALSE(ParseCommandLine(args).allowMultiInstance) << args;
}

TEST(CommandLine, ImageFoldersAreLowerCasedAndGetTheProgramFolder) {
  // A blank value is left out; "/" ends the folder as "\\" does.
  const auto sw = ParseCommandLine(L"saveimgsloc=D:\\Shots saveimgsloc=e:\\x\\ saveimgsloc= saveimgsloc=c:/shots/");
  EXPECT_EQ(sw.imageFolders, (std::vector<std::wstring>{
      L"d:\\shots\\Mirel Lumo\\images\\", L"e:\\x\\Mirel Lumo\\images\\", L"c:/shots/Mirel Lumo\\images\\"}));
}

TEST(CommandLine, SplitsAtEverySingleBlank) {
  // Two blanks make an empty token, which is simply ignored.
  auto sw = ParseCommandLine(L"purgeimgage=5  allowmultinstance purgeimgs=0 ");
  EXPECT_TRUE(sw.purgeImageAgeDays == 5 && sw.allowMultiInstance && !sw.purgeImgs);
}

TEST(CommandLine, ArgumentTextFollowsTheProgramPath) {
  using modCommandLine::ArgumentText;
  EXPECT_EQ(ArgumentText(L"\"C:\\Program Files\\Mirel\\MirelLumo.exe\" screencapture cb=1"), L"screencapture cb=1");
  EXPECT_EQ(ArgumentText(L"MirelLumo.exe   a b"), L"a b");
  for (const wchar_t* none : {L"\"C:\\x y\\MirelLumo.exe\"", L"MirelLumo.exe", L"\"unterminated"})
    EXPECT_EQ(ArgumentText(none), L"") << none;
}

// The start-up error's text. Positive numbers: the Startup tests read them off the real start-up error.
TEST(FatalMessage, LaysOutErrorNumberAndLineWithVbStyleSigns) {
  EXPECT_EQ(AppErrors::FormatFatalMessage(L"S", AppError{AppErrors::FirstObjectError, L"[C000000D] Error in X", 0}),
            L"S\r\n\r\nError: [C000000D] Error in X\r\nNumber: -2147221504\r\nLine:  0");
}
