// The hand-offs on the real platform: the composite's pixels with the real footer, the
// upload against a local server (status, marker, headers and body byte for byte, the error
// texts), the JIRA command behind its switch, the attachment's file and the Outlook mail.
#include <gtest/gtest.h>

#include "editor/picture_io.h"
#include "sharing/attachment_file.h"
#include "sharing/modEmail.h"
#include "sharing/modExport.h"
#include "sharing/modJira.h"
#include "sharing/modUpload.h"
#include "sharing/sharing_rules.h"
#include "support/files.h"
#include "support/pictures.h"
#include "unit/win/local_http_server.h"
#include "support/temp_folder.h"

using testfiles::ReadBytes;
using testfiles::WriteBytes;
using testpictures::At;
using testpictures::Pattern;

// The picture, a blank row, a row in the text colour, then the footer with its right edge 4
// pixels in from the picture's (cut on the left under a narrow picture), white elsewhere.
// Each composition into the same bitmap shows nothing of the one before.
TEST(ExportComposite, PictureSeparatorAndFooterRowsAndColumns) {
  std::wstring why;
  const auto asset = editor::LoadPictureFile(L"Z:" LUMO_SOURCE_DIR L"/assets/footer.bmp", why);  // the resource's file
  ASSERT_TRUE(asset) << why;
  win::DibSection footer(asset->width, asset->height);
  std::copy(asset->pixels.begin(), asset->pixels.end(), footer.pixels());
  win::DibSection::Unselected forComposing(footer);
  const COLORREF ink = ::GetSysColor(COLOR_BTNTEXT);
  const uint32_t line = (static_cast<uint32_t>(GetRValue(ink)) << 16) | (GetGValue(ink) << 8) | GetBValue(ink);
  win::DibSection c;
  for (const auto& picture : {Pattern(800, 600), testpictures::Canvas(800, 600, 0x123456), Pattern(100, 40)}) {
    const int w = picture.width(), h = picture.height(), footerLeft = w - 181;
    ASSERT_TRUE(modExport::ComposeExportImage({w, h, picture.pixels()}, footer.bitmap(), c));
    ASSERT_EQ(std::pair(c.width(), c.height()), std::pair(w, h + 34));
    int wrong = 0;
    for (int y = 0; y < h + 34; ++y)
      for (int x = 0; x < w; ++x) {
        uint32_t expected = y < h ? At(picture, x, y) : y == h + 1 ? line : 0x00FFFFFF;
        if (y >= h + 2 && x >= footerLeft && x < footerLeft + 178) expected = At(footer, x - footerLeft, y - h - 2);
        wrong += At(c, x, y) != expected;
      }
    EXPECT_EQ(wrong, 0) << w << " x " << h;
  }
}

namespace {
const std::string Marker = "[{\"self\":\"http://127.0.0.1/rest/api/2/attachment/10000\"}]";
}

// Status 200 with the marker succeeds (the JIRA command's test below); any other answer gives
// 0 without a message; a missing file, an address without its scheme (stage 20) and a port
// nobody listens on (stage 40) give their texts.
TEST(Upload, OtherAnswersAndFailuresAreReported) {
  TempFolder folder(L"lumo-upload");
  WriteBytes(folder.Path() + L"a.jpg", "jpeg");
  std::string boundary;
  auto upload = [&](const std::wstring& address, const wchar_t* file = L"a.jpg") {
    return modUpload::UploadAttachment(address, folder.Path(), file, L"u", L"t", boundary);
  };
  for (auto [status, answer] : {std::pair{201, Marker}, {200, std::string("[]")}, {401, std::string("denied")}}) {
    LocalHttpServer server(status, answer);
    const auto out = upload(server.Address(L"/x"));
    EXPECT_EQ(std::pair(out.result, out.errorText), std::pair(0, std::wstring())) << status;
    EXPECT_EQ(server.Requests(), 1);
  }
  const std::wstring failed = L"There was an error uploading. ";
  const auto missing = upload(L"http://127.0.0.1:1/x", L"gone.jpg");
  EXPECT_EQ(missing.result, -1);
  EXPECT_EQ(missing.errorText, failed + L"Save and open file to be uploaded failed. If this persists, contact support");
  for (auto [address, advice, line] : {std::tuple{L"jira.example/rest", L"Ensure config states 'https://'. ", L"20"},
                                       {L"http://127.0.0.1:1/x", L"", L"40"}}) {
    const auto out = upload(address);
    const std::wstring& text = out.errorText;
    EXPECT_EQ(out.result, 0) << text;
    EXPECT_TRUE(text.starts_with(failed + advice + L"If this persists, contact support\r\n\r\nError: ")) << text;
    EXPECT_TRUE(text.ends_with(std::wstring(L"\r\nLine: ") + line)) << text;
  }
}

