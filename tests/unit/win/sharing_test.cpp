// The hand-offs on the real platform: the composite's pixels with the real footer, the
// clipboard formats of a copy, the upload against a local server (status, marker, headers
// and body byte for byte, the error messages) and the JIRA command behind its switch.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "app/resource.h"
#include "sharing/modCBFiles.h"
#include "sharing/modEmail.h"
#include "sharing/modExport.h"
#include "sharing/modJira.h"
#include "sharing/modUpload.h"
#include "sharing/sharing_rules.h"
#include "support/pictures.h"
#include "unit/win/local_http_server.h"
#include "unit/win/message_answer.h"
#include "unit/win/temp_folder.h"
#include "win/clipboard.h"

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
    ::GdiFlush();
    for (size_t i = 0; i < dib.pixelCount(); ++i) dib.pixels()[i] &= 0x00FFFFFF;
  }
  return dib;
}

uint32_t At(const win::DibSection& d, int x, int y) { return d.pixels()[static_cast<size_t>(y) * d.width() + x] & 0x00FFFFFF; }

std::string ReadFile(const std::wstring& path) {
  std::ifstream f(std::filesystem::path(path), std::ios::binary);
  std::stringstream s;
  s << f.rdbuf();
  return s.str();
}

void WriteFile(const std::wstring& path, const std::string& bytes) {
  std::ofstream f(std::filesystem::path(path), std::ios::binary);
  f << bytes;
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
  win::clipboard_open clipboard(nullptr);
  ASSERT_TRUE(clipboard);
  BITMAP bm{};
  ASSERT_TRUE(::GetObjectW(::GetClipboardData(CF_BITMAP), sizeof bm, &bm));
  EXPECT_EQ(bm.bmWidth, 64);
  EXPECT_EQ(bm.bmHeight, 48);
  HANDLE dib = ::GetClipboardData(CF_DIB);
  ASSERT_NE(dib, nullptr);
  const auto* header = static_cast<const BITMAPINFOHEADER*>(::GlobalLock(dib));
  ASSERT_NE(header, nullptr);
  EXPECT_EQ(header->biWidth, 64);
  EXPECT_EQ(header->biHeight, 48);  // bottom-up
  EXPECT_EQ(header->biBitCount, 24);
  const auto* bits = reinterpret_cast<const uint8_t*>(header + 1);
  const uint32_t first = bits[0] | bits[1] << 8 | bits[2] << 16;
  EXPECT_EQ(first, At(picture, 0, 47));  // the last row comes first
  ::GlobalUnlock(dib);
  HANDLE png = ::GetClipboardData(::RegisterClipboardFormatW(L"PNG"));
  ASSERT_NE(png, nullptr);
  const auto* bytes = static_cast<const unsigned char*>(::GlobalLock(png));
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(std::memcmp(bytes, "\x89PNG\r\n\x1a\n", 8), 0);
  ::GlobalUnlock(png);
}

namespace {
const std::string Marker = "[{\"self\":\"http://127.0.0.1/rest/api/2/attachment/10000\"}]";
}

