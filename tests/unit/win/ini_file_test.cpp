// config.ini on the real file system, against the platform's own profile functions.
#include <gtest/gtest.h>

#include <windows.h>

#include "base/app_error.h"
#include "shell/modAES.h"
#include "shell/modINI.h"
#include "shell/settings.h"
#include "support/files.h"
#include "support/temp_folder.h"

using namespace modINI;
using testfiles::ReadBytes;
using testfiles::WriteBytes;

namespace {

class IniFile : public ::testing::Test {
 protected:
  static std::vector<IniEntry> FourValues(const wchar_t* m, const wchar_t* u, const wchar_t* i, const wchar_t* t) {
    return {{"Mirel", "token", m}, {"JIRA", "username", u}, {"JIRA", "instance", i}, {"JIRA", "token", t}};
  }
  TempFolder temp_{L"lumo-ini"};
  const std::wstring& folder_ = temp_.Path();
  const std::wstring file_ = folder_ + L"config.ini";
};

}  // namespace

TEST_F(IniFile, ReadsWhatTheProfileFunctionsReadAndLongValuesWhole) {
  WriteBytes(file_, "[jira]\r\n  USERNAME =   bob  \r\ntoken=" + std::string(600, 'k') + "\r\n");
  const std::string path(file_.begin(), file_.end());
  char buffer[255];
  ::GetPrivateProfileStringA("JIRA", "username", "", buffer, 255, path.c_str());
  EXPECT_EQ(ReadIniValue("JIRA", "username", file_), std::wstring(buffer, buffer + strlen(buffer)));
  EXPECT_EQ(ReadIniValue("JIRA", "token", file_), std::wstring(600, L'k'));
  EXPECT_EQ(ReadIniValue("Mirel", "token", file_), L"");
  EXPECT_EQ(ReadIniValue("JIRA", "token", folder_ + L"missing.ini"), L"");
}

// Saved by an editor as UTF-16 with a byte-order mark, in either byte order: read as text,
// and written back in the program's own format.
TEST_F(IniFile, AFileSavedAsUtf16IsReadAndWrittenBackAsText) {
  const std::string text = "[Mirel]\r\ntoken=bTE=\r\n[JIRA]\r\nusername=dTE=\r\n";
  for (const bool little : {true, false}) {
    std::string utf16 = little ? "\xFF\xFE" : "\xFE\xFF";
    for (const char c : text) utf16 += little ? std::string{c, '\0'} : std::string{'\0', c};
    WriteBytes(file_, utf16);
    EXPECT_EQ(ReadIniValue("Mirel", "token", file_), L"bTE=") << little;
    EXPECT_EQ(ReadIniValue("JIRA", "username", file_), L"dTE=") << little;
    WriteIniValues({{"JIRA", "token", L"dA=="}}, file_, false);
    EXPECT_EQ(ReadBytes(file_), text + "token=dA==\r\n") << little;
  }
}

// A fresh file is what the platform's own profile functions write, whatever was there.
TEST_F(IniFile, FreshWriteDropsEverythingElseAndUpdateKeepsOrder) {
  const std::wstring reference = folder_ + L"reference.ini";
  for (auto [s, k, v] : {std::tuple{"Mirel", "token", "a"}, {"JIRA", "username", "b"}, {"JIRA", "instance", ""},
                         {"JIRA", "token", "d"}})
    ASSERT_TRUE(::WritePrivateProfileStringA(s, k, v, std::string(reference.begin(), reference.end()).c_str()));
  WriteBytes(file_, "[Old]\r\nx=1\r\n[JIRA]\r\nextra=2\r\n");
  WriteIniValues(FourValues(L"a", L"b", L"", L"d"), file_, true);
  EXPECT_EQ(ReadBytes(file_), ReadBytes(reference));
  EXPECT_EQ(ReadBytes(file_), "[Mirel]\r\ntoken=a\r\n[JIRA]\r\nusername=b\r\ninstance=\r\ntoken=d\r\n");
  ::DeleteFileW(reference.c_str());
  WriteIniValues(FourValues(L"A", L"B", L"C", L"D"), file_, false);
  EXPECT_EQ(ReadBytes(file_), "[Mirel]\r\ntoken=A\r\n[JIRA]\r\nusername=B\r\ninstance=C\r\ntoken=D\r\n");
  EXPECT_EQ(testfiles::FileCount(folder_), 1u);  // no temporary file is left beside it
}

TEST_F(IniFile, FailedWriteRaisesAndLeavesTheOldFile) {
  WriteIniValues(FourValues(L"a", L"b", L"c", L"d"), file_, true);
  const std::string before = ReadBytes(file_);
  // A folder where the temporary file should go makes the write fail.
  const std::wstring blocker = folder_ + L"~lumo-" + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
  ASSERT_TRUE(::CreateDirectoryW(blocker.c_str(), nullptr));
  EXPECT_THROW(WriteIniValues(FourValues(L"x", L"x", L"x", L"x"), file_, false), AppError);
  ::RemoveDirectoryW(blocker.c_str());
  EXPECT_EQ(ReadBytes(file_), before);
  EXPECT_THROW(WriteIniValues(FourValues(L"", L"", L"", L""), folder_ + L"no\\such\\config.ini", true), AppError);
}

// The instance loses one trailing "/" when it is loaded; the upload address follows it at
// start-up, and the field as typed (blanks aside) after Done.
TEST_F(IniFile, TheInstanceAndItsUploadAddress) {
  const auto stored = [](const wchar_t* text) { return modAES::AesEncryptText(text, modAES::CredentialPassphrase); };
  WriteIniValues({{"Mirel", "token", stored(L"m")}, {"JIRA", "instance", stored(L"https://jira.example//")}}, file_,
                 true);
  const modSettings::SettingsFields f = modSettings::LoadSettings(file_);
  EXPECT_EQ(std::tuple(f.txtMirelToken, f.txtJiraInstance, f.txtJiraUname),
            std::tuple(L"m", L"https://jira.example/", L""));  // one "/" only
  const std::wstring issues = L"/rest/api/2/issue/!!ISSUE!!/attachments";
  EXPECT_EQ(modSettings::JiraUploadUrl(f.txtJiraInstance), L"https://jira.example/" + issues);
  EXPECT_EQ(modSettings::JiraUploadUrlAfterDone(L" https://x.example/ "), L"https://x.example/" + issues);
}
