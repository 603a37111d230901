// Start-up and shutdown of the real program: config.ini, the Run entry, one instance, errors, kills.
#include <gtest/gtest.h>

#include <cstdio>
#include <random>

#include "e2e/driver.h"
#include "editor/frmMain_ids.h"
#include "shell/modAES.h"

using namespace e2e;

namespace {

constexpr const char* EmptyConfig = "[Mirel]\r\ntoken=\r\n[JIRA]\r\nusername=\r\ninstance=\r\ntoken=\r\n";
constexpr const wchar_t* StartupError =
    L"There was an error starting the application. If this persists, contact support\r\n\r\nError: ";

std::string Stored(const std::wstring& text) {
  const std::wstring s = modAES::AesEncryptText(text, modAES::CredentialPassphrase);
  return std::string(s.begin(), s.end());
}

std::string ConfigOf(const std::wstring& mirel, const std::wstring& user, const std::wstring& instance,
                     const std::wstring& token) {
  return "[Mirel]\r\ntoken=" + Stored(mirel) + "\r\n[JIRA]\r\nusername=" + Stored(user) +
         "\r\ninstance=" + Stored(instance) + "\r\ntoken=" + Stored(token) + "\r\n";
}

std::wstring RunValue() {
  wchar_t data[1024] = {};
  DWORD size = sizeof data;
  if (::RegGetValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"MirelLumo",
                     RRF_RT_REG_SZ, nullptr, data, &size) != ERROR_SUCCESS)
    return {};
  return data;
}

// Each test starts from no configuration and no Run entry, and leaves no Run entry: Wine
// would start the program from it the next time its services start.
class Startup : public ::testing::Test {
 protected:
  void SetUp() override { Clean(); }
  void TearDown() override { Clean(); }
  static void Clean() {
    ::DeleteFileW(ConfigFile().c_str());
    DeleteRunEntry();
  }
};

// Opens config.ini for reading only and shares it with no one, as another program might.
win::unique_file LockConfig() {
  return win::unique_file(::CreateFileW(ConfigFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
}

}  // namespace

// The first start writes four empty keys and the Run entry and shows the window maximised;
// later ones keep the stored values: the username trimmed, one "/" off the instance, the
// other sections and keys gone.
TEST_F(Startup, StoredValuesSurviveRestartsAndOnlyTheFourKeysRemain) {
  {
    Program app(L"");
    HWND main = app.WaitForMainWindow();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(WindowText(main), L"Mirel Lumo (Beta)");
    EXPECT_TRUE(WaitUntil([&] { return ::IsZoomed(main) != FALSE; }, 5s));
    EXPECT_EQ(ReadBytes(ConfigFile()), EmptyConfig);
    EXPECT_EQ(RunValue(), L"\"" + ExePath() + L"\"");
    ASSERT_TRUE(app.CloseAndWait());
  }
  const std::wstring token(60, L'T');  // as long as a real API token
  const std::string stored = ConfigOf(L"mirel-token", L"  bob  ", L"https://jira.example.com/", token);
  WriteBytes(ConfigFile(), "[Extra]\r\na=1\r\n" + stored + "[JIRA]\r\nmore=2\r\n");
  for (int run = 0; run < 2; ++run) {
    Program app(L"");
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    ASSERT_TRUE(app.CloseAndWait());
    EXPECT_EQ(ReadBytes(ConfigFile()), ConfigOf(L"mirel-token", L"bob", L"https://jira.example.com", token)) << run;
  }
}

TEST_F(Startup, ASecondInstanceIsTurnedAwayUnlessMultipleAreAllowed) {
  Program first(L"");
  ASSERT_NE(first.WaitForMainWindow(), nullptr);
  const std::string config = ReadBytes(ConfigFile());

  // With a capture asked for: its overlay is out of the way before the message shows.
  Program second(L"screencapture purgeimgs=0");
  HWND box = second.WaitForMessageBox(L"Multi Instance");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(second.WaitForWindow(L"MirelLumo.frmCapture", nullptr, 0ms), nullptr);
  EXPECT_EQ(MessageBoxText(box),
            L"Another instance of this app has been detected. This instance must close. If this is an issue, "
            L"please contact your administrator");
  EXPECT_EQ(second.WaitForMainWindow(0ms), nullptr);
  // Closing its hidden main window meanwhile (a polite kill) must not store anything.
  const auto closeOwn = [](HWND hwnd, LPARAM pid) -> BOOL {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == static_cast<DWORD>(pid)) ::PostMessageW(hwnd, WM_CLOSE, 0, 0);
    return TRUE;
  };
  ::EnumWindows(closeOwn, static_cast<LPARAM>(second.Pid()));
  EXPECT_EQ(second.WaitForMessageBox(L"Shutdown Error", 500ms), nullptr);
  box = second.WaitForMessageBox(L"Multi Instance", 2s);
  if (box) PressOk(box);
  EXPECT_TRUE(second.WaitForExit(10s));
  EXPECT_EQ(ReadBytes(ConfigFile()), config);
  EXPECT_TRUE(first.Running());

  Program third(L"allowmultinstance");
  EXPECT_NE(third.WaitForMainWindow(), nullptr);
  EXPECT_TRUE(third.CloseAndWait());
  EXPECT_TRUE(first.CloseAndWait());
}

