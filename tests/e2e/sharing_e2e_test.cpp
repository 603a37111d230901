// The hand-offs of the real program: copy gives other programs the composite, the
// clipboard watcher follows what is copied, paste starts a fresh history, the e-mail
// command without Outlook, the JIRA and web buttons' notices, and the settings panel's Done.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <fstream>
#include <random>
#include <sstream>

#include "capture/modSaveImages.h"
#include "e2e/editor_fixture.h"
#include "shell/modAES.h"
#include "shell/modINI.h"

using namespace e2e;

namespace {


bool PutFiles(const std::vector<std::wstring>& paths) {
  std::string block(sizeof(DROPFILES), '\0');
  auto* df = reinterpret_cast<DROPFILES*>(block.data());
  df->pFiles = sizeof(DROPFILES);
  df->fWide = TRUE;
  for (const auto& p : paths) block.append(reinterpret_cast<const char*>(p.c_str()), (p.size() + 1) * 2);
  block.append(2, '\0');
  if (!::OpenClipboard(nullptr)) return false;
  ::EmptyClipboard();
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, block.size());
  std::memcpy(::GlobalLock(mem), block.data(), block.size());
  ::GlobalUnlock(mem);
  const bool ok = ::SetClipboardData(CF_HDROP, mem) != nullptr;
  ::CloseClipboard();
  return ok;
}

std::wstring ClipboardText() {
  std::wstring text;
  if (!::OpenClipboard(nullptr)) return text;
  if (HANDLE h = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const auto* p = static_cast<const wchar_t*>(::GlobalLock(h))) text = p;
    ::GlobalUnlock(h);
  }
  ::CloseClipboard();
  return text;
}

class Sharing : public Editor {
 protected:
  std::wstring Images() const { return base_ + L"\\Mirel Lumo\\images\\"; }
  bool PasteEnabled() const { return ::IsWindowEnabled(::GetDlgItem(tools_, ids::cmdPaste)) != FALSE; }
  // The input box of a command: its reply typed in, then OK (or Cancel).
  bool Answer(const wchar_t* title, const wchar_t* reply, bool ok = true, std::wstring* offered = nullptr) {
    HWND box = app_->WaitForWindow(L"MirelLumo.InputBox", title, 5s);
    if (!box) return false;
    if (offered) {
      wchar_t text[256] = {};
      ::SendMessageW(::GetDlgItem(box, 302), WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text));
      *offered = text;
    }
    if (reply) ::SendMessageW(::GetDlgItem(box, 302), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(reply));
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(ok ? IDOK : IDCANCEL, BN_CLICKED), 0);
    return WaitUntil([&] { return !::IsWindow(box); }, 5s);
  }
  // The next message box with this title: its text, after pressing OK.
  std::wstring Message(const wchar_t* title) {
    HWND box = app_->WaitForMessageBox(title, 10s);
    if (!box) return L"(no message)";
    const std::wstring text = MessageBoxText(box);
    PressOk(box);
    WaitUntil([&] { return !::IsWindow(box); }, 5s);
    return text;
  }
};

}  // namespace

