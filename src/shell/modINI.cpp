#include "shell/modINI.h"

#include <windows.h>

#include <optional>

#include "shell/app_error.h"
#include "shell/ini_document.h"
#include "win/error_text.h"
#include "win/handles.h"

namespace {

[[noreturn]] void ThrowLastError() {
  const DWORD err = ::GetLastError();
  throw AppError{static_cast<int32_t>(err), win::SystemErrorText(err), 0};
}

// The file's bytes; nothing when there is no such file. A file that is there but cannot be
// read (locked, unreadable, absurdly large) raises: treating it as empty would write empty
// settings over the user's.
std::optional<std::string> ReadWholeFile(const std::wstring& path) {
  win::unique_file file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) {
    const DWORD err = ::GetLastError();
    if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return std::nullopt;
    ThrowLastError();
  }
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) ThrowLastError();
  if (size.QuadPart > 16 * 1024 * 1024) {
    ::SetLastError(ERROR_FILE_TOO_LARGE);
    ThrowLastError();
  }
  std::string bytes(static_cast<size_t>(size.QuadPart), '\0');
  DWORD read = 0;
  if (!bytes.empty() && (!::ReadFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr) ||
                         read != bytes.size()))
    ThrowLastError();
  return bytes;
}

void ReplaceFileAtomically(const std::wstring& path, const std::string& bytes) {
  // Named per process, so that two instances saving at once never share a half-written file.
  const std::wstring temp = path + L"." + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
  bool ok = false;
  {
    win::unique_file file(::CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) ThrowLastError();
    DWORD written = 0;
    ok = (bytes.empty() ||
          (::WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
           written == bytes.size())) &&
         ::FlushFileBuffers(file.get());
  }
  if (ok) ok = ::MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
  if (!ok) {
    const DWORD err = ::GetLastError();
    ::DeleteFileW(temp.c_str());
    ::SetLastError(err);
    ThrowLastError();
  }
}

std::string ToAnsi(const std::wstring& s) {
  if (s.empty()) return {};
  const int n = ::WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? static_cast<size_t>(n) : 0, '\0');
  if (n > 0) ::WideCharToMultiByte(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n, nullptr, nullptr);
  return out;
}

std::wstring FromAnsi(const std::string& s) {
  if (s.empty()) return {};
  const int n = ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
  std::wstring out(n > 0 ? static_cast<size_t>(n) : 0, L'\0');
  if (n > 0) ::MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), out.data(), n);
  return out;
}

}  // namespace

std::wstring modINI::ReadIniValue(std::string_view section, std::string_view key, const std::wstring& file) {
  const auto bytes = ReadWholeFile(file);  // raises when the file is there but unreadable
  if (!bytes) return {};
  const auto value = IniDocument::Parse(*bytes).Get(section, key);
  return value ? FromAnsi(*value) : std::wstring();
}

void modINI::WriteIniValues(const std::vector<IniEntry>& entries, const std::wstring& file, bool fresh) {
  IniDocument doc;
  if (!fresh) {
    if (const auto bytes = ReadWholeFile(file)) doc = IniDocument::Parse(*bytes);
  }
  for (const auto& e : entries) doc.Set(e.section, e.key, ToAnsi(e.value));
  ReplaceFileAtomically(file, doc.Serialize());
}
