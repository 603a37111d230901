// The hand-offs of the real program: the clipboard watcher and paste, the e-mail command
// without Outlook, the composite handed on, the JIRA and web buttons, the settings' Done.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <random>
#include <regex>

#include "capture/modSaveImages.h"
#include "e2e/editor_fixture.h"
#include "editor/picture_io.h"
#include "shell/modAES.h"
#include "shell/modINI.h"

using namespace e2e;

namespace {

bool PutFiles(const std::vector<std::wstring>& paths) {
  const DROPFILES head{sizeof(DROPFILES), {}, FALSE, TRUE};
  std::string block(reinterpret_cast<const char*>(&head), sizeof head);
  for (const auto& p : paths) block.append(reinterpret_cast<const char*>(p.c_str()), (p.size() + 1) * 2);
  block.append(2, '\0');
  return testclipboard::Put(CF_HDROP, block.data(), block.size());
}

std::wstring ClipboardText() {
  const std::string bytes = testclipboard::Bytes(CF_UNICODETEXT);
  const auto* text = reinterpret_cast<const wchar_t*>(bytes.data());
  return std::wstring(text, wcsnlen(text, bytes.size() / sizeof(wchar_t)));
}

// The clipboard's DIB as the bytes of a BMP file.
std::string BmpFile(const std::string& dib) {
  const auto* info = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
  const DWORD masks = info->biCompression == BI_BITFIELDS && info->biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
  BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + dib.size()), 0, 0,
                        static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + info->biSize + masks + info->biClrUsed * 4)};
  return std::string(reinterpret_cast<const char*>(&file), sizeof file) + dib;
}

bool Near(uint32_t a, uint32_t b, int noise) {
  for (int shift : {0, 8, 16})
    if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > noise) return false;
  return true;
}

const wchar_t* const MailClients = L"Software\\Clients\\Mail";
const std::wstring FileError =
    L"There was an error saving the attatchment file. Please retry. Ensure filename contains no invalid characters";

class Sharing : public Editor {
 protected:
  // No default mail program registered: Simple MAPI has nobody to ask. Put back after the test.
  void SetUp() override {
    DWORD size = sizeof oldMailer_;
    hadMailer_ = ::RegGetValueW(HKEY_LOCAL_MACHINE, MailClients, nullptr, RRF_RT_REG_SZ, nullptr, oldMailer_, &size) ==
                 ERROR_SUCCESS;
    ASSERT_EQ(::RegSetKeyValueW(HKEY_LOCAL_MACHINE, MailClients, nullptr, REG_SZ, L"", sizeof(wchar_t)), ERROR_SUCCESS);
    Editor::SetUp();
  }
  void TearDown() override {
    Editor::TearDown();
    if (!hadMailer_) ::RegDeleteKeyValueW(HKEY_LOCAL_MACHINE, MailClients, nullptr);
    else ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, MailClients, nullptr, REG_SZ, oldMailer_, (wcslen(oldMailer_) + 1) * 2);
  }
  bool PasteEnabled() const { return ::IsWindowEnabled(::GetDlgItem(tools_, ids::cmdPaste)) != FALSE; }
  // "Send by Email" with that name typed: the text of the message box with that title after it.
  std::wstring SendByEmail(const std::wstring& name, const wchar_t* title = L"Attachment") {
    Click(Control(ids::Command2_0));
    return Answer(L"Attachment", name.c_str()) ? app_->DismissMessageBox(title) : L"(no input box)";
  }
  // A picture handed on as bytes of a file of that kind, read back.
  std::optional<editor::Image> Decoded(const std::string& bytes, const wchar_t* extension) {
    const std::wstring path = base_ + L"\\handed-on" + extension;
    WriteBytes(path, bytes);
    std::wstring why;
    return editor::LoadPictureFile(path, why);
  }

  bool hadMailer_ = false;
  wchar_t oldMailer_[256] = {};
};

}  // namespace

