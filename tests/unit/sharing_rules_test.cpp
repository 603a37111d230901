// The hand-offs' rules: attachment names and paths, the JIRA address, the multipart body
// byte for byte, Base64 lines and the copied-files block.
#include <gtest/gtest.h>

#include <cstring>

#include "sharing/sharing_rules.h"

namespace {
std::tm Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  std::tm t{};
  t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day;
  t.tm_hour = hour, t.tm_min = minute, t.tm_sec = second;
  return t;
}
}  // namespace

TEST(AttachmentNames, DefaultNameHasTheMinuteWithoutLeadingZero) {
  EXPECT_EQ(modAttachments::DefaultAttachmentName(Date(2025, 2, 3, 9, 5)), L"2025-02-03T09-5");
  EXPECT_EQ(modAttachments::DefaultAttachmentName(Date(2025, 12, 31, 23, 59)), L"2025-12-31T23-59");
}

TEST(AttachmentNames, MailNamesStayInTheImagesFolder) {
  using modAttachments::MailAttachmentName;
  EXPECT_EQ(MailAttachmentName(L"   "), L"testsaveimg");
  EXPECT_EQ(MailAttachmentName(L""), L"testsaveimg");
  EXPECT_EQ(MailAttachmentName(L" report "), L" report ");  // used as typed
  EXPECT_EQ(MailAttachmentName(L"2025-02-03T09-5"), L"2025-02-03T09-5");
  for (const wchar_t* bad : {L"..\\escape", L"a/b", L"c:x", L"what?", L"star*", L"q\"uote", L"<x>", L"pi|pe", L"tab\t",
                             L"CON", L"con", L"Lpt1", L"nul.txt", L"COM9 "})
    EXPECT_FALSE(MailAttachmentName(bad)) << bad;
  EXPECT_TRUE(MailAttachmentName(L"console") && MailAttachmentName(L"com10"));
}

TEST(AttachmentNames, DeviceNamesAreNoFiles) {
  using modAttachments::IsReservedFileName;
  for (const wchar_t* device : {L"COM1.jpg", L"com\u00b9.jpg", L"LPT9", L"conin$.jpg", L"CONOUT$", L"aux .jpg", L"nul"})
    EXPECT_TRUE(IsReservedFileName(device)) << device;
  for (const wchar_t* file : {L"com.jpg", L"com10.jpg", L"console.jpg", L"nully.jpg", L"testsaveimg1.jpg", L"x.con"})
    EXPECT_FALSE(IsReservedFileName(file)) << file;
}

// The number follows what comes after the name in the files that begin with it: only the
// leading name goes, not every place it occurs.
TEST(AttachmentNames, TheNextNumberFollowsTheFilesThatBeginWithTheName) {
  using modAttachments::FirstAttachmentNumber;
  struct Case {
    std::vector<std::wstring> rests;
    std::optional<int64_t> first;
  };
  const Case cases[] = {
      {{}, std::nullopt},                  // no such file: the bare name
      {{L".jpg"}, 1},                      // testsaveimg.jpg: testsaveimg1.jpg
      {{L".jpg", L"1.jpg"}, 2},            // "Bug" with bug.jpg and bug1.jpg: Bug2.jpg; "1" with 1.jpg, 11.jpg: 12.jpg
      {{L"-old.png"}, 1},                  // snapshot-old.png makes snapshot present
      {{L"7.tar.gz", L"2.5.png"}, 8},      // the extension runs from the first dot
      {{L"2147483647.jpg"}, 2147483648},   // beyond the 32-bit numbers, not round to them
      {{L"99999999999.jpg", L"3.jpg"}, 4}, // too large to be a file number
  };
  for (const Case& c : cases) EXPECT_EQ(FirstAttachmentNumber(c.rests), c.first) << c.rests.size();
  EXPECT_EQ(modAttachments::NumberedAttachmentPath(L"C:\\img\\", L"2025-02-03T09-5", 1),
            L"C:\\img\\2025-02-03T09-51.jpg");
  EXPECT_EQ(modAttachments::NumberedAttachmentPath(L"C:\\img\\", L"x", std::nullopt), L"C:\\img\\x.jpg");
}