TEST(Upload, AnsweredStatusAndMarkerDecideAndTheRequestIsExact) {
  TempFolder folder(L"lumo-upload");
  const std::string jpeg = std::string("\xFF\xD8\xFF\xE0", 4) + std::string(3000, 'j') + std::string("\r\n--\0x", 6);
  WriteFile(folder.Path() + L"shot.jpg", jpeg);
  LocalHttpServer server(200, Marker);
  std::string boundary;
  const std::string user(27, 'u'), token(26, 't');  // 54 bytes with the colon: 72 Base64 characters
  EXPECT_EQ(modUpload::UploadAttachment(nullptr, server.Address(L"/rest/api/2/issue/PROJ-12/attachments?nonce=1"),
                                        folder.Path(), L"shot.jpg", std::wstring(user.begin(), user.end()),
                                        std::wstring(token.begin(), token.end()), boundary),
            200);
  EXPECT_EQ(boundary, modUpload::DefaultBoundary);
  EXPECT_EQ(server.Head().substr(0, server.Head().find("\r\n")),
            "POST /rest/api/2/issue/PROJ-12/attachments?nonce=1 HTTP/1.1");
  const std::string& head = server.Head();
  const size_t type = head.find("Content-Type: multipart/form-data; boundary=" + boundary + "\r\n");
  const size_t auth = head.find("Authorization: " + modUpload::BasicAuthorization(user + ":" + token) + "\r\n");
  const size_t token72 = modUpload::BasicAuthorization(user + ":" + token).size();
  EXPECT_EQ(token72, 6u + 72u);
  const size_t atl = head.find("X-Atlassian-Token: nocheck\r\n");
  const size_t accept = head.find("accept: application/json\r\n");
  ASSERT_NE(type, std::string::npos) << head;
  ASSERT_NE(auth, std::string::npos) << head;
  ASSERT_NE(atl, std::string::npos) << head;
  ASSERT_NE(accept, std::string::npos) << head;
  EXPECT_LT(type, auth);  // the four headers in their order
  EXPECT_LT(auth, atl);
  EXPECT_LT(atl, accept);
  EXPECT_EQ(server.Body(), modUpload::BuildUploadBody("shot.jpg", jpeg, boundary));
  EXPECT_NE(server.Body().find("\r\n\r\n" + jpeg + "\r\n--" + boundary + "\r\n"), std::string::npos);
}

TEST(Upload, OtherAnswersGiveZeroWithoutAMessage) {
  TempFolder folder(L"lumo-upload2");
  WriteFile(folder.Path() + L"a.jpg", "jpeg");
  for (auto [status, answer] : {std::pair{201, Marker}, {200, std::string("[]")}, {401, std::string("denied")}}) {
    LocalHttpServer server(status, answer);
    MessageAnswer none(L"Upload Error");
    std::string boundary;
    EXPECT_EQ(modUpload::UploadAttachment(nullptr, server.Address(L"/x"), folder.Path(), L"a.jpg", L"u", L"t", boundary), 0)
        << status;
    EXPECT_EQ(server.Requests(), 1);
    EXPECT_FALSE(none.Seen());
  }
}

TEST(Upload, AMissingFileAndABadAddressAreReported) {
  TempFolder folder(L"lumo-upload3");
  std::string boundary;
  {
    MessageAnswer message(L"Upload Error");
    EXPECT_EQ(modUpload::UploadAttachment(nullptr, L"http://127.0.0.1:1/x", folder.Path(), L"gone.jpg", L"u", L"t", boundary), -1);
    EXPECT_TRUE(message.Seen());
    EXPECT_EQ(message.Text(),
              L"There was an error uploading. Save and open file to be uploaded failed. If this persists, contact support");
  }
  WriteFile(folder.Path() + L"a.jpg", "jpeg");
  {
    MessageAnswer message(L"Upload Error");
    EXPECT_EQ(modUpload::UploadAttachment(nullptr, L"jira.example/rest", folder.Path(), L"a.jpg", L"u", L"t", boundary), 0);
    ASSERT_TRUE(message.Seen());
    EXPECT_EQ(message.Text().rfind(L"There was an error uploading. Ensure config states 'https://'. If this persists, contact support\r\n\r\nError: ", 0), 0u)
        << message.Text();
    EXPECT_TRUE(message.Text().ends_with(L"\r\nLine: 20")) << message.Text();
  }
  {
    // Nobody listens on the port: the send fails at stage 40.
    MessageAnswer message(L"Upload Error");
    EXPECT_EQ(modUpload::UploadAttachment(nullptr, L"http://127.0.0.1:1/x", folder.Path(), L"a.jpg", L"u", L"t", boundary), 0);
    ASSERT_TRUE(message.Seen());
    EXPECT_EQ(message.Text().rfind(L"There was an error uploading. If this persists, contact support\r\n\r\nError: ", 0), 0u);
    EXPECT_TRUE(message.Text().ends_with(L"\r\nLine: 40")) << message.Text();
  }
}