// Paste is offered for a bitmap and a copied picture file, not for anything else, nor while
// another program holds the clipboard open (it is looked at again at the next tick).
TEST_F(Sharing, TheWatcherFollowsTheClipboardAndPasteStartsAFreshHistory) {
  const std::wstring text = base_ + L"\\notes.txt", broken = base_ + L"\\broken.gif", file = base_ + L"\\Shot.PNG";
  WriteBytes(text, "notes");
  WriteBytes(broken, "not a picture");
  const auto shot = Pattern(150, 70);
  ASSERT_TRUE(modSaveImages::SaveImageFile(shot.bitmap(), file, L".png", 100, 24, 6));
  ShowTools();
  EXPECT_FALSE(PasteEnabled());
  // After a bitmap: a copied text file, a file list without a file, a ".gif" that is no picture.
  for (const auto& files : {std::vector{text}, std::vector<std::wstring>{}, std::vector{broken}}) {
    ASSERT_TRUE(PutBitmap(Pattern(50, 40)));
    EXPECT_TRUE(WaitUntil([&] { return PasteEnabled(); }, 4s));
    ASSERT_TRUE(PutFiles(files));
    EXPECT_TRUE(WaitUntil([&] { return !PasteEnabled(); }, 4s)) << files.size();
  }
  ASSERT_TRUE(PutFiles({file, text}));  // a picture file, in capitals, first
  EXPECT_TRUE(WaitUntil([&] { return PasteEnabled(); }, 4s));
  Click(::GetDlgItem(tools_, ids::cmdPaste));
  EXPECT_TRUE(PictureSizeIs(150, 70));
  ShowTools(false);
  EXPECT_TRUE(Shows(shot));
  EXPECT_TRUE(::IsWindowEnabled(Control(ids::cmdSend2JIRA)));
  Click(Control(ids::Commandback));  // a fresh history: one step back is the empty state
  EXPECT_TRUE(Shows(Empty(150, 70)));
  ShowTools();
  // A bitmap put there by a program that keeps the clipboard open for three ticks.
  ASSERT_TRUE(::OpenClipboard(nullptr));
  ::EmptyClipboard();
  ::SetClipboardData(CF_BITMAP, ::CopyImage(shot.bitmap(), IMAGE_BITMAP, 0, 0, 0));
  PumpFor(4500ms);
  const bool offeredWhileHeld = PasteEnabled();
  ::CloseClipboard();
  EXPECT_FALSE(offeredWhileHeld);
  EXPECT_TRUE(WaitUntil([&] { return PasteEnabled(); }, 4s));
}

// Cancel writes nothing, nor do the JIRA and web buttons, which only announce. A blank name
// is testsaveimg.jpg, then testsaveimg1.jpg, each opened by mailto with its path on the
// clipboard; a name that would leave the folder or that the file system cannot hold is a
// "File Error" without a file or a mail.
TEST_F(Sharing, EmailWithoutOutlookOrMapiOpensMailtoAndLeavesThePathOnTheClipboard) {
  const std::wstring log = RecordUrls(L"Mailers");
  ASSERT_FALSE(log.empty()) << "scripts/test sets LUMO_URL_RECORDER";
  auto mails = [&, mailto = std::regex("mailto:")] {  // as the recorder logged them (it runs in a process of its own)
    const std::string t = ReadBytes(log);
    return std::distance(std::sregex_iterator(t.begin(), t.end(), mailto), std::sregex_iterator());
  };
  Paste(Pattern(160, 120));
  Click(Control(ids::Command2_0));
  std::wstring offered;
  ASSERT_TRUE(Answer(L"Attachment", nullptr, false, &offered));
  wchar_t today[16] = {};  // "YYYY-MM-DDTHH-M" of today
  ASSERT_EQ(::GetDateFormatEx(LOCALE_NAME_INVARIANT, 0, nullptr, L"yyyy'-'MM'-'dd'T'", today, 16, nullptr), 12);
  EXPECT_TRUE(offered.starts_with(today)) << offered;
  Click(Control(ids::cmdSend2JIRA));
  EXPECT_EQ(app_->DismissMessageBox(L"Info"), L"JIRA upload functionality is coming soon");
  Click(Control(ids::cmdSend2Mirel));
  EXPECT_EQ(app_->DismissMessageBox(L"Info"), L"Mirel Web Push functionality is coming soon");
  EXPECT_EQ(app_->WaitForWindow(L"MirelLumo.InputBox", nullptr, 300ms), nullptr);  // no prompt
  EXPECT_TRUE(fs::is_empty(fs::path(folder_.Images())));
  for (auto [reply, name, count] : {std::tuple{L"  ", L"testsaveimg.jpg", 1}, {L"", L"testsaveimg1.jpg", 2}}) {
    EXPECT_EQ(SendByEmail(reply), L"Attachment filepath on clipboard");
    EXPECT_TRUE(FileExists(folder_.Images() + name)) << name;
    EXPECT_EQ(_wcsicmp(ClipboardText().c_str(), (folder_.Images() + name).c_str()), 0) << ClipboardText();
    EXPECT_TRUE(WaitUntil([&] { return mails() == count; }, 5s)) << ReadBytes(log);
  }
  ASSERT_TRUE(PutText(L"before"));
  for (const std::wstring& reply : {std::wstring(L"..\\outside"), std::wstring(300, L'n')})
    EXPECT_EQ(SendByEmail(reply, L"File Error"), FileError) << reply.size();
  EXPECT_FALSE(FileExists(base_ + L"\\Mirel Lumo\\outside.jpg"));
  EXPECT_EQ(testfiles::FileCount(folder_.Images()), 2u);
  PumpFor(500ms);
  EXPECT_EQ(mails(), 2);
  EXPECT_EQ(ClipboardText(), L"before");
  // The clipboard held by another program: the path is not there, and the message says so.
  ASSERT_TRUE(::OpenClipboard(nullptr));
  const std::wstring held = SendByEmail(L"held");
  ::CloseClipboard();
  EXPECT_EQ(held.rfind(L"The attachment's path could not be put on the clipboard:", 0), 0u) << held;
  EXPECT_EQ(ClipboardText().find(L"held"), std::wstring::npos);
}

