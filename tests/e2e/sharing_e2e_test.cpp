// The hand-offs of the real program: the clipboard watcher follows what is copied, paste
// starts a fresh history, the e-mail command without Outlook, the composite that the copy
// and the attachment hand on, the JIRA and web buttons' notices, and the settings panel's Done.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <random>

#include "capture/modSaveImages.h"
#include "e2e/editor_fixture.h"
#include "editor/picture_io.h"
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
  return testclipboard::Put(CF_HDROP, block.data(), block.size());
}

std::wstring ClipboardText() {
  const std::string bytes = testclipboard::Bytes(CF_UNICODETEXT);
  const auto* text = reinterpret_cast<const wchar_t*>(bytes.data());
  return std::wstring(text, wcsnlen(text, bytes.size() / sizeof(wchar_t)));
}

class Sharing : public Editor {
 protected:
  bool PasteEnabled() const { return ::IsWindowEnabled(::GetDlgItem(tools_, ids::cmdPaste)) != FALSE; }
  // No default mail program registered: Simple MAPI has nobody to ask. Put back after the test.
  void WithoutMailProgram() {
    ASSERT_EQ(::RegCreateKeyExW(HKEY_LOCAL_MACHINE, L"Software\\Clients\\Mail", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &mailClients_, nullptr),
              ERROR_SUCCESS);
    DWORD size = sizeof oldMailer_;
    hadMailer_ = ::RegQueryValueExW(mailClients_, nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(oldMailer_), &size) ==
                 ERROR_SUCCESS;
    ::RegSetValueExW(mailClients_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(L""), sizeof(wchar_t));
  }
  void TearDown() override {
    Editor::TearDown();
    if (!mailClients_) return;
    if (hadMailer_)
      ::RegSetValueExW(mailClients_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(oldMailer_),
                       static_cast<DWORD>((wcslen(oldMailer_) + 1) * 2));
    else ::RegDeleteValueW(mailClients_, nullptr);
    ::RegCloseKey(mailClients_);
  }
  // A picture handed on as bytes of a file of that kind, read back.
  editor::Image Decoded(const std::string& bytes, const wchar_t* extension) {
    const std::wstring path = base_ + L"\\handed-on" + extension;
    WriteBytes(path, bytes);
    std::wstring why;
    auto image = editor::LoadPictureFile(path, why);
    EXPECT_TRUE(image) << why;
    return image ? std::move(*image) : editor::Image();
  }

  HKEY mailClients_ = nullptr;
  bool hadMailer_ = false;
  wchar_t oldMailer_[256] = {};
};

// The clipboard's DIB as the bytes of a BMP file.
std::string BmpFile(const std::string& dib) {
  const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
  const DWORD masks = info->biCompression == BI_BITFIELDS && info->biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + dib.size()), 0, 0,
                        static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + info->biSize + masks + info->biClrUsed * 4)};
  return std::string(reinterpret_cast<const char*>(&file), sizeof file) + dib;
}

}  // namespace

