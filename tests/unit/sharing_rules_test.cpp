// The hand-offs' rules: attachment names, the JIRA address and body, Base64, copied files.
#include <gtest/gtest.h>

#include <cstring>

#include "sharing/sharing_rules.h"

using namespace modAttachments;
using namespace modUpload;

namespace {
std::tm Date(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
  std::tm t{};
  t.tm_year = year - 1900, t.tm_mon = month - 1, t.tm_mday = day;
  t.tm_hour = hour, t.tm_min = minute, t.tm_sec = second;
  return t;
}
}  // namespace

TEST(AttachmentNames, DefaultNameHasTheMinuteWithoutLeadingZero) {
  EXPECT_EQ(DefaultAttachmentName(Date(2025, 2, 3, 9, 5)), L"2025-02-03T09-5");
  EXPECT_EQ(DefaultAttachmentName(Date(2025, 12, 31, 23, 59)), L"2025-12-31T23-59");
}

TEST(AttachmentNames, MailNamesStayInTheImagesFolder) {
  // Blank: the default name; anything else as typed.
  for (auto [typed, name] : {std::pair{L"   ", L"testsaveimg"}, {L"", L"testsaveimg"}, {L" report ", L" report "},
                             {L"2025-02-03T09-5", L"2025-02-03T09-5"}})
    EXPECT_EQ(MailAttachmentName(typed), name) << typed;
  for (const wchar_t* bad : {L"..\\escape", L"a/b", L"c:x", L"what?", L"star*", L"q\"uote", L"<x>", L"pi|pe", L"tab\t",
                             L"CON", L"con", L"Lpt1", L"nul.txt", L"COM9 "})
    EXPECT_FALSE(MailAttachmentName(bad)) << bad;
  EXPECT_TRUE(MailAttachmentName(L"console") && MailAttachmentName(L"com10"));
}

TEST(AttachmentNames, DeviceNamesAreNoFiles) {
  for (const wchar_t* device : {L"COM1.jpg", L"com\u00b9.jpg", L"LPT9", L"conin$.jpg", L"CONOUT$", L"aux .jpg", L"nul"})
    EXPECT_TRUE(IsReservedFileName(device)) << device;
  for (const wchar_t* file : {L"com.jpg", L"com10.jpg", L"console.jpg", L"nully.jpg", L"testsaveimg1.jpg", L"x.con"})
    EXPECT_FALSE(IsReservedFileName(file)) << file;
}

// The number follows what comes after the name in the files that begin with it: only the
// leading name goes, not every place it occurs.
TEST(AttachmentNames, TheNextNumberFollowsTheFilesThatBeginWithTheName) {
  const std::pair<std::vector<std::wstring>, std::optional<int64_t>> cases[] = {
      {{}, std::nullopt},                  // no such file: the bare name
      {{L".jpg"}, 1},                      // testsaveimg.jpg: testsaveimg1.jpg
      {{L".jpg", L"1.jpg"}, 2},            // "Bug" with bug.jpg and bug1.jpg: Bug2.jpg; "1" with 1.jpg, 11.jpg: 12.jpg
      {{L"-old.png"}, 1},                  // snapshot-old.png makes snapshot present
      {{L"7.tar.gz", L"2.5.png"}, 8},      // the extension runs from the first dot
      {{L"2147483647.jpg"}, 2147483648},   // beyond the 32-bit numbers, not round to them
      {{L"99999999999.jpg", L"3.jpg"}, 4}, // too large to be a file number
  };
  for (const auto& [rests, first] : cases) EXPECT_EQ(FirstAttachmentNumber(rests), first) << rests.size();
  EXPECT_EQ(NumberedAttachmentPath(L"C:\\img\\", L"2025-02-03T09-5", 1), L"C:\\img\\2025-02-03T09-51.jpg");
  EXPECT_EQ(NumberedAttachmentPath(L"C:\\img\\", L"x", std::nullopt), L"C:\\img\\x.jpg");
}

TEST(AttachmentNames, JiraNames) {
  // Lower case, one ".jpg", and nothing that leaves the images folder.
  for (auto [typed, name] :
       {std::pair{L"1700000000-PROJ-12-", L"1700000000-proj-12-.jpg"}, {L"Login.JPG", L"login.jpg"},
        {L"login", L"login.jpg"}, {L"o'neil & co/x", L"oneil  cox.jpg"}, {L"  ", L"issue_image.jpg"},
        {L"..\\..\\win.ini", L"....win.ini.jpg"}, {L"a:b*c?d\"e<f>g|h", L"abcdefgh.jpg"}})
    EXPECT_EQ(JiraAttachmentName(typed), name) << typed;
}