namespace {
modJira::JiraCommand Command(const TempFolder& folder, const std::wstring& instance, std::vector<std::optional<std::wstring>> replies,
                             std::vector<std::wstring>& asked, int& toggles) {
  modJira::JiraCommand c;
  c.instance = instance;
  c.user = L"  me ";
  c.token = L"secret";
  c.uploadUrl = instance + L"/rest/api/2/issue/!!ISSUE!!/attachments";
  c.imagesFolder = folder.Path();
  c.now.tm_year = 123, c.now.tm_mon = 10, c.now.tm_mday = 14, c.now.tm_hour = 22, c.now.tm_min = 13, c.now.tm_sec = 20;
  c.ask = [replies, &asked, i = size_t{0}](const std::wstring& prompt, const std::wstring&, const std::wstring& reply) mutable {
    asked.push_back(prompt + L"|" + reply);
    return i < replies.size() ? replies[i++] : std::nullopt;
  };
  c.toggleSettings = [&toggles] { ++toggles; };
  c.saveComposite = [](const std::wstring& path) {
    WriteFile(path, "JPEG bytes");
    return true;
  };
  return c;
}
}  // namespace

TEST(JiraCommand, WithTheSwitchOnTheAttachmentGoesToTheIssue) {
  TempFolder folder(L"lumo-jira");
  LocalHttpServer server(200, Marker);
  std::vector<std::wstring> asked;
  int toggles = 0;
  auto c = Command(folder, L"  http://127.0.0.1:" + std::to_wstring(server.Port()) + L" ", {L" PROJ-12 ", L"1700000000-PROJ-12-"},
                   asked, toggles);
  c.uploadUrl = L"http://127.0.0.1:" + std::to_wstring(server.Port()) + L"/rest/api/2/issue/!!ISSUE!!/attachments";
  MessageAnswer result(L"Upload Result");
  const auto out = modJira::RunJiraUpload(c);
  EXPECT_EQ(c.user, L"me");  // the fields are trimmed
  EXPECT_EQ(asked, (std::vector<std::wstring>{L"Enter JIRA Issue Number|", L"Name for attachment ?|1700000000-PROJ-12-"}));
  EXPECT_EQ(out.fileName, L"1700000000-proj-12-.jpg");
  EXPECT_EQ(out.result, 200);
  EXPECT_EQ(server.Head().substr(0, server.Head().find("\r\n")),
            "POST /rest/api/2/issue/PROJ-12/attachments?nonce=1700000000 HTTP/1.1");
  EXPECT_NE(server.Body().find("filename=\"1700000000-proj-12-.jpg\""), std::string::npos);
  EXPECT_EQ(ReadFile(folder.Path() + L"1700000000-proj-12-.jpg"), "JPEG bytes");  // stays in the folder
  ASSERT_TRUE(result.Seen());
  EXPECT_EQ(result.Text(), L"Upload of file: 1700000000-proj-12-.jpg - response: Success");
  EXPECT_EQ(toggles, 0);
}