TEST_F(Sharing, CopyGivesOtherProgramsThePictureWithSeparatorAndFooter) {
  const auto pattern = Pattern(300, 200);
  Paste(pattern);
  const DWORD before = ::GetClipboardSequenceNumber();
  Click(Control(ids::cmdCopyImage0));
  ASSERT_TRUE(WaitUntil([&] { return ::GetClipboardSequenceNumber() != before && ::IsClipboardFormatAvailable(CF_BITMAP); }, 5s));
  PumpFor(200ms);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  HBITMAP copied = static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP));
  BITMAP bm{};
  const bool read = copied && ::GetObjectW(copied, sizeof bm, &bm);
  std::vector<DWORD> pixels(300u * 234u);
  if (read) {
    BITMAPINFO bi{};
    bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 300, -234, 1, 32, BI_RGB};
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, copied, 0, 234, pixels.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
  }
  const bool png = ::IsClipboardFormatAvailable(::RegisterClipboardFormatW(L"PNG"));
  ::CloseClipboard();
  ASSERT_TRUE(read);
  EXPECT_EQ(bm.bmWidth, 300);
  EXPECT_EQ(bm.bmHeight, 234);  // H + 34
  EXPECT_TRUE(png);
  EXPECT_EQ(pixels[0] & 0xFFFFFF, pattern.pixels()[0] & 0xFFFFFF);
  EXPECT_EQ(pixels[199u * 300u + 299u] & 0xFFFFFF, pattern.pixels()[199u * 300u + 299u] & 0xFFFFFF);
  EXPECT_EQ(pixels[200u * 300u + 10u] & 0xFFFFFF, 0xFFFFFFu);  // the white row
  const COLORREF ink = ::GetSysColor(COLOR_BTNTEXT);
  EXPECT_EQ(pixels[201u * 300u + 10u] & 0xFFFFFF,
            static_cast<DWORD>(GetRValue(ink) << 16 | GetGValue(ink) << 8 | GetBValue(ink)));  // the separator
  int coloured = 0;
  for (int y = 202; y < 234; ++y)
    for (int x = 119; x <= 271; ++x) coloured += (pixels[static_cast<size_t>(y) * 300 + x] & 0xFFFFFF) != 0xFFFFFF;
  EXPECT_GT(coloured, 200);  // the footer's logo and name
  // The clipboard keeps the picture after the program has gone.
  ASSERT_TRUE(app_->CloseAndWait());
  ASSERT_TRUE(::OpenClipboard(nullptr));
  HANDLE dib = ::GetClipboardData(CF_DIB);
  const auto* header = dib ? static_cast<const BITMAPINFOHEADER*>(::GlobalLock(dib)) : nullptr;
  const LONG width = header ? header->biWidth : 0, height = header ? header->biHeight : 0;
  if (header) ::GlobalUnlock(dib);
  HANDLE pngData = ::GetClipboardData(::RegisterClipboardFormatW(L"PNG"));
  const auto* pngBytes = pngData ? static_cast<const char*>(::GlobalLock(pngData)) : nullptr;
  const bool signature = pngBytes && std::memcmp(pngBytes, "\x89PNG", 4) == 0;
  if (pngBytes) ::GlobalUnlock(pngData);
  ::CloseClipboard();
  EXPECT_EQ(width, 300);
  EXPECT_EQ(height, 234);
  EXPECT_TRUE(signature);
}

TEST_F(Sharing, TheWatcherFollowsTheClipboardAndPasteStartsAFreshHistory) {
  ShowTools();
  EXPECT_FALSE(PasteEnabled());
  // A bitmap: paste is offered.
  ASSERT_TRUE(PutBitmap(Pattern(120, 90)));
  EXPECT_TRUE(WaitUntil([&] { return PasteEnabled(); }, 4s));
  // A copied text file: nothing to paste, the preview goes.
  const std::wstring text = base_ + L"\\notes.txt";
  std::ofstream(fs::path(text)) << "notes";
  ASSERT_TRUE(PutFiles({text}));
  EXPECT_TRUE(WaitUntil([&] { return !PasteEnabled(); }, 4s));
  // A bitmap again, then a copied ".gif" that is no picture: the preview goes with it.
  ASSERT_TRUE(PutBitmap(Pattern(50, 40)));
  EXPECT_TRUE(WaitUntil([&] { return PasteEnabled(); }, 4s));
  const std::wstring broken = base_ + L"\\broken.gif";
  std::ofstream(fs::path(broken)) << "not a picture";
  ASSERT_TRUE(PutFiles({broken}));
  EXPECT_TRUE(WaitUntil([&] { return !PasteEnabled(); }, 4s));
  // A copied picture file, in capitals: offered, and pasted as the new picture.
  const std::wstring picture = base_ + L"\\Shot.PNG";
  auto shot = Pattern(150, 70);
  ASSERT_TRUE(modSaveImages::SaveImageFile(shot.bitmap(), picture, L".png", 100, 24, 6));
  ASSERT_TRUE(PutFiles({picture, text}));
  EXPECT_TRUE(WaitUntil([&] { return PasteEnabled(); }, 4s));
  Click(::GetDlgItem(tools_, ids::cmdPaste));
  EXPECT_TRUE(PictureSizeIs(150, 70));
  HideTools();
  int wrong = 0;
  EXPECT_TRUE(Shows(Colours(shot), &wrong)) << wrong << " pixels differ";
  EXPECT_TRUE(::IsWindowEnabled(Control(ids::cmdSend2JIRA)));
  Click(Control(ids::Commandback));  // a fresh history: one step back is the empty state
  EXPECT_TRUE(Shows(std::vector<COLORREF>(150 * 70, ::GetSysColor(COLOR_WINDOW))));
  // An empty clipboard: nothing offered.
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ::CloseClipboard();
  ShowTools();
  EXPECT_TRUE(WaitUntil([&] { return !PasteEnabled(); }, 4s));
}