// The e-mail's JPEG and every format the copy puts on the clipboard hold the composite: the
// picture, black where the redaction is (the JPEG within its noise), and the footer below.
// The copy stays on the clipboard once the program has gone.
TEST_F(Sharing, TheAttachmentAndTheCopyHoldTheCompositeAndNothingOfARedaction) {
  ASSERT_FALSE(RecordUrls(L"Mailers").empty()) << "scripts/test sets LUMO_URL_RECORDER";
  auto bright = Pattern(300, 200);
  for (size_t i = 0; i < bright.pixelCount(); ++i) bright.pixels()[i] |= 0x808080;  // no channel below 128
  Paste(bright);
  KeyChord({'R'});
  Drag(At(102, 62), At(199, 141));  // black from 100, 60 to 201, 143: on JPEG's 2 x 2 colour blocks
  std::vector<std::pair<const char*, std::optional<editor::Image>>> handedOn;
  EXPECT_EQ(SendByEmail(L"redacted"), L"Attachment filepath on clipboard");
  handedOn.emplace_back("JPEG", Decoded(ReadBytes(folder_.Images() + L"redacted.jpg"), L".jpg"));
  const DWORD before = ::GetClipboardSequenceNumber();
  Click(Control(ids::cmdCopyImage0));
  auto copied = [&] { return ::GetClipboardSequenceNumber() != before && ::IsClipboardFormatAvailable(CF_BITMAP); };
  ASSERT_TRUE(WaitUntil(copied, 5s));
  PumpFor(200ms);
  ASSERT_TRUE(::OpenClipboard(nullptr));
  handedOn.emplace_back("bitmap", editor::ImageFromBitmap(static_cast<HBITMAP>(::GetClipboardData(CF_BITMAP))));
  ::CloseClipboard();
  ASSERT_TRUE(app_->CloseAndWait());
  handedOn.emplace_back("DIB", Decoded(BmpFile(testclipboard::Bytes(CF_DIB)), L".bmp"));
  handedOn.emplace_back("PNG", Decoded(testclipboard::Bytes(testclipboard::Png()), L".png"));
  for (const auto& [what, image] : handedOn) {
    ASSERT_TRUE(image && image->width == 300 && image->height == 234) << what;  // with the separator and footer
    const bool jpeg = std::string_view(what) == "JPEG";
    int wrong = 0, footer = 0;
    for (int y = 0; y < 234; ++y)
      for (int x = 0; x < 300; ++x) {
        const uint32_t shown = image->at(x, y) & 0xFFFFFF;
        const bool covered = x >= 100 && x < 202 && y >= 60 && y < 144;
        if (y >= 202) footer += x >= 119 && x <= 271 && shown != 0xFFFFFF;  // the footer's logo and name
        else if (y < 200 && (covered || !jpeg))  // the picture: exact where the format is lossless
          wrong += !Near(shown, covered ? 0 : testpictures::At(bright, x, y), jpeg ? 40 : 0);
      }
    EXPECT_EQ(wrong, 0) << what;
    EXPECT_GT(footer, 200) << what;
  }
}