TEST_F(Sharing, TheWatcherFollowsTheClipboardAndPasteStartsAFreshHistory) {
  ShowTools();
  EXPECT_FALSE(PasteEnabled());
  // A bitmap: paste is offered.
  ASSERT_TRUE(PutBitmap(Pattern(120, 90)));
  EXPECT_TRUE(WaitUntil([&] { return PasteEnabled(); }, 4s));
  // A copied text file: nothing to paste, the preview goes.
  const std::wstring text = base_ + L"\\notes.txt";
  WriteBytes(text, "notes");
  ASSERT_TRUE(PutFiles({text}));
  EXPECT_TRUE(WaitUntil([&] { return !PasteEnabled(); }, 4s));
  // A bitmap again, then a file list that holds no file: nothing to paste.
  ASSERT_TRUE(PutBitmap(Pattern(50, 40)));
  EXPECT_TRUE(WaitUntil([&] { return PasteEnabled(); }, 4s));
  ASSERT_TRUE(PutFiles({}));
  EXPECT_TRUE(WaitUntil([&] { return !PasteEnabled(); }, 4s));
  // A bitmap again, then a copied ".gif" that is no picture: the preview goes with it.
  ASSERT_TRUE(PutBitmap(Pattern(50, 40)));
  EXPECT_TRUE(WaitUntil([&] { return PasteEnabled(); }, 4s));
  const std::wstring broken = base_ + L"\\broken.gif";
  WriteBytes(broken, "not a picture");
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
  EXPECT_TRUE(Shows(shot));
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
  ASSERT_NO_FATAL_FAILURE(WithoutMailProgram());
  const std::wstring log = RecordUrls(L"Mailers");
  ASSERT_FALSE(log.empty()) << "scripts/test sets LUMO_URL_RECORDER";

  Paste(Pattern(160, 120));
  // Cancel: nothing written.
  Click(Control(ids::Command2_0));
  std::wstring offered;
  ASSERT_TRUE(Answer(L"Attachment", nullptr, false, &offered));
  // The default name, "YYYY-MM-DDTHH-M", of today.
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  wchar_t today[16];
  swprintf(today, 16, L"%04d-%02d-%02dT", now.wYear, now.wMonth, now.wDay);
  EXPECT_EQ(offered.rfind(today, 0), 0u) << offered;
  EXPECT_TRUE(fs::is_empty(fs::path(folder_.Images())));

  // A blank name: testsaveimg.jpg, mailto opened, the path on the clipboard.
  Click(Control(ids::Command2_0));
  ASSERT_TRUE(Answer(L"Attachment", L"  "));
  EXPECT_EQ(app_->DismissMessageBox(L"Attachment"), L"Attachment filepath on clipboard");
  const std::wstring first = folder_.Images() + L"testsaveimg.jpg";
  EXPECT_TRUE(FileExists(first));
  EXPECT_EQ(_wcsicmp(ClipboardText().c_str(), first.c_str()), 0) << ClipboardText();
  // Mails opened, as the recorder logged them (it runs in a process of its own).
  auto mails = [&] {
    const std::string text = ReadBytes(log);
    size_t n = 0;
    for (size_t at = text.find("mailto:"); at != std::string::npos; at = text.find("mailto:", at + 1)) ++n;
    return n;
  };
  EXPECT_TRUE(WaitUntil([&] { return mails() == 1; }, 5s)) << ReadBytes(log);
  // Again: the next number.
  Click(Control(ids::Command2_0));
  ASSERT_TRUE(Answer(L"Attachment", L""));
  EXPECT_EQ(app_->DismissMessageBox(L"Attachment"), L"Attachment filepath on clipboard");
  EXPECT_TRUE(FileExists(folder_.Images() + L"testsaveimg1.jpg"));
  EXPECT_TRUE(WaitUntil([&] { return mails() == 2; }, 5s)) << ReadBytes(log);
  // A name that would leave the folder: "File Error", nothing written.
  Click(Control(ids::Command2_0));
  ASSERT_TRUE(Answer(L"Attachment", L"..\\outside"));
  EXPECT_EQ(app_->DismissMessageBox(L"File Error"),
            L"There was an error saving the attatchment file. Please retry. Ensure filename contains no invalid characters");
  EXPECT_FALSE(FileExists(base_ + L"\\Mirel Lumo\\outside.jpg"));
  EXPECT_EQ(std::distance(fs::directory_iterator(fs::path(folder_.Images())), fs::directory_iterator()), 2);
  // A name the file system cannot hold (too long): "File Error", no mail.
  ASSERT_TRUE(PutText(L"before"));
  Click(Control(ids::Command2_0));
  ASSERT_TRUE(Answer(L"Attachment", std::wstring(300, L'n').c_str()));
  EXPECT_EQ(app_->DismissMessageBox(L"File Error"),
            L"There was an error saving the attatchment file. Please retry. Ensure filename contains no invalid characters");
  PumpFor(500ms);
  EXPECT_EQ(mails(), 2u);
  EXPECT_EQ(ClipboardText(), L"before");
  // The clipboard held by another program: the path is not there, and the message says so.
  ASSERT_TRUE(::OpenClipboard(nullptr));
  Click(Control(ids::Command2_0));
  const bool answered = Answer(L"Attachment", L"held");
  const std::wstring held = app_->DismissMessageBox(L"Attachment");
  ::CloseClipboard();
  ASSERT_TRUE(answered);
  EXPECT_EQ(held.rfind(L"The attachment's path could not be put on the clipboard:", 0), 0u) << held;
  EXPECT_EQ(ClipboardText().find(L"held"), std::wstring::npos);
}

