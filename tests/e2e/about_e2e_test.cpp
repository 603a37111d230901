// The About box of the real program: its texts, modality, and the web link.
#include <gtest/gtest.h>

#include "e2e/driver.h"

using namespace e2e;

TEST(About, ShowsTitleVersionAndLinkModallyAndOpensTheLink) {
  const std::wstring log = RecordUrls(L"Browsers");
  ASSERT_FALSE(log.empty()) << "scripts/test sets LUMO_URL_RECORDER";

  Program app(L"allowmultinstance");
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  ::PostMessageW(main, WM_COMMAND, MAKEWPARAM(2001, 0), 0);  // the menu item "About"
  HWND box = app.WaitForWindow(L"MirelLumo.frmAbout", nullptr, 10s);
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(WindowText(box), L"About Mirel Lumo");
  for (auto [id, text] : {std::pair{201, L"Mirel Lumo"}, {202, L"Version 1.3.0"}, {205, L"Visit:"},
                          {206, L"www.mirel.example"}, {IDOK, L"OK"},
                          {203, L"Desktop Tools with native integrations that just work and support the Mirel values"}})
    EXPECT_EQ(ItemText(box, id), text) << id;
  EXPECT_FALSE(::IsWindowEnabled(main));  // the main window takes no input meanwhile

  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(206, STN_CLICKED), reinterpret_cast<LPARAM>(::GetDlgItem(box, 206)));
  std::string recorded;
  EXPECT_TRUE(WaitUntil([&] { return (recorded = ReadBytes(log)).find('\n') != std::string::npos; }, 15s));
  recorded = recorded.substr(0, recorded.find('\n'));  // the first address
  // Wine's browser hand-off writes the address in canonical form, with "/" for the empty path.
  if (const auto at = recorded.find("/?"); at != std::string::npos) recorded.erase(at, 1);
  EXPECT_EQ(recorded, "https://www.mirel.example?source=lumo&version1.3.0");

  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(box); }, 5s));
  EXPECT_TRUE(::IsWindowEnabled(main));
  EXPECT_TRUE(app.CloseAndWait());
}
