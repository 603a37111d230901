#include "sharing/modUpload.h"

#include <new>

#include "sharing/sharing_rules.h"
#include "win/file_io.h"
#include "win/text_codec.h"
#include "win/winhttp.h"

namespace {

using win::Http;
using win::unique_hinternet;

// The stages of an upload, as its error messages number them.
constexpr int StageSession = 0, StageFile = 10, StageAddress = 20, StageRequest = 30, StageSend = 40;

std::wstring Describe(DWORD number) {
  wchar_t* text = nullptr;
  DWORD flags = FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS;
  if (number >= 12000 && number < 13000 && Http().module) flags |= FORMAT_MESSAGE_FROM_HMODULE;
  ::FormatMessageW(flags, Http().module, number, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring d = text ? text : L"Unknown error";
  if (text) ::LocalFree(text);
  while (!d.empty() && (d.back() == L'\n' || d.back() == L'\r' || d.back() == L' ')) d.pop_back();
  return d;
}

modUpload::UploadResult Failed(int stage, DWORD number, const std::wstring& description) {
  const std::wstring sentence =
      stage == StageAddress ? L"There was an error uploading. Ensure config states 'https://'. If this persists, contact support"
                            : L"There was an error uploading. If this persists, contact support";
  return {0, sentence + L"\r\n\r\nError: " + description + L"\r\nNumber: " + std::to_wstring(number) + L"\r\nLine: " +
                 std::to_wstring(stage)};
}
modUpload::UploadResult Failed(int stage, DWORD number) { return Failed(stage, number, Describe(number)); }

// A POST request to the address: host, port, path with its query (a fragment is the
// browser's, never sent). Nothing, with GetLastError(), when the address is no http(s) one.
struct Request {
  unique_hinternet connection, request;
};
bool OpenRequest(HINTERNET session, const std::wstring& address, Request& out) {
  URL_COMPONENTS parts{sizeof parts};
  wchar_t host[256] = {}, urlPath[4096] = {};
  parts.lpszHostName = host;
  parts.dwHostNameLength = 256;
  parts.lpszUrlPath = urlPath;
  parts.dwUrlPathLength = 4096;
  parts.dwExtraInfoLength = 1;  // the query stays with the path
  if (!Http().crackUrl(address.c_str(), 0, 0, &parts)) return false;
  if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS) {
    ::SetLastError(ERROR_WINHTTP_UNRECOGNIZED_SCHEME);
    return false;
  }
  std::wstring object(urlPath, parts.dwUrlPathLength);
  if (parts.lpszExtraInfo) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  object = object.substr(0, object.find(L'#'));
  out.connection.reset(Http().connect(session, host, parts.nPort, 0));
  if (!out.connection) return false;
  out.request.reset(Http().openRequest(out.connection.get(), L"POST", object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                       WINHTTP_DEFAULT_ACCEPT_TYPES,
                                       parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
  return static_cast<bool>(out.request);
}

// The credentials go to this address only: redirects are switched off, and the headers set.
bool PrepareRequest(HINTERNET request, const std::string& boundary, const std::wstring& user, const std::wstring& token) {
  DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
  if (!Http().setOption(request, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never)) return false;
  const std::wstring headers[] = {
      L"Content-Type: multipart/form-data; boundary=" + win::FromAnsi(boundary),
      L"Authorization: " + win::FromAnsi(modUpload::BasicAuthorization(win::ToAnsi(user + L":" + token))),
      L"X-Atlassian-Token: nocheck",
      L"accept: application/json",
  };
  for (const std::wstring& h : headers)
    if (!Http().addHeaders(request, h.c_str(), static_cast<DWORD>(-1L), WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE))
      return false;
  return true;
}

// Sends the body and reads the status and the answer's text.
bool Exchange(HINTERNET request, std::string& body, DWORD& status, std::string& answer) {
  DWORD size = sizeof status;
  if (!Http().send(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, body.data(), static_cast<DWORD>(body.size()),
                   static_cast<DWORD>(body.size()), 0) ||
      !Http().receive(request, nullptr) ||
      !Http().queryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                           &status, &size, WINHTTP_NO_HEADER_INDEX))
    return false;
  for (;;) {
    DWORD available = 0;
    if (!Http().available(request, &available)) return false;
    if (available == 0) return true;
    const size_t at = answer.size();
    answer.resize(at + available);
    DWORD read = 0;
    if (!Http().read(request, answer.data() + at, available, &read)) return false;
    answer.resize(at + read);
    if (answer.size() > 16 * 1024 * 1024) return true;  // the marker comes early; a flood is not read on
  }
}

}  // namespace

modUpload::UploadResult modUpload::UploadAttachment(const std::wstring& address, const std::wstring& folder,
                                                    const std::wstring& fileName, const std::wstring& user,
                                                    const std::wstring& token, std::string& boundary) {
  if (boundary.empty()) boundary = DefaultBoundary;
  int stage = StageSession;
  try {
    if (!Http().ok) return Failed(stage, ERROR_MOD_NOT_FOUND);
    unique_hinternet session(Http().open(L"Mirel Lumo", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                         WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session) return Failed(stage, ::GetLastError());

    stage = StageFile;
    const std::wstring path = folder + fileName;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY))
      return {-1, L"There was an error uploading. Save and open file to be uploaded failed. If this persists, contact support"};

    stage = StageAddress;
    Request request;
    if (!OpenRequest(session.get(), address, request)) return Failed(stage, ::GetLastError());

    stage = StageRequest;
    if (!PrepareRequest(request.request.get(), boundary, user, token)) return Failed(stage, ::GetLastError());
    const auto content = win::ReadWholeFile(path, 512u * 1024 * 1024);
    if (!content) return Failed(stage, ::GetLastError());
    std::string body = BuildUploadBody(win::ToAnsi(fileName), *content, boundary);

    stage = StageSend;
    DWORD status = 0;
    std::string answer;
    if (!Exchange(request.request.get(), body, status, answer)) return Failed(stage, ::GetLastError());
    return {JudgeAnswer(static_cast<int>(status), answer), L""};
  } catch (const std::bad_alloc&) {
    return Failed(stage, 7, L"Out of memory");
  }
}