namespace {
// 54 bytes of user and token with the colon: 72 Base64 characters, where a line would break.
const std::wstring User(27, L'u'), Token(26, L't');
const std::string Jpeg = std::string("\xFF\xD8\xFF\xE0", 4) + std::string(3000, 'j') + std::string("\r\n--\0x", 6);

// The command against a local server, with the replies given in turn; the prompts asked
// and the times the settings panel was toggled are kept.
class JiraCommand : public ::testing::Test {
 protected:
  modJira::JiraCommand Command(std::vector<std::optional<std::wstring>> replies, const std::wstring& instance = L"") {
    return {.instance = instance.empty() ? server_.Address(L"") : instance,
            .user = L"  " + User + L" ",
            .token = Token,
            .uploadUrl = server_.Address(L"/rest/api/2/issue/!!ISSUE!!/attachments"),
            .imagesFolder = folder_.Path(),
            .now = {.tm_sec = 20, .tm_min = 13, .tm_hour = 22, .tm_mday = 14, .tm_mon = 10, .tm_year = 123},
            .ask = [this, replies, i = size_t{0}](const std::wstring& prompt, const std::wstring&,
                                                  const std::wstring& reply) mutable {
              asked_.push_back(prompt + L"|" + reply);
              return i < replies.size() ? replies[i++] : std::nullopt;
            },
            .toggleSettings = [this] { ++toggles_; },
            .saveAttachment = [this](const std::wstring& name) -> std::optional<std::wstring> {
              WriteBytes(folder_.Path() + name + L".jpg", Jpeg);
              return name + L".jpg";
            }};
  }
  TempFolder folder_{L"lumo-jira"};
  LocalHttpServer server_{200, Marker};
  std::vector<std::wstring> asked_;
  int toggles_ = 0;
};
}  // namespace

// Missing settings open the panel; a file not written, or a name that is a device, stops
// without a request. Then the request as it arrives: its line, headers and body byte for byte.
TEST_F(JiraCommand, WithTheSwitchOnTheAttachmentGoesToTheIssue) {
  auto empty = Command({}, L"   "), unwritten = Command({L"KEY-7", L"shot"}), device = Command({L"KEY-7", L"CON"});
  modJira::RunJiraUpload(empty);
  EXPECT_EQ(toggles_, 1);
  EXPECT_TRUE(asked_.empty());
  unwritten.saveAttachment = [](const std::wstring&) { return std::nullopt; };  // the disk is full, say
  for (auto* c : {&unwritten, &device})
    EXPECT_EQ(modJira::RunJiraUpload(*c).report, modJira::JiraOutcome::Report::FileError);
  EXPECT_EQ(server_.Requests(), 0);
  asked_.clear();
  auto c = Command({L" PROJ-12 ", L"1700000000-PROJ-12-"}, L"  " + server_.Address(L"") + L" ");
  const auto out = modJira::RunJiraUpload(c);
  EXPECT_EQ(c.user, User);  // the fields are trimmed
  EXPECT_EQ(asked_,
            (std::vector<std::wstring>{L"Enter JIRA Issue Number|", L"Name for attachment ?|1700000000-PROJ-12-"}));
  EXPECT_EQ(out.fileName, L"1700000000-proj-12-.jpg");
  EXPECT_EQ(out.result, 200);
  EXPECT_EQ(out.report, modJira::JiraOutcome::Report::Success);
  EXPECT_EQ(toggles_, 1);  // not again
  EXPECT_EQ(ReadBytes(folder_.Path() + L"1700000000-proj-12-.jpg"), Jpeg);  // stays in the folder
  EXPECT_TRUE(server_.Head().starts_with("POST /rest/api/2/issue/PROJ-12/attachments?nonce=1700000000 HTTP/1.1\r\n"))
      << server_.Head();
  const std::string boundary(modUpload::DefaultBoundary);
  for (const std::string& header :
       {"Content-Type: multipart/form-data; boundary=" + boundary,
        "Authorization: " + modUpload::BasicAuthorization(std::string(27, 'u') + ":" + std::string(26, 't')),
        std::string("X-Atlassian-Token: nocheck"), std::string("accept: application/json")})
    EXPECT_NE(server_.Head().find("\r\n" + header + "\r\n"), std::string::npos) << header << "\n" << server_.Head();
  EXPECT_EQ(server_.Body(), "--" + boundary + "\r\nContent-Disposition: form-data; name=\"file\"; " +
                                "filename=\"1700000000-proj-12-.jpg\"\r\nContent-Type: form-data\r\n\r\n" + Jpeg +
                                "\r\n--" + boundary + "\r\nContent-Disposition: form-data; name=\"age\"\r\n\r\n69" +
                                "\r\n--" + boundary + "--");
}