// Done stores the four values encrypted, and what was typed after it is stored at the close.
// A Done that cannot replace config.ini (another program holds it open) ends the program with
// the settings error, at once, and leaves the file as it was.
TEST_F(Sharing, DoneAndTheCloseStoreTheFourValuesEncryptedOrEndWithTheSettingsError) {
  const std::string saved = ReadBytes(ConfigFile());  // the settings before, put back after
  HWND settings = OpenSettings();
  auto type = [&](int id, const wchar_t* text) {
    ::SendMessageW(::GetDlgItem(settings, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
  };
  for (auto [id, text] : {std::pair{ids::txtJiraUname, L"  alice "}, {ids::txtJiraPwd, L"tok3n"},
                          {ids::txtJiraInstance, L"https://jira.example/"}, {ids::txtMirelToken, L""}})
    type(id, text);
  EXPECT_EQ(::SendMessageW(::GetDlgItem(settings, ids::txtJiraPwd), EM_GETPASSWORDCHAR, 0, 0), L'*');
  Click(::GetDlgItem(settings, ids::cmdDoneSettings));
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(settings); }, 3s));  // Done hides the panel
  auto stored = [](std::string_view section, std::string_view key) {
    return modAES::AesDecryptText(modINI::ReadIniValue(section, key, ConfigFile()), modAES::CredentialPassphrase);
  };
  EXPECT_TRUE(WaitUntil([&] { return stored("JIRA", "username") == L"alice"; }, 3s));
  EXPECT_EQ(std::tuple(stored("JIRA", "token"), stored("JIRA", "instance"), stored("Mirel", "token")),
            std::tuple(L"tok3n", L"https://jira.example/", L""));
  type(ids::txtJiraUname, L"bob");
  EXPECT_TRUE(app_->CloseAndWait());
  EXPECT_EQ(stored("JIRA", "username"), L"bob");

  ASSERT_NO_FATAL_FAILURE(Start());
  settings = OpenSettings();
  const std::string before = ReadBytes(ConfigFile());
  {
    win::unique_file lock(::CreateFileW(ConfigFile().c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(lock);
    Click(::GetDlgItem(settings, ids::cmdDoneSettings));
    const std::wstring text = app_->DismissMessageBox(L"Settings Error");
    EXPECT_TRUE(text.starts_with(L"There was an error starting the saving config settings. If this persists, contact "
                                 L"support\r\n\r\nError: ")) << text;
    EXPECT_NE(text.find(L"\r\nLine:  1"), std::wstring::npos) << text;
    EXPECT_TRUE(app_->WaitForExit(10s));  // at once, without the shutdown steps
  }
  EXPECT_EQ(ReadBytes(ConfigFile()), before);
  WriteBytes(ConfigFile(), saved);
}

TEST_F(Sharing, AKillWhileTheAttachmentIsSavedLeavesNoPartialFile) {
  std::mt19937 random(11);
  const auto large = testpictures::Noise(2400, 1600, 11);  // a slow picture to encode
  for (int round = 0; round < 4; ++round) {
    ASSERT_NO_FATAL_FAILURE(Start());  // again after the kill
    ASSERT_NO_FATAL_FAILURE(Paste(large));
    Click(Control(ids::Command2_0));
    ASSERT_TRUE(Answer(L"Attachment", L"killed"));
    app_->WaitForExit(Duration(random() % 151));
    app_->Kill();  // wherever the save was
    for (const auto& entry : fs::directory_iterator(fs::path(folder_.Images())))
      if (entry.path().filename().wstring().starts_with(L"killed")) {  // a temporary name: nothing counts or sends it
        const std::string bytes = ReadBytes(entry.path().wstring());
        EXPECT_TRUE(bytes.starts_with("\xFF\xD8") && bytes.ends_with("\xFF\xD9")) << round << ": " << bytes.size();
      }
  }
}