TEST_F(Sharing, EmailWithoutOutlookOrMapiOpensMailtoAndLeavesThePathOnTheClipboard) {
  // No default mail program registered: Simple MAPI has nobody to ask.
  HKEY clients = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Clients\\Mail", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                              &clients, nullptr),
            ERROR_SUCCESS);
  wchar_t old[256] = {};
  DWORD size = sizeof old;
  const bool hadOld = ::RegQueryValueExW(clients, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(old), &size) == ERROR_SUCCESS;
  ::RegSetValueExW(clients, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
  struct Restore {
    HKEY key;
    bool had;
    const wchar_t* value;
    ~Restore() {
      if (had) ::RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value), static_cast<DWORD>((wcslen(value) + 1) * 2));
      else ::RegDeleteValueW(key, nullptr);
      ::RegCloseKey(key);
    }
  } restore{clients, hadOld, old};
  const std::wstring recorder = Env(L"LUMO_URL_RECORDER"), log = UnixToWindows(Env(L"LUMO_URL_LOG"));
  ASSERT_FALSE(recorder.empty()) << "scripts/test sets LUMO_URL_RECORDER";
  HKEY browser = nullptr;
  ASSERT_EQ(::RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                              &browser, nullptr),
            ERROR_SUCCESS);
  ::RegSetValueExW(browser, L"Mailers", 0, REG_SZ, reinterpret_cast<const BYTE*>(recorder.c_str()),
                   static_cast<DWORD>((recorder.size() + 1) * 2));
  ::RegCloseKey(browser);
  ::DeleteFileW(log.c_str());

  Paste(Pattern(160, 120));
  // Cancel: nothing written.
  Click(Control(ids::Command2_0));
  std::wstring offered;
  ASSERT_TRUE(Answer(L"Attachment", nullptr, false, &offered));
  // "YYYY-MM-DDTHH-M": today, and the minute without a leading zero.
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  wchar_t today[16];
  swprintf(today, 16, L"%04d-%02d-%02dT", now.wYear, now.wMonth, now.wDay);
  EXPECT_EQ(offered.rfind(today, 0), 0u) << offered;
  EXPECT_TRUE(offered.size() == 15 || offered.size() == 16) << offered;
  EXPECT_EQ(offered[13], L'-');
  if (offered.size() == 16) {
    EXPECT_NE(offered[14], L'0');
  }
  EXPECT_TRUE(fs::is_empty(fs::path(Images())));

  // A blank name: testsaveimg.jpg, mailto opened, the path on the clipboard.
  Click(Control(ids::Command2_0));
  ASSERT_TRUE(Answer(L"Attachment", L"  "));
  EXPECT_EQ(Message(L"Attachment"), L"Attachment filepath on clipboard");
  const std::wstring first = Images() + L"testsaveimg.jpg";
  EXPECT_TRUE(FileExists(first));
  EXPECT_EQ(_wcsicmp(ClipboardText().c_str(), first.c_str()), 0) << ClipboardText();
  EXPECT_TRUE(WaitUntil([&] { return ReadBytes(log).find("mailto:") != std::string::npos; }, 5s)) << ReadBytes(log);
  // Again: the next number.
  Click(Control(ids::Command2_0));
  ASSERT_TRUE(Answer(L"Attachment", L""));
  EXPECT_EQ(Message(L"Attachment"), L"Attachment filepath on clipboard");
  EXPECT_TRUE(FileExists(Images() + L"testsaveimg1.jpg"));
  // A name that would leave the folder: "File Error", nothing written.
  Click(Control(ids::Command2_0));
  ASSERT_TRUE(Answer(L"Attachment", L"..\\outside"));
  EXPECT_EQ(Message(L"File Error"),
            L"There was an error saving the attatchment file. Please retry. Ensure filename contains no invalid characters");
  EXPECT_FALSE(FileExists(base_ + L"\\Mirel Lumo\\outside.jpg"));
  size_t files = 0;
  for ([[maybe_unused]] const auto& e : fs::directory_iterator(fs::path(Images()))) ++files;
  EXPECT_EQ(files, 2u);
  // A file that cannot be written (a folder stands under its name): "File Error", no mail.
  fs::create_directories(fs::path(Images() + L"blocked.jpg"));
  ::DeleteFileW(log.c_str());
  ASSERT_TRUE(PutText(L"before"));
  Click(Control(ids::Command2_0));
  ASSERT_TRUE(Answer(L"Attachment", L"blocked"));
  EXPECT_EQ(Message(L"File Error"),
            L"There was an error saving the attatchment file. Please retry. Ensure filename contains no invalid characters");
  PumpFor(500ms);
  EXPECT_EQ(ReadBytes(log).find("mailto:"), std::string::npos);
  EXPECT_EQ(ClipboardText(), L"before");
}