// The attachment never replaces a file: numbered after the files that begin with its name,
// case aside, and on to the next number when another file takes its name meanwhile.
TEST(AttachmentFile, NeverReplacesAFile) {
  TempFolder folder(L"lumo-attach");
  const std::wstring f = folder.Path();
  for (const wchar_t* name : {L"bug.jpg", L"bug1.jpg", L"1.jpg", L"11.jpg", L"lpt.jpg"}) WriteBytes(f + name, "theirs");
  auto write = [](const std::wstring& temp) { return WriteBytes(temp, "mine"), true; };
  EXPECT_EQ(modAttachments::WriteNewAttachment(f, L"Bug", write), f + L"Bug2.jpg");
  EXPECT_EQ(modAttachments::WriteNewAttachment(f, L"1", write), f + L"12.jpg");
  const auto taken = modAttachments::WriteNewAttachment(f, L"new", [&](const std::wstring& temp) {
    WriteBytes(f + L"new.jpg", "theirs");  // another program, just before the rename
    return write(temp);
  });
  EXPECT_EQ(taken, f + L"new1.jpg");
  for (const wchar_t* name : {L"bug1.jpg", L"11.jpg", L"new.jpg"}) EXPECT_EQ(ReadBytes(f + name), "theirs") << name;
  EXPECT_EQ(ReadBytes(f + L"new1.jpg"), "mine");
  // "lpt" with lpt.jpg taken would be LPT1.jpg: a device, not a file.
  EXPECT_EQ(modAttachments::WriteNewAttachment(f, L"lpt", write), std::nullopt);
  EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));
}

namespace {
// An application object that records every call made on it by name: the members, the
// kinds of call and the arguments in the order the caller meant them.
struct RecordingDispatch : IDispatch {
  explicit RecordingDispatch(RecordingDispatch* child = nullptr) : child(child) {}
  std::vector<std::wstring> calls, names;  // the calls made; the names asked for, their ids from 1
  RecordingDispatch* child;                 // what CreateItem and Attachments return

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override { return *out = this, S_OK; }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override { return *n = 0, S_OK; }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) override {
    this->names.push_back(names[0]);
    return *id = static_cast<DISPID>(this->names.size()), S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* p, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    std::wstring call = names[static_cast<size_t>(id - 1)] +
                        (kind == DISPATCH_PROPERTYPUT ? L"=" : kind == DISPATCH_PROPERTYGET ? L"?" : L"(");
    for (UINT i = p->cArgs; i-- > 0;)  // rgvarg holds them last to first
      call += (p->rgvarg[i].vt == VT_BSTR ? std::wstring(p->rgvarg[i].bstrVal) : std::to_wstring(p->rgvarg[i].lVal)) +
              (i ? L"," : L"");
    calls.push_back(call);
    if (result && child && (call.starts_with(L"CreateItem") || call.starts_with(L"Attachments")))
      result->vt = VT_DISPATCH, result->pdispVal = child;
    return S_OK;
  }
};
}  // namespace

TEST(OutlookMail, TheMailItemIsMadeAttachedAndShownByName) {
  RecordingDispatch attachments, item(&attachments), outlook(&item);
  modEmail::ComposeOutlookMail(&outlook, L"C:\\img\\shot.jpg", L"", L"  ", L"");
  EXPECT_EQ(outlook.calls, (std::vector<std::wstring>{L"CreateItem(0"}));
  EXPECT_EQ(item.calls, (std::vector<std::wstring>{L"Attachments?", L"Display("}));  // blank fields stay unset
  EXPECT_EQ(attachments.calls, (std::vector<std::wstring>{L"Add(C:\\img\\shot.jpg,1,1"}));
}