TEST_F(Startup, AnOverflowingSwitchEndsTheStartWithTheStartupError) {
  WriteBytes(ConfigFile(), ConfigOf(L"", L"keep", L"", L""));
  const std::string before = ReadBytes(ConfigFile());
  Program app(L"purgeimgage=40000");
  HWND box = app.WaitForMessageBox(L"Startup Error");
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(MessageBoxText(box), StartupError + std::wstring(L"Overflow\r\nNumber:  6\r\nLine:  3"));
  EXPECT_EQ(app.WaitForMainWindow(0ms), nullptr);
  PressOk(box);
  EXPECT_TRUE(app.WaitForExit(10s));
  EXPECT_EQ(ReadBytes(ConfigFile()), before);
  EXPECT_EQ(RunValue(), L"");
}

TEST_F(Startup, KillsDuringStartupAndShutdownNeverLeaveAPartialConfig) {
  const std::string seeded = ConfigOf(L"m", L"user", L"https://jira.example.com", std::wstring(60, L'k'));
  WriteBytes(ConfigFile(), seeded);
  std::mt19937 random(20261206);
  std::uniform_int_distribution<int> delay(0, 400);
  for (int round = 0; round < 12; ++round) {
    {
      std::fprintf(stderr, "round %d\n", round);  // should a round ever hang, the log says which
      Program app(L"");
      if (round % 2 == 1) {  // during shutdown
        ASSERT_NE(app.WaitForMainWindow(), nullptr);
        ::PostMessageW(app.WaitForMainWindow(), WM_CLOSE, 0, 0);
      }
      app.WaitForExit(Duration(delay(random)));  // a bounded wait, then the kill
      app.Kill();
    }
    EXPECT_EQ(ReadBytes(ConfigFile()), seeded) << "round " << round;
  }
}

// A config.ini another program holds: at start-up it is left alone with the "Startup
// Error"; at shutdown it cannot be replaced, and the "Shutdown Error" says so.
TEST_F(Startup, AConfigFileThatCannotBeReadOrWrittenIsLeftAloneWithAnError) {
  const std::string seeded = ConfigOf(L"m", L"user", L"https://jira.example.com", L"token");
  WriteBytes(ConfigFile(), seeded);
  {
    const auto lock = LockConfig();
    ASSERT_TRUE(lock);
    Program app(L"");
    const std::wstring text = app.DismissMessageBox(L"Startup Error");
    EXPECT_TRUE(text.starts_with(StartupError + std::wstring(L"[32] ")) &&
                text.ends_with(L"\r\nNumber:  32\r\nLine:  9")) << text;
    EXPECT_TRUE(app.WaitForExit(10s));
  }
  EXPECT_EQ(ReadBytes(ConfigFile()), seeded);
  Program app(L"");
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  const std::string stored = ReadBytes(ConfigFile());
  {
    const auto lock = LockConfig();
    ASSERT_TRUE(lock);
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    const std::wstring text = app.DismissMessageBox(L"Shutdown Error");
    EXPECT_TRUE(text.starts_with(L"There was an error during application closure. If this persists, contact support"
                                 L"\r\n\r\nError: [32] ") &&
                text.find(L"\r\nLine:  3") != std::wstring::npos) << text;
    EXPECT_TRUE(app.WaitForExit(10s));
  }
  EXPECT_EQ(ReadBytes(ConfigFile()), stored);
}

// A start with a capture makes the window's controls while the start-up is still under way:
// the settings fields must still show, and store back, what was stored.
TEST_F(Startup, AStartWithACaptureKeepsTheStoredSettings) {
  const std::string seeded = ConfigOf(L"m-token", L"carol", L"https://jira.example.com", L"secret");
  WriteBytes(ConfigFile(), seeded);
  Program app(L"screencapture");
  ASSERT_NE(app.WaitForWindow(L"MirelLumo.frmCapture", nullptr, 20s), nullptr);
  PumpFor(300ms);
  KeyChord({VK_ESCAPE});
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  HWND user = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (user = Descendant(main, nullptr, frmMainIds::txtJiraUname)) != nullptr; }, 10s));
  EXPECT_TRUE(WaitUntil([&] { return WindowText(user) == L"carol"; }, 5s)) << WindowText(user);
  ASSERT_TRUE(app.CloseAndWait());
  EXPECT_EQ(ReadBytes(ConfigFile()), seeded);
}
