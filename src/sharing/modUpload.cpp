#include "sharing/modUpload.h"

#include <winhttp.h>

#include <vector>

#include "sharing/sharing_rules.h"
#include "win/handles.h"
#include "win/message_box.h"
#include "win/window_text.h"

namespace {

// WinHTTP, loaded on first use: only an upload needs it.
struct HttpApi {
  decltype(&::WinHttpOpen) open = nullptr;
  decltype(&::WinHttpCrackUrl) crackUrl = nullptr;
  decltype(&::WinHttpConnect) connect = nullptr;
  decltype(&::WinHttpOpenRequest) openRequest = nullptr;
  decltype(&::WinHttpAddRequestHeaders) addHeaders = nullptr;
  decltype(&::WinHttpSendRequest) send = nullptr;
  decltype(&::WinHttpReceiveResponse) receive = nullptr;
  decltype(&::WinHttpQueryHeaders) queryHeaders = nullptr;
  decltype(&::WinHttpQueryDataAvailable) available = nullptr;
  decltype(&::WinHttpReadData) read = nullptr;
  decltype(&::WinHttpCloseHandle) close = nullptr;
  decltype(&::WinHttpSetOption) setOption = nullptr;
  HMODULE module = nullptr;
  bool ok = false;
};

const HttpApi& Http() {
  static const HttpApi api = [] {
    HttpApi a;
    a.module = ::LoadLibraryExW(L"winhttp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!a.module) return a;
    auto get = [&](auto& fn, const char* name) { return win::GetProc(a.module, fn, name); };
    a.ok = get(a.open, "WinHttpOpen") && get(a.crackUrl, "WinHttpCrackUrl") && get(a.connect, "WinHttpConnect") &&
           get(a.openRequest, "WinHttpOpenRequest") && get(a.addHeaders, "WinHttpAddRequestHeaders") &&
           get(a.send, "WinHttpSendRequest") && get(a.receive, "WinHttpReceiveResponse") &&
           get(a.queryHeaders, "WinHttpQueryHeaders") && get(a.available, "WinHttpQueryDataAvailable") &&
           get(a.read, "WinHttpReadData") && get(a.close, "WinHttpCloseHandle") && get(a.setOption, "WinHttpSetOption");
    return a;
  }();
  return api;
}

struct HttpHandle {
  HINTERNET h = nullptr;
  explicit HttpHandle(HINTERNET handle = nullptr) : h(handle) {}
  ~HttpHandle() {
    if (h) Http().close(h);
  }
  HttpHandle(const HttpHandle&) = delete;
  HttpHandle& operator=(const HttpHandle&) = delete;
};

// A failure of the upload at a stage: the error's description and number.
struct UploadFailure {
  int stage;
  DWORD number;
};

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

std::string Ansi(const std::wstring& s) {
  if (s.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<size_t>(n > 0 ? n : 0), '\0');
  if (n > 0) ::WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring Wide(const std::string& s) {
  if (s.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(static_cast<size_t>(n > 0 ? n : 0), L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

bool ReadWholeFile(const std::wstring& path, std::string& bytes) {
  win::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
  LARGE_INTEGER size{};
  if (!file || !::GetFileSizeEx(file.get(), &size) || size.QuadPart > 512LL * 1024 * 1024) return false;
  bytes.resize(static_cast<size_t>(size.QuadPart));
  DWORD read = 0;
  return bytes.empty() || (::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) &&
                           read == bytes.size());
}

}  // namespace

int32_t modUpload::UploadAttachment(HWND owner, const std::wstring& address, const std::wstring& folder,
                                    const std::wstring& fileName, const std::wstring& user, const std::wstring& token,
                                    std::string& boundary) {
  if (boundary.empty()) boundary = DefaultBoundary;
  int stage = 0;
  try {
    if (!Http().ok) throw UploadFailure{stage, ERROR_MOD_NOT_FOUND};
    HttpHandle session(Http().open(L"Mirel Lumo", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY, WINHTTP_NO_PROXY_NAME,
                                   WINHTTP_NO_PROXY_BYPASS, 0));
    if (!session.h) throw UploadFailure{stage, ::GetLastError()};

    stage = 10;
    const std::wstring path = folder + fileName;
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
      win::ShowMessage(owner,
                       L"There was an error uploading. Save and open file to be uploaded failed. If this persists, "
                       L"contact support",
                       L"Upload Error", MB_OK | MB_ICONSTOP);
      return -1;
    }

    stage = 20;
    URL_COMPONENTS parts{sizeof parts};
    wchar_t host[256] = {}, urlPath[4096] = {};
    parts.lpszHostName = host;
    parts.dwHostNameLength = 256;
    parts.lpszUrlPath = urlPath;
    parts.dwUrlPathLength = 4096;
    parts.dwExtraInfoLength = 1;  // the query stays with the path
    if (!Http().crackUrl(address.c_str(), 0, 0, &parts)) throw UploadFailure{stage, ::GetLastError()};
    if (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS)
      throw UploadFailure{stage, ERROR_WINHTTP_UNRECOGNIZED_SCHEME};
    std::wstring object(urlPath, parts.dwUrlPathLength);
    if (parts.lpszExtraInfo) object.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    object = object.substr(0, object.find(L'#'));  // a fragment is the browser's, never sent
    HttpHandle connection(Http().connect(session.h, host, parts.nPort, 0));
    if (!connection.h) throw UploadFailure{stage, ::GetLastError()};
    HttpHandle request(Http().openRequest(connection.h, L"POST", object.c_str(), nullptr, WINHTTP_NO_REFERER,
                                          WINHTTP_DEFAULT_ACCEPT_TYPES,
                                          parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0));
    if (!request.h) throw UploadFailure{stage, ::GetLastError()};
    // The credentials go to this address only: a redirect is not followed with them.
    DWORD never = WINHTTP_OPTION_REDIRECT_POLICY_NEVER;
    Http().setOption(request.h, WINHTTP_OPTION_REDIRECT_POLICY, &never, sizeof never);

    stage = 30;
    const std::wstring headers[] = {
        L"Content-Type: multipart/form-data; boundary=" + Wide(boundary),
        L"Authorization: " + Wide(BasicAuthorization(Ansi(user + L":" + token))),
        L"X-Atlassian-Token: nocheck",
        L"accept: application/json",
    };
    for (const std::wstring& h : headers)
      if (!Http().addHeaders(request.h, h.c_str(), static_cast<DWORD>(-1L), WINHTTP_ADDREQ_FLAG_ADD | WINHTTP_ADDREQ_FLAG_REPLACE))
        throw UploadFailure{stage, ::GetLastError()};
    std::string content;
    if (!ReadWholeFile(path, content)) throw UploadFailure{stage, ::GetLastError()};
    std::string body = BuildUploadBody(Ansi(fileName), content, boundary);

    stage = 40;
    if (!Http().send(request.h, WINHTTP_NO_ADDITIONAL_HEADERS, 0, body.data(), static_cast<DWORD>(body.size()),
                     static_cast<DWORD>(body.size()), 0) ||
        !Http().receive(request.h, nullptr))
      throw UploadFailure{stage, ::GetLastError()};
    DWORD status = 0, size = sizeof status;
    if (!Http().queryHeaders(request.h, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER, WINHTTP_HEADER_NAME_BY_INDEX,
                             &status, &size, WINHTTP_NO_HEADER_INDEX))
      throw UploadFailure{stage, ::GetLastError()};
    std::string answer;
    for (;;) {
      DWORD available = 0;
      if (!Http().available(request.h, &available)) throw UploadFailure{stage, ::GetLastError()};
      if (available == 0) break;
      const size_t at = answer.size();
      answer.resize(at + available);
      DWORD read = 0;
      if (!Http().read(request.h, answer.data() + at, available, &read)) throw UploadFailure{stage, ::GetLastError()};
      answer.resize(at + read);
      if (answer.size() > 16 * 1024 * 1024) break;  // the marker comes early; a flood is not read on
    }
    return JudgeAnswer(static_cast<int>(status), answer);
  } catch (const UploadFailure& f) {
    const std::wstring sentence = f.stage == 20
                                      ? L"There was an error uploading. Ensure config states 'https://'. If this persists, contact support"
                                      : L"There was an error uploading. If this persists, contact support";
    win::ShowMessage(owner,
                     sentence + L"\r\n\r\nError: " + Describe(f.number) + L"\r\nNumber: " + std::to_wstring(f.number) +
                         L"\r\nLine: " + std::to_wstring(f.stage),
                     L"Upload Error", MB_OK | MB_ICONSTOP);
  } catch (const std::bad_alloc&) {
    win::ShowMessage(owner,
                     L"There was an error uploading. If this persists, contact support\r\n\r\nError: Out of memory\r\nNumber: 7\r\nLine: " +
                         std::to_wstring(stage),
                     L"Upload Error", MB_OK | MB_ICONSTOP);
  }
  return 0;
}