TEST(AttachmentNames, JiraNames) {
  using modAttachments::JiraAttachmentName;
  EXPECT_EQ(JiraAttachmentName(L"1700000000-PROJ-12-"), L"1700000000-proj-12-.jpg");
  EXPECT_EQ(JiraAttachmentName(L"Login.JPG"), L"login.jpg");
  EXPECT_EQ(JiraAttachmentName(L"login"), L"login.jpg");
  EXPECT_EQ(JiraAttachmentName(L"o'neil & co/x"), L"oneil  cox.jpg");
  EXPECT_EQ(JiraAttachmentName(L"  "), L"issue_image.jpg");
  EXPECT_EQ(JiraAttachmentName(L"..\\..\\win.ini"), L"....win.ini.jpg");  // stays in the images folder
  EXPECT_EQ(JiraAttachmentName(L"a:b*c?d\"e<f>g|h"), L"abcdefgh.jpg");
}

TEST(Jira, AddressNonceAndKey) {
  const std::wstring url = L"https://jira.example/rest/api/2/issue/!!ISSUE!!/attachments";
  EXPECT_EQ(modAttachments::JiraAddress(url, L"PROJ-12", 1700000000),
            L"https://jira.example/rest/api/2/issue/PROJ-12/attachments?nonce=1700000000");
  // A key cannot leave its path segment or start a query or fragment.
  EXPECT_EQ(modAttachments::JiraAddress(url, L"../x?y#z w", 1),
            L"https://jira.example/rest/api/2/issue/..%2Fx%3Fy%23z%20w/attachments?nonce=1");
  EXPECT_EQ(modAttachments::JiraAddress(url, L"\u00c9", 2),
            L"https://jira.example/rest/api/2/issue/%C3%89/attachments?nonce=2");
  EXPECT_EQ(modAttachments::UnixTimeFromDate(Date(2023, 11, 14, 22, 13, 20)), 1700000000);
  EXPECT_EQ(modAttachments::UnixTimeFromDate(Date(1970, 1, 1)), 0);
  EXPECT_EQ(modAttachments::UnixTimeFromDate(Date(2038, 1, 19, 3, 14, 8)), 2147483648LL);  // past 2038 without wrapping
}

TEST(Upload, Base64LinesAndTheCredentialsHeader) {
  using modUpload::Base64Encode;
  for (auto [bytes, text] : {std::pair{"abc", "YWJj"}, {"ab", "YWI="}, {"a", "YQ=="}, {"", ""}})
    EXPECT_EQ(Base64Encode(bytes), text) << bytes;
  std::string line;  // 54 bytes "x": one whole line of 72 characters
  for (int i = 0; i < 18; ++i) line += "eHh4";
  EXPECT_EQ(Base64Encode(std::string(54, 'x')), line + "\r\n");  // exactly 72 characters: a CRLF follows
  EXPECT_EQ(Base64Encode(std::string(55, 'x')), line + "\r\neA==");
  EXPECT_EQ(modUpload::BasicAuthorization(std::string(55, 'x')), "Basic " + line + "eA==");  // one line
  EXPECT_EQ(modUpload::BasicAuthorization("user:token"), "Basic dXNlcjp0b2tlbg==");
}

TEST(Upload, TheBodyByteForByte) {
  const std::string b(modUpload::DefaultBoundary);
  EXPECT_EQ(b.size(), 55u);
  const std::string jpeg("\xFF\xD8\x00\r\n--\xFF\xD9", 9);
  const std::string body = modUpload::BuildUploadBody("shot.jpg", jpeg, b);
  const std::string expected = "--" + b + "\r\n" +
                               "Content-Disposition: form-data; name=\"file\"; filename=\"shot.jpg\"\r\n" +
                               "Content-Type: form-data\r\n" + "\r\n" + jpeg + "\r\n--" + b + "\r\n" +
                               "Content-Disposition: form-data; name=\"age\"\r\n" + "\r\n" + "69" + "\r\n--" + b + "--";
  EXPECT_EQ(body, expected);
  // The placeholder of the header is replaced wherever it stands, in the file name too.
  EXPECT_NE(modUpload::BuildFilePart("file", "a!!!b.jpg", "x", b).find("filename=\"afileb.jpg\""), std::string::npos);
  EXPECT_EQ(modUpload::BuildFilePart("file", "blank.jpg", "   ", b), "");
  EXPECT_EQ(modUpload::BuildFieldPart("age", "", b), "");
  EXPECT_EQ(modUpload::PrefixOpeningDelimiter("--" + b + "rest", b), "--" + b + "rest");
}

