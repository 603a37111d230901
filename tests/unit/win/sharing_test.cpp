// The hand-offs on the real platform: the composite's pixels with the real footer, the
// clipboard formats of a copy, the upload against a local server (status, marker, headers
// and body byte for byte, the error texts) and the JIRA command behind its switch.
#include <gtest/gtest.h>

#include <shlobj.h>


#include "base/resource_ids.h"
#include "sharing/attachment_file.h"
#include "sharing/modCBFiles.h"
#include "sharing/modEmail.h"
#include "sharing/modExport.h"
#include "sharing/modJira.h"
#include "sharing/modUpload.h"
#include "sharing/sharing_rules.h"
#include "support/clipboard.h"
#include "support/files.h"
#include "support/pictures.h"
#include "unit/win/local_http_server.h"
#include "support/temp_folder.h"
#include "win/clipboard.h"

using testfiles::ReadBytes;
using testfiles::WriteBytes;
using testpictures::At;
using testpictures::Pattern;

namespace {

// The footer bitmap of the program's assets, read from the file the resource is made of.
win::DibSection FooterAsset(HBITMAP& handle) {
  std::wstring path = L"Z:" LUMO_SOURCE_DIR L"/assets/footer.bmp";
  handle = static_cast<HBITMAP>(::LoadImageW(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  win::DibSection dib(178, 37);
  if (handle) {
    win::unique_hdc dc(::CreateCompatibleDC(nullptr));
    win::select_object s(dc.get(), handle);
    ::BitBlt(dib.dc(), 0, 0, 178, 37, dc.get(), 0, 0, SRCCOPY);
  }
  return dib;
}

}  // namespace

TEST(ExportComposite, PictureSeparatorAndFooterRowsAndColumns) {
  HBITMAP footerHandle = nullptr;
  const win::DibSection footer = FooterAsset(footerHandle);
  ASSERT_NE(footerHandle, nullptr);
  const auto picture = Pattern(800, 600);
  win::DibSection c;
  ASSERT_TRUE(modExport::ComposeExportImage({800, 600, picture.pixels()}, footerHandle, c));
  ASSERT_EQ(c.width(), 800);
  ASSERT_EQ(c.height(), 634);
  const COLORREF ink = ::GetSysColor(COLOR_BTNTEXT);
  const uint32_t line = (static_cast<uint32_t>(GetRValue(ink)) << 16) | (GetGValue(ink) << 8) | GetBValue(ink);
  int wrong = 0;
  for (int y = 0; y < 634; ++y)
    for (int x = 0; x < 800; ++x) {
      uint32_t expected = 0x00FFFFFF;
      if (y < 600) expected = At(picture, x, y);
      else if (y == 601) expected = line;
      else if (y >= 602 && x >= 619 && x <= 796) expected = At(footer, x - 619, y - 602);
      wrong += At(c, x, y) != expected;
    }
  EXPECT_EQ(wrong, 0);
  // The footer's last coloured column lands on column W - 29.
  bool coloured = false;
  for (int y = 602; y < 634; ++y) coloured |= At(c, 771, y) != 0x00FFFFFF;
  EXPECT_TRUE(coloured);
  for (int y = 602; y < 634; ++y) EXPECT_EQ(At(c, 772, y), 0x00FFFFFFu);

  // A second composition of the same size into the same pbxHidden shows only the new picture.
  win::DibSection blank(800, 600);
  std::fill(blank.pixels(), blank.pixels() + blank.pixelCount(), 0x00123456u);
  ASSERT_TRUE(modExport::ComposeExportImage({800, 600, blank.pixels()}, footerHandle, c));
  EXPECT_EQ(At(c, 5, 5), 0x00123456u);
  EXPECT_EQ(At(c, 799, 599), 0x00123456u);
  EXPECT_EQ(At(c, 400, 600), 0x00FFFFFFu);

  // A picture narrower than the footer shows the footer's columns 81 to 177 at 0 to 96.
  const auto narrow = Pattern(100, 40);
  // The same pbxHidden again: nothing of the earlier composite survives.
  win::DibSection& n = c;
  ASSERT_TRUE(modExport::ComposeExportImage({100, 40, narrow.pixels()}, footerHandle, n));
  ASSERT_EQ(n.width(), 100);
  ASSERT_EQ(n.height(), 74);
  wrong = 0;
  for (int y = 42; y < 74; ++y)
    for (int x = 0; x < 97; ++x) wrong += At(n, x, y) != At(footer, x + 81, y - 42);
  EXPECT_EQ(wrong, 0);
  ::DeleteObject(footerHandle);
}

TEST(ClipboardCopy, BitmapDibAndPngAllCarryTheComposite) {
  const auto picture = Pattern(64, 48);
  ASSERT_TRUE(modCBFiles::CopyPictureToClipboard(nullptr, picture));
  {
    win::clipboard_open clipboard(nullptr);
    ASSERT_TRUE(clipboard);
    BITMAP bm{};
    ASSERT_TRUE(::GetObjectW(::GetClipboardData(CF_BITMAP), sizeof bm, &bm));
    EXPECT_EQ(bm.bmWidth, 64);
    EXPECT_EQ(bm.bmHeight, 48);
  }
  const std::string dib = testclipboard::Bytes(CF_DIB);
  ASSERT_GE(dib.size(), sizeof(BITMAPINFOHEADER) + 3);
  const auto* header = reinterpret_cast<const BITMAPINFOHEADER*>(dib.data());
  EXPECT_EQ(header->biWidth, 64);
  EXPECT_EQ(header->biHeight, 48);  // bottom-up
  EXPECT_EQ(header->biBitCount, 24);
  const auto* bits = reinterpret_cast<const uint8_t*>(header + 1);
  EXPECT_EQ(static_cast<uint32_t>(bits[0] | bits[1] << 8 | bits[2] << 16), At(picture, 0, 47));  // the last row first
  EXPECT_EQ(testclipboard::Bytes(testclipboard::Png()).substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
}

namespace {
const std::string Marker = "[{\"self\":\"http://127.0.0.1/rest/api/2/attachment/10000\"}]";
}

TEST(Upload, AnsweredStatusAndMarkerDecideAndTheRequestIsExact) {
  TempFolder folder(L"lumo-upload");
  const std::string jpeg = std::string("\xFF\xD8\xFF\xE0", 4) + std::string(3000, 'j') + std::string("\r\n--\0x", 6);
  WriteBytes(folder.Path() + L"shot.jpg", jpeg);
  LocalHttpServer server(200, Marker);
  std::string boundary;
  const std::string user(27, 'u'), token(26, 't');  // 54 bytes with the colon: 72 Base64 characters
  EXPECT_EQ(modUpload::UploadAttachment(server.Address(L"/rest/api/2/issue/PROJ-12/attachments?nonce=1"), folder.Path(),
                                        L"shot.jpg", std::wstring(user.begin(), user.end()),
                                        std::wstring(token.begin(), token.end()), boundary)
                .result,
            200);
  EXPECT_EQ(boundary, modUpload::DefaultBoundary);
  EXPECT_EQ(server.Head().substr(0, server.Head().find("\r\n")),
            "POST /rest/api/2/issue/PROJ-12/attachments?nonce=1 HTTP/1.1");
  const std::string& head = server.Head();
  EXPECT_EQ(modUpload::BasicAuthorization(user + ":" + token).size(), 6u + 72u);
  size_t previous = 0;  // the four headers, in their order, after the request line
  for (const std::string& header : {"Content-Type: multipart/form-data; boundary=" + boundary,
                                    "Authorization: " + modUpload::BasicAuthorization(user + ":" + token),
                                    std::string("X-Atlassian-Token: nocheck"), std::string("accept: application/json")}) {
    const size_t at = head.find(header + "\r\n");
    ASSERT_NE(at, std::string::npos) << header << "\n" << head;
    EXPECT_LT(previous, at) << header;
    previous = at;
  }
  EXPECT_EQ(server.Body(), "--" + boundary + "\r\nContent-Disposition: form-data; name=\"file\"; filename=\"shot.jpg\"\r\n" +
                               "Content-Type: form-data\r\n\r\n" + jpeg + "\r\n--" + boundary + "\r\n" +
                               "Content-Disposition: form-data; name=\"age\"\r\n\r\n69\r\n--" + boundary + "--");
}

TEST(Upload, OtherAnswersGiveZeroWithoutAMessage) {
  TempFolder folder(L"lumo-upload2");
  WriteBytes(folder.Path() + L"a.jpg", "jpeg");
  for (auto [status, answer] : {std::pair{201, Marker}, {200, std::string("[]")}, {401, std::string("denied")}}) {
    LocalHttpServer server(status, answer);
    std::string boundary;
    const auto out = modUpload::UploadAttachment(server.Address(L"/x"), folder.Path(), L"a.jpg", L"u", L"t", boundary);
    EXPECT_EQ(out.result, 0) << status;
    EXPECT_EQ(out.errorText, L"") << status;
    EXPECT_EQ(server.Requests(), 1);
  }
}

TEST(Upload, AMissingFileAndABadAddressAreReported) {
  TempFolder folder(L"lumo-upload3");
  std::string boundary;
  auto upload = [&](const wchar_t* address, const wchar_t* file) {
    return modUpload::UploadAttachment(address, folder.Path(), file, L"u", L"t", boundary);
  };
  const auto missing = upload(L"http://127.0.0.1:1/x", L"gone.jpg");
  EXPECT_EQ(missing.result, -1);
  EXPECT_EQ(missing.errorText,
            L"There was an error uploading. Save and open file to be uploaded failed. If this persists, contact support");
  WriteBytes(folder.Path() + L"a.jpg", "jpeg");
  const auto address = upload(L"jira.example/rest", L"a.jpg");
  EXPECT_EQ(address.result, 0);
  EXPECT_EQ(address.errorText.rfind(L"There was an error uploading. Ensure config states 'https://'. If this persists, contact support\r\n\r\nError: ", 0), 0u)
      << address.errorText;
  EXPECT_TRUE(address.errorText.ends_with(L"\r\nLine: 20")) << address.errorText;
  // Nobody listens on the port: the send fails at stage 40.
  const auto refused = upload(L"http://127.0.0.1:1/x", L"a.jpg");
  EXPECT_EQ(refused.result, 0);
  EXPECT_EQ(refused.errorText.rfind(L"There was an error uploading. If this persists, contact support\r\n\r\nError: ", 0), 0u);
  EXPECT_TRUE(refused.errorText.ends_with(L"\r\nLine: 40")) << refused.errorText;
}

namespace {
// The command against a local server, with the replies given in turn; the prompts asked
// and the times the settings panel was toggled are kept.
class JiraCommand : public ::testing::Test {
 protected:
  modJira::JiraCommand Command(std::vector<std::optional<std::wstring>> replies, const std::wstring& instance = L"") {
    modJira::JiraCommand c;
    c.instance = instance.empty() ? server_.Address(L"") : instance;
    c.user = L"  me ";
    c.token = L"secret";
    c.uploadUrl = server_.Address(L"/rest/api/2/issue/!!ISSUE!!/attachments");
    c.imagesFolder = folder_.Path();
    c.now.tm_year = 123, c.now.tm_mon = 10, c.now.tm_mday = 14, c.now.tm_hour = 22, c.now.tm_min = 13, c.now.tm_sec = 20;
    c.ask = [this, replies, i = size_t{0}](const std::wstring& prompt, const std::wstring&, const std::wstring& reply) mutable {
      asked_.push_back(prompt + L"|" + reply);
      return i < replies.size() ? replies[i++] : std::nullopt;
    };
    c.toggleSettings = [this] { ++toggles_; };
    c.saveAttachment = [this](const std::wstring& name) -> std::optional<std::wstring> {
      WriteBytes(folder_.Path() + name + L".jpg", "JPEG bytes");
      return name + L".jpg";
    };
    return c;
  }
  std::string RequestLine() const { return server_.Head().substr(0, server_.Head().find("\r\n")); }
  TempFolder folder_{L"lumo-jira"};
  LocalHttpServer server_{200, Marker};
  std::vector<std::wstring> asked_;
  int toggles_ = 0;
};
}  // namespace

TEST_F(JiraCommand, WithTheSwitchOnTheAttachmentGoesToTheIssue) {
  auto c = Command({L" PROJ-12 ", L"1700000000-PROJ-12-"}, L"  " + server_.Address(L"") + L" ");
  const auto out = modJira::RunJiraUpload(c);
  EXPECT_EQ(c.user, L"me");  // the fields are trimmed
  EXPECT_EQ(asked_, (std::vector<std::wstring>{L"Enter JIRA Issue Number|", L"Name for attachment ?|1700000000-PROJ-12-"}));
  EXPECT_EQ(out.fileName, L"1700000000-proj-12-.jpg");
  EXPECT_EQ(out.result, 200);
  EXPECT_EQ(RequestLine(), "POST /rest/api/2/issue/PROJ-12/attachments?nonce=1700000000 HTTP/1.1");
  EXPECT_NE(server_.Body().find("filename=\"1700000000-proj-12-.jpg\""), std::string::npos);
  EXPECT_EQ(ReadBytes(folder_.Path() + L"1700000000-proj-12-.jpg"), "JPEG bytes");  // stays in the folder
  EXPECT_EQ(out.report, modJira::JiraOutcome::Report::Success);
  EXPECT_EQ(toggles_, 0);
}

TEST_F(JiraCommand, MissingSettingsOpenThePanelAndCancelsStopSilently) {
  auto empty = Command({}, L"   ");
  modJira::RunJiraUpload(empty);
  EXPECT_EQ(toggles_, 1);
  EXPECT_TRUE(asked_.empty());
  // A blank key, then a cancelled name: no file, no request.
  auto blankKey = Command({L"   "});
  EXPECT_EQ(modJira::RunJiraUpload(blankKey).result, 0);
  auto cancelled = Command({L"KEY-1", std::nullopt});
  EXPECT_EQ(modJira::RunJiraUpload(cancelled).result, 0);
  EXPECT_EQ(server_.Requests(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(folder_.Path())));
  // A key that would leave the issue's resource stays inside it.
  auto hostile = Command({L"../../x?y#", L""});
  const auto out = modJira::RunJiraUpload(hostile);
  EXPECT_EQ(out.fileName, L"issue_image.jpg");
  EXPECT_EQ(RequestLine(), "POST /rest/api/2/issue/..%2F..%2Fx%3Fy%23/attachments?nonce=1700000000 HTTP/1.1");
}

TEST_F(JiraCommand, AnAttachmentThatWasNotWrittenIsNotUploaded) {
  auto c = Command({L"KEY-7", L"shot"});
  c.saveAttachment = [](const std::wstring&) { return std::nullopt; };  // the disk is full, say
  EXPECT_EQ(modJira::RunJiraUpload(c).report, modJira::JiraOutcome::Report::FileError);
  EXPECT_EQ(server_.Requests(), 0);
  // A name that is a device is not written either.
  auto device = Command({L"KEY-7", L"CON"});
  EXPECT_EQ(modJira::RunJiraUpload(device).report, modJira::JiraOutcome::Report::FileError);
  EXPECT_EQ(server_.Requests(), 0);
}

// The attachment never replaces a file: numbered after the files that begin with its name,
// case aside, and on to the next number when another file takes its name meanwhile.
TEST(AttachmentFile, NeverReplacesAFile) {
  TempFolder folder(L"lumo-attach");
  const std::wstring f = folder.Path();
  for (const wchar_t* name : {L"bug.jpg", L"bug1.jpg", L"1.jpg", L"11.jpg", L"lpt.jpg"}) WriteBytes(f + name, "theirs");
  auto write = [](const std::wstring& temp) {
    WriteBytes(temp, "mine");
    return true;
  };
  EXPECT_EQ(modAttachments::WriteNewAttachment(f, L"Bug", write), f + L"Bug2.jpg");
  EXPECT_EQ(modAttachments::WriteNewAttachment(f, L"1", write), f + L"12.jpg");
  const auto taken = modAttachments::WriteNewAttachment(f, L"new", [&](const std::wstring& temp) {
    WriteBytes(f + L"new.jpg", "theirs");  // another program, just before the rename
    WriteBytes(temp, "mine");
    return true;
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
class RecordingDispatch : public IDispatch {
 public:
  explicit RecordingDispatch(RecordingDispatch* child = nullptr) : child(child) {}
  std::vector<std::wstring> calls;
  RecordingDispatch* child;  // what CreateItem and Attachments return

  HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** out) override {
    *out = this;
    return S_OK;
  }
  ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
  ULONG STDMETHODCALLTYPE Release() override { return 1; }
  HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
    *n = 0;
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT, LCID, DISPID* id) override {
    names_.push_back(names[0]);
    *id = static_cast<DISPID>(names_.size());
    return S_OK;
  }
  HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD kind, DISPPARAMS* p, VARIANT* result, EXCEPINFO*,
                                   UINT*) override {
    std::wstring call = names_[static_cast<size_t>(id - 1)] +
                        (kind == DISPATCH_PROPERTYPUT ? L"=" : kind == DISPATCH_PROPERTYGET ? L"?" : L"(");
    if (kind == DISPATCH_PROPERTYPUT && (p->cNamedArgs != 1 || p->rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
      call += L"<no named argument>";
    for (UINT i = p->cArgs; i-- > 0;) {  // rgvarg holds them last to first
      const VARIANT& v = p->rgvarg[i];
      call += v.vt == VT_BSTR ? std::wstring(v.bstrVal) : v.vt == VT_I4 ? std::to_wstring(v.lVal) : L"?";
      if (i) call += L",";
    }
    calls.push_back(call);
    if (result && child && (call.starts_with(L"CreateItem") || call.starts_with(L"Attachments"))) {
      result->vt = VT_DISPATCH;
      result->pdispVal = child;
    }
    return S_OK;
  }

 private:
  std::vector<std::wstring> names_;
};
}  // namespace

TEST(OutlookMail, TheMailItemIsMadeAttachedAndShownByName) {
  RecordingDispatch attachments, item(&attachments), outlook(&item);
  modEmail::ComposeOutlookMail(&outlook, L"C:\\img\\shot.jpg", L"", L"  ", L"");
  EXPECT_EQ(outlook.calls, (std::vector<std::wstring>{L"CreateItem(0"}));
  EXPECT_EQ(item.calls, (std::vector<std::wstring>{L"Attachments?", L"Display("}));  // blank fields stay unset
  EXPECT_EQ(attachments.calls, (std::vector<std::wstring>{L"Add(C:\\img\\shot.jpg,1,1"}));
  RecordingDispatch attachments2, item2(&attachments2), outlook2(&item2);
  modEmail::ComposeOutlookMail(&outlook2, L"C:\\a.jpg", L"a@b.example", L"Bug", L"See picture");
  EXPECT_EQ(item2.calls, (std::vector<std::wstring>{L"To=a@b.example", L"Subject=Bug", L"Body=See picture", L"Attachments?",
                                                    L"Display("}));
}