TEST(Jira, AddressNonceAndKey) {
  const std::wstring issues = L"https://jira.example/rest/api/2/issue/", url = issues + L"!!ISSUE!!/attachments";
  EXPECT_EQ(JiraAddress(url, L"PROJ-12", 1700000000), issues + L"PROJ-12/attachments?nonce=1700000000");
  // A key cannot leave its path segment or start a query or fragment.
  EXPECT_EQ(JiraAddress(url, L"../x?y#z w", 1), issues + L"..%2Fx%3Fy%23z%20w/attachments?nonce=1");
  EXPECT_EQ(JiraAddress(url, L"\u00c9", 2), issues + L"%C3%89/attachments?nonce=2");
  EXPECT_EQ(UnixTimeFromDate(Date(2023, 11, 14, 22, 13, 20)), 1700000000);
  EXPECT_EQ(UnixTimeFromDate(Date(1970, 1, 1)), 0);
  EXPECT_EQ(UnixTimeFromDate(Date(2038, 1, 19, 3, 14, 8)), 2147483648LL);  // past 2038 without wrapping
}

TEST(Upload, Base64LinesAndTheCredentialsHeader) {
  for (auto [bytes, text] : {std::pair{"abc", "YWJj"}, {"ab", "YWI="}, {"a", "YQ=="}, {"", ""}})
    EXPECT_EQ(Base64Encode(bytes), text) << bytes;
  std::string line;  // 54 bytes "x": one whole line of 72 characters
  for (int i = 0; i < 18; ++i) line += "eHh4";
  EXPECT_EQ(Base64Encode(std::string(54, 'x')), line + "\r\n");  // exactly 72 characters: a CRLF follows
  EXPECT_EQ(Base64Encode(std::string(55, 'x')), line + "\r\neA==");
  EXPECT_EQ(BasicAuthorization(std::string(55, 'x')), "Basic " + line + "eA==");  // one line
  EXPECT_EQ(BasicAuthorization("user:token"), "Basic dXNlcjp0b2tlbg==");
}

TEST(Upload, TheBodyByteForByteAndTheAnswer) {
  const std::string b(DefaultBoundary);
  const std::string jpeg("\xFF\xD8\x00\r\n--\xFF\xD9", 9);
  const std::string body = BuildUploadBody("shot.jpg", jpeg, b);
  const std::string expected = "--" + b + "\r\n" +
                               "Content-Disposition: form-data; name=\"file\"; filename=\"shot.jpg\"\r\n" +
                               "Content-Type: form-data\r\n" + "\r\n" + jpeg + "\r\n--" + b + "\r\n" +
                               "Content-Disposition: form-data; name=\"age\"\r\n" + "\r\n" + "69" + "\r\n--" + b + "--";
  EXPECT_EQ(body, expected);
  // The placeholder of the header is replaced wherever it stands, in the file name too.
  EXPECT_NE(BuildFilePart("file", "a!!!b.jpg", "x", b).find("filename=\"afileb.jpg\""), std::string::npos);
  EXPECT_EQ(BuildFilePart("file", "blank.jpg", "   ", b), "");
  EXPECT_EQ(BuildFieldPart("age", "", b), "");
  EXPECT_EQ(PrefixOpeningDelimiter("--" + b + "rest", b), "--" + b + "rest");
  // The answer: 200 only with the exact marker, anywhere in the text (the rest against a local server).
  EXPECT_EQ(JudgeAnswer(200, "[{ \"self\":"), 0);
  EXPECT_EQ(JudgeAnswer(200, "{\"errors\":{},\"x\":[{\"self\":1}]}"), 200);
}

namespace {
// A copied-files block: the names' offset, the wide flag at 16, then each name and an empty one.
std::string Block(bool wide, const std::vector<std::wstring>& names, uint32_t offset = 20) {
  std::string b(offset, '\0');
  std::memcpy(b.data(), &offset, 4);
  b[16] = wide ? 1 : 0;
  std::wstring list;
  for (const auto& n : names) list += n + L'\0';
  for (wchar_t c : list + L'\0') {
    b += static_cast<char>(c & 0xFF);
    if (wide) b += static_cast<char>(c >> 8);
  }
  return b;
}
std::string Cut(std::string block, size_t bytes) { return block.substr(0, block.size() - bytes); }
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
  EXPECT_FALSE(Parse(Cut(Block(true, {L"abc.jpg"}), 6)));   // the name's terminator is gone
  EXPECT_FALSE(Parse(Cut(Block(false, {L"abc.jpg"}), 2)));
  EXPECT_TRUE(Parse(Cut(Block(true, {L"abc.jpg"}), 1)));     // half a character at the end: the name is whole
  EXPECT_FALSE(modCBFiles::ParseDropFiles(nullptr, 100, Latin1));
}

TEST(CopiedFiles, WhichFilesArePictures) {
  for (const wchar_t* yes : {L"C:\\a.jpg", L"C:\\a.JPG", L"x.jpeg", L"x.Bmp", L"x.png", L"x.GIF", L" x.jpg "})
    EXPECT_TRUE(modCBFiles::IsPictureFileName(yes)) << yes;
  for (const wchar_t* no : {L"C:\\a.txt", L"jpg", L"C:\\dir.jpg\\file", L"", L"   ", L"x.jpgx", L"x.tif"})
    EXPECT_FALSE(modCBFiles::IsPictureFileName(no)) << no;
}