// The plain answers: the Upload tests against a local server.
TEST(Upload, OnlyStatus200WithTheMarkerSucceeds) {
  EXPECT_EQ(modUpload::JudgeAnswer(200, "[{ \"self\":"), 0);  // exact marker only
  EXPECT_EQ(modUpload::JudgeAnswer(200, "{\"errors\":{},\"x\":[{\"self\":1}]}"), 200);  // anywhere in the text
}

namespace {
std::string Block(bool wide, const std::vector<std::wstring>& names, uint32_t offset = 20) {
  std::string b(20, '\0');
  std::memcpy(b.data(), &offset, 4);
  const uint32_t flag = wide ? 1 : 0;
  std::memcpy(b.data() + 16, &flag, 4);
  b.resize(offset, '\0');
  for (const auto& n : names) {
    for (wchar_t c : n) {
      b += static_cast<char>(c & 0xFF);
      if (wide) b += static_cast<char>(c >> 8);
    }
    b.append(wide ? 2 : 1, '\0');
  }
  b.append(wide ? 2 : 1, '\0');
  return b;
}
std::wstring Latin1(std::string_view s) { return std::wstring(s.begin(), s.end()); }
auto Parse(const std::string& b) {
  return modCBFiles::ParseDropFiles(reinterpret_cast<const uint8_t*>(b.data()), b.size(), Latin1);
}
}  // namespace

TEST(CopiedFiles, WideAndAnsiLists) {
  const std::vector<std::wstring> wide{L"C:\\a\\shot.JPG", L"C:\\b\\\u00e9t\u00e9.png"}, ansi{L"C:\\x.bmp"};
  EXPECT_EQ(Parse(Block(true, wide)), wide);
  EXPECT_EQ(Parse(Block(false, ansi, 24)), ansi);
}

TEST(CopiedFiles, HostileBlocksAreRefusedWithoutReadingPastThem) {
  EXPECT_FALSE(Parse(Block(true, {})));                  // no file
  EXPECT_FALSE(Parse(std::string(19, '\0')));            // shorter than the header
  std::string past = Block(true, {L"a.jpg"});
  const uint32_t far = 4096;
  std::memcpy(past.data(), &far, 4);
  EXPECT_FALSE(Parse(past));                             // names beyond the block
  std::string cut = Block(true, {L"abc.jpg"});
  cut.resize(cut.size() - 6);                            // the name's terminator is gone
  EXPECT_FALSE(Parse(cut));
  std::string ansiCut = Block(false, {L"abc.jpg"});
  ansiCut.resize(ansiCut.size() - 2);
  EXPECT_FALSE(Parse(ansiCut));
  std::string odd = Block(true, {L"abc.jpg"});
  odd.resize(odd.size() - 1);                            // half a character at the end
  EXPECT_TRUE(Parse(odd));                               // the name itself is whole
  EXPECT_FALSE(modCBFiles::ParseDropFiles(nullptr, 100, Latin1));
}

TEST(CopiedFiles, WhichFilesArePictures) {
  for (const wchar_t* yes : {L"C:\\a.jpg", L"C:\\a.JPG", L"x.jpeg", L"x.Bmp", L"x.png", L"x.GIF", L" x.jpg "})
    EXPECT_TRUE(modCBFiles::IsPictureFileName(yes)) << yes;
  for (const wchar_t* no : {L"C:\\a.txt", L"jpg", L"C:\\dir.jpg\\file", L"", L"   ", L"x.jpgx", L"x.tif"})
    EXPECT_FALSE(modCBFiles::IsPictureFileName(no)) << no;
}