TEST_F(Sharing, TheJiraAndWebButtonsOnlyAnnounce) {
  Paste(Pattern(80, 60));
  Click(Control(ids::cmdSend2JIRA));
  EXPECT_EQ(Message(L"Info"), L"JIRA upload functionality is coming soon");
  Click(Control(ids::cmdSend2Mirel));
  EXPECT_EQ(Message(L"Info"), L"Mirel Web Push functionality is coming soon");
  EXPECT_EQ(app_->WaitForWindow(L"MirelLumo.InputBox", nullptr, 300ms), nullptr);  // no prompt
  EXPECT_TRUE(fs::is_empty(fs::path(Images())));
}

TEST_F(Sharing, DoneStoresTheFourValuesEncrypted) {
  const std::string saved = ReadBytes(ConfigFile());  // the settings before, put back after
  Click(Control(ids::cmdSettings));
  HWND settings = Descendant(main_, L"MirelLumo.Panel", ids::frameSettings);
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(settings) != FALSE; }, 3s));
  auto type = [&](int id, const wchar_t* text) {
    ::SendMessageW(::GetDlgItem(settings, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  };
  type(ids::txtJiraUname, L"  alice ");
  type(ids::txtJiraPwd, L"tok3n");
  type(ids::txtJiraInstance, L"https://jira.example/");
  type(ids::txtMirelToken, L"");
  EXPECT_EQ(::SendMessageW(::GetDlgItem(settings, ids::txtJiraPwd), EM_GETPASSWORDCHAR, 0, 0), L'*');
  Click(::GetDlgItem(settings, ids::cmdDoneSettings));
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(settings); }, 3s));  // Done hides the panel
  auto stored = [](std::string_view section, std::string_view key) {
    return modAES::AesDecryptText(modINI::ReadIniValue(section, key, ConfigFile()), modAES::CredentialPassphrase);
  };
  EXPECT_TRUE(WaitUntil([&] { return stored("JIRA", "username") == L"alice"; }, 3s));
  EXPECT_EQ(stored("JIRA", "token"), L"tok3n");
  EXPECT_EQ(stored("JIRA", "instance"), L"https://jira.example/");
  EXPECT_EQ(stored("Mirel", "token"), L"");
  EXPECT_TRUE(app_->CloseAndWait());
  WriteBytes(ConfigFile(), saved);
}