TEST(JiraCommand, MissingSettingsOpenThePanelAndCancelsStopSilently) {
  TempFolder folder(L"lumo-jira2");
  std::vector<std::wstring> asked;
  int toggles = 0;
  auto empty = Command(folder, L"   ", {}, asked, toggles);
  modJira::RunJiraUpload(empty);
  EXPECT_EQ(toggles, 1);
  EXPECT_TRUE(asked.empty());
  // A blank key, then a cancelled name: no file, no request.
  LocalHttpServer server(200, Marker);
  auto blankKey = Command(folder, L"http://127.0.0.1:" + std::to_wstring(server.Port()), {L"   "}, asked, toggles);
  EXPECT_EQ(modJira::RunJiraUpload(blankKey).result, 0);
  auto cancelled = Command(folder, L"http://127.0.0.1:" + std::to_wstring(server.Port()), {L"KEY-1", std::nullopt}, asked, toggles);
  EXPECT_EQ(modJira::RunJiraUpload(cancelled).result, 0);
  EXPECT_EQ(server.Requests(), 0);
  EXPECT_TRUE(std::filesystem::is_empty(std::filesystem::path(folder.Path())));
  // A key that would leave the issue's resource stays inside it.
  auto hostile = Command(folder, L"http://127.0.0.1:" + std::to_wstring(server.Port()), {L"../../x?y#", L""}, asked, toggles);
  MessageAnswer result(L"Upload Result");
  const auto out = modJira::RunJiraUpload(hostile);
  EXPECT_EQ(out.fileName, L"issue_image.jpg");
  EXPECT_EQ(server.Head().substr(0, server.Head().find("\r\n")),
            "POST /rest/api/2/issue/..%2F..%2Fx%3Fy%23/attachments?nonce=1700000000 HTTP/1.1");
}

TEST(JiraCommand, AnAttachmentThatWasNotWrittenIsNotUploaded) {
  TempFolder folder(L"lumo-jira3");
  LocalHttpServer server(200, Marker);
  std::vector<std::wstring> asked;
  int toggles = 0;
  auto c = Command(folder, L"http://127.0.0.1:" + std::to_wstring(server.Port()), {L"KEY-7", L"shot"}, asked, toggles);
  c.saveComposite = [](const std::wstring&) { return false; };  // the disk is full, say
  MessageAnswer error(L"File Error");
  EXPECT_EQ(modJira::RunJiraUpload(c).result, 0);
  ASSERT_TRUE(error.Seen());
  EXPECT_EQ(error.Text(), L"There was an error saving the attatchment file. Please retry. Ensure filename contains no invalid characters");
  EXPECT_EQ(server.Requests(), 0);
  // A name that is a device is not written either.
  auto device = Command(folder, L"http://127.0.0.1:" + std::to_wstring(server.Port()), {L"KEY-7", L"CON"}, asked, toggles);
  MessageAnswer again(L"File Error");
  EXPECT_EQ(modJira::RunJiraUpload(device).result, 0);
  EXPECT_TRUE(again.Seen());
  EXPECT_EQ(server.Requests(), 0);
}

namespace {
// An application object that records every call made on it by name: the members, the
// kinds of call and the arguments in the order the caller meant them.
class RecordingDispatch : public IDispatch {
 public:
  std::vector<std::wstring> calls;
  RecordingDispatch* child = nullptr;  // what CreateItem and Attachments return

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
  RecordingDispatch attachments, item, outlook;
  outlook.child = &item;
  item.child = &attachments;
  modEmail::ComposeOutlookMail(&outlook, L"C:\\img\\shot.jpg", L"", L"  ", L"");
  EXPECT_EQ(outlook.calls, (std::vector<std::wstring>{L"CreateItem(0"}));
  EXPECT_EQ(item.calls, (std::vector<std::wstring>{L"Attachments?", L"Display("}));  // blank fields stay unset
  EXPECT_EQ(attachments.calls, (std::vector<std::wstring>{L"Add(C:\\img\\shot.jpg,1,1"}));
  RecordingDispatch attachments2, item2, outlook2;
  outlook2.child = &item2;
  item2.child = &attachments2;
  modEmail::ComposeOutlookMail(&outlook2, L"C:\\a.jpg", L"a@b.example", L"Bug", L"See picture");
  EXPECT_EQ(item2.calls, (std::vector<std::wstring>{L"To=a@b.example", L"Subject=Bug", L"Body=See picture", L"Attachments?",
                                                    L"Display("}));
}