// The e-mail's JPEG and every format the copy puts on the clipboard hold the composite: the
// picture, black where the redaction is (the JPEG within its noise), and the footer below.
// The copy stays on the clipboard once the program has gone.
TEST_F(Sharing, TheAttachmentAndTheCopyHoldTheCompositeAndNothingOfARedaction) {
  ASSERT_NO_FATAL_FAILURE(WithoutMailProgram());
  ASSERT_FALSE(RecordUrls(L"Mailers").empty()) << "scripts/test sets LUMO_URL_RECORDER";
  auto bright = Pattern(300, 200);
  for (size_t i = 0; i < bright.pixelCount(); ++i) bright.pixels()[i] |= 0x808080;  // no channel below 128
  Paste(bright);
  KeyChord({'R'});
  Drag(At(102, 62), At(199, 141));  // black from 100, 60 to 201, 143: on JPEG's 2 x 2 colour blocks
  std::vector<std::pair<const char*, editor::Image>> handedOn;
  Click(Control(ids::Command2_0));
  ASSERT_TRUE(Answer(L"Attachment", L"redacted"));
  EXPECT_EQ(app_->DismissMessageBox(L"Attachment"), L"Attachment filepath on clipboard");
  handedOn.emplace_back("JPEG", Decoded(ReadBytes(folder_.Images() + L"redacted.jpg"), L".jpg"));
  const DWORD before = ::GetClipboardSequenceNumber();
  Click(Control(ids::cmdCopyImage0));
  ASSERT_TRUE(WaitUntil([&] { return ::GetClipboardSequenceNumber() != before && ::IsClipboardFormatAvailable(CF_BITMAP); }, 5s));
  PumpFor(200ms);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  if (auto copied = editor::ImageFromBitmap(static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP))))
    handedOn.emplace_back("bitmap", std::move(*copied));
  ::CloseClipboard();
  ASSERT_TRUE(app_->CloseAndWait());
  handedOn.emplace_back("DIB", Decoded(BmpFile(testclipboard::Bytes(CF_DIB)), L".bmp"));
  handedOn.emplace_back("PNG", Decoded(testclipboard::Bytes(testclipboard::Png()), L".png"));
  ASSERT_EQ(handedOn.size(), 4u);
  for (const auto& [what, image] : handedOn) {
    ASSERT_EQ(image.width, 300) << what;
    ASSERT_EQ(image.height, 234) << what;  // with the separator and the footer
    const int noise = std::string_view(what) == "JPEG" ? 40 : 0;
    auto matches = [&](uint32_t a, uint32_t b) {
      for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > noise) return false;
      return true;
    };
    // Outside the rectangle the picture, exactly where the format is lossless.
    int wrong = 0;
    for (int y = 0; y < 200; ++y)
      for (int x = 0; x < 300; ++x) {
        const bool covered = x >= 100 && x < 202 && y >= 60 && y < 144;
        if (covered || noise == 0) wrong += !matches(image.at(x, y) & 0xFFFFFF, covered ? 0 : testpictures::At(bright, x, y));
      }
    EXPECT_EQ(wrong, 0) << what;
    int coloured = 0;  // the footer's logo and name, where the format is lossless
    for (int y = 202; y < 234 && noise == 0; ++y)
      for (int x = 119; x <= 271; ++x) coloured += (image.at(x, y) & 0xFFFFFF) != 0xFFFFFF;
    EXPECT_TRUE(noise > 0 || coloured > 200) << what << ": " << coloured;
  }
}

TEST_F(Sharing, TheJiraAndWebButtonsOnlyAnnounce) {
  Paste(Pattern(80, 60));
  Click(Control(ids::cmdSend2JIRA));
  EXPECT_EQ(app_->DismissMessageBox(L"Info"), L"JIRA upload functionality is coming soon");
  Click(Control(ids::cmdSend2Mirel));
  EXPECT_EQ(app_->DismissMessageBox(L"Info"), L"Mirel Web Push functionality is coming soon");
  EXPECT_EQ(app_->WaitForWindow(L"MirelLumo.InputBox", nullptr, 300ms), nullptr);  // no prompt
  EXPECT_TRUE(fs::is_empty(fs::path(folder_.Images())));
}

TEST_F(Sharing, DoneAndTheCloseStoreTheFourValuesEncrypted) {
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
  // Typed and not confirmed with Done: stored when the program closes.
  type(ids::txtJiraUname, L"bob");
  EXPECT_TRUE(app_->CloseAndWait());
  EXPECT_EQ(stored("JIRA", "username"), L"bob");
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
    const std::wstring text = app_->DismissMessageBox(L"Settings Error");
    EXPECT_EQ(text.rfind(L"There was an error starting the saving config settings. If this persists, contact support\r\n\r\nError: ", 0), 0u)
        << text;
    EXPECT_NE(text.find(L"\r\nLine:  1"), std::wstring::npos) << text;
    EXPECT_TRUE(app_->WaitForExit(10s));  // at once, without the shutdown steps
  }
  EXPECT_EQ(ReadBytes(ConfigFile()), saved);
}

TEST_F(Sharing, AKillWhileTheAttachmentIsSavedLeavesNoPartialFile) {
  std::mt19937 random(11);
  std::uniform_int_distribution<int> delay(0, 150);
  const auto large = testpictures::Noise(2400, 1600, 11);  // a slow picture to encode
  for (int round = 0; round < 4; ++round) {
    if (round > 0) {
      ASSERT_NO_FATAL_FAILURE(Start());
    }
    ASSERT_NO_FATAL_FAILURE(Paste(large));
    Click(Control(ids::Command2_0));
    ASSERT_TRUE(Answer(L"Attachment", L"killed"));
    app_->WaitForExit(Duration(delay(random)));
    app_->Kill();  // wherever the save was
    for (const auto& entry : fs::directory_iterator(fs::path(folder_.Images()))) {
      const std::wstring name = entry.path().filename().wstring();
      if (!name.starts_with(L"killed")) continue;  // a temporary name: nothing counts or sends it
      const std::string bytes = ReadBytes(entry.path().wstring());
      ASSERT_GE(bytes.size(), 4u) << "round " << round;
      EXPECT_EQ(bytes.substr(0, 2), "\xFF\xD8") << "round " << round;
      EXPECT_EQ(bytes.substr(bytes.size() - 2), "\xFF\xD9") << "round " << round << ": " << bytes.size() << " bytes";
    }
  }
}