TEST_F(Sharing, AClipboardHeldByAnotherProgramIsLookedAtAgainAtTheNextTick) {
  ShowTools();
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ::CloseClipboard();
  ASSERT_TRUE(WaitUntil([&] { return !PasteEnabled(); }, 4s));
  // A bitmap put there by a program that keeps the clipboard open for three ticks.
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  auto dib = Pattern(40, 30);
  ::SetClipboardData(CF_BITMAP, ::CopyImage(dib.bitmap(), IMAGE_BITMAP, 0, 0, 0));
  PumpFor(4500ms);
  const bool offeredWhileHeld = PasteEnabled();
  ::CloseClipboard();
  EXPECT_FALSE(offeredWhileHeld);
  EXPECT_TRUE(WaitUntil([&] { return PasteEnabled(); }, 4s));
  EXPECT_TRUE(app_->Running());
}

TEST_F(Sharing, DoneThatCannotStoreEndsWithTheSettingsError) {
  const std::string saved = ReadBytes(ConfigFile());
  Click(Control(ids::cmdSettings));
  HWND settings = Descendant(main_, L"MirelLumo.Panel", ids::frameSettings);
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(settings) != FALSE; }, 3s));
  {
    // Another program holds config.ini open for itself: the new file cannot replace it.
    win::unique_file lock(::CreateFileW(ConfigFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    Click(::GetDlgItem(settings, ids::cmdDoneSettings));
    HWND box = app_->WaitForMessageBox(L"Settings Error");
    ASSERT_NE(box, nullptr);
    const std::wstring text = MessageBoxText(box);
    EXPECT_EQ(text.rfind(L"There was an error starting the saving config settings. If this persists, contact support\r\n\r\nError: ", 0), 0u)
        << text;
    EXPECT_NE(text.find(L"\r\nLine:  1"), std::wstring::npos) << text;
    PressOk(box);
    EXPECT_TRUE(app_->WaitForExit(10s));  // at once, without the shutdown steps
  }
  EXPECT_EQ(ReadBytes(ConfigFile()), saved);
}

TEST_F(Sharing, AKillWhileTheAttachmentIsSavedLeavesNoPartialFile) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> delay(0, 150);
  win::DibSection large(2400, 1600);  // noise: a slow picture to encode
  for (size_t i = 0; i < large.pixelCount(); ++i) large.pixels()[i] = static_cast<uint32_t>(random()) & 0x00FFFFFF;
  for (int round = 0; round < 4; ++round) {
    if (round > 0) {
      ASSERT_NO_FATAL_FAILURE(Start());
    }
    ASSERT_NO_FATAL_FAILURE(Paste(large));
    Click(Control(ids::Command2_0));
    ASSERT_TRUE(Answer(L"Attachment", L"killed"));
    app_->WaitForExit(Duration(delay(random)));
    app_->Kill();  // wherever the save was
    for (const auto& entry : fs::directory_iterator(fs::path(Images()))) {
      const std::wstring name = entry.path().filename().wstring();
      if (!name.starts_with(L"killed")) continue;  // a temporary name: nothing counts or sends it
      const std::string bytes = ReadBytes(entry.path().wstring());
      ASSERT_GE(bytes.size(), 4u) << "round " << round;
      EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8") << "round " << round;
      EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xFF\xD9") << "round " << round << ": " << bytes.size() << " bytes";
    }
  }
}
