// The About box of the real program: its texts, modality, and the web link.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "e2e/driver.h"

using namespace e2e;

namespace {

std::wstring TextOf(HWND box, int id) {
  wchar_t text[512] = {};
  ::GetWindowTextW(::GetDlgItem(box, id), text, 512);
  return text;
}


}  // namespace

TEST(About, ShowsTitleVersionAndLinkModallyAndOpensTheLink) {
  const std::wstring recorder = Env(L"LUMO_URL_RECORDER"), log = Env(L"LUMO_URL_LOG");
  ASSERT_FALSE(recorder.empty()) << "scripts/test sets LUMO_URL_RECORDER";
  ::DeleteFileW(UnixToWindows(log).c_str());
  HKEY key;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &key, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(key, L"Browsers", 0, REG_SZ, reinterpret_cast<const BYTE*>(recorder.c_str()),
                   static_cast<DWORD>((recorder.size() + 1) * sizeof(wchar_t)));
  ::RegCloseKey(key);

  Program app(L"allowmultinstance");
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(2001, 0), 0);  // the menu item "About"
  HWND box = app.WaitForWindow(L"MirelLumo.frmAbout", nullptr, 10s);
  ASSERT_NE(box, nullptr);
  wchar_t title[128] = {};
  ::GetWindowTextW(box, title, 128);
  EXPECT_STREQ(title, L"About Mirel Lumo");
  EXPECT_EQ(TextOf(box, 201), L"Mirel Lumo");
  EXPECT_EQ(TextOf(box, 202), L"Version 1.3.0");
  EXPECT_EQ(TextOf(box, 203), L"Desktop Tools with native integrations that just work and support the Mirel values");
  EXPECT_EQ(TextOf(box, 205), L"Visit:");
  EXPECT_EQ(TextOf(box, 206), L"www.mirel.example");
  EXPECT_EQ(TextOf(box, IDOK), L"OK");
  EXPECT_FALSE(::IsWindowEnabled(main));  // the main window takes no input meanwhile

  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(206, STN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, 206)));
  std::string recorded;
  EXPECT_TRUE(WaitUntil(
      [&] {
        std::ifstream in(std::filesystem::path(UnixToWindows(log)));
        std::getline(in, recorded);
        return !recorded.empty();
      },
      15s));
  // Wine's browser hand-off writes the address in canonical form, with "/" for the empty path.
  if (const auto at = recorded.find("/?"); at != std::string::npos) recorded.erase(at, 1);
  EXPECT_EQ(recorded, "https://www.mirel.example?source=lumo&version1.3.0");

  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5s));
  EXPECT_TRUE(::IsWindowEnabled(main));
  EXPECT_TRUE(app.CloseAndWait());
}
