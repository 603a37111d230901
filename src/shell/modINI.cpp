#include "shell/modINI.h"

#include <windows.h>

#include <optional>

#include "base/app_error.h"
#include "shell/ini_document.h"
#include "win/error_text.h"
#include "win/file_io.h"
#include "win/text_codec.h"

namespace {

[[noreturn]] void ThrowLastError() {
  const DWORD err = ::GetLastError();
  throw AppError{static_cast<int32_t>(err), win::SystemErrorText(err), 0};
}

// A file an editor saved as UTF-16 (with its byte-order mark, in either byte order) is read
// as the profile functions read it; what the program writes is its own format: ANSI text.
std::string AsAnsiText(const std::string& bytes) {
  const bool little = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
  const bool big = bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF';
  if (!little && !big) return bytes;
  std::wstring text;
  text.reserve(bytes.size() / 2);
  for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
    const auto a = static_cast<unsigned char>(bytes[i]), b = static_cast<unsigned char>(bytes[i + 1]);
    text += static_cast<wchar_t>(little ? a | (b << 8) : (a << 8) | b);
  }
  return win::ToAnsi(text);
}

// The file's text; nothing when there is no such file. A file that is there but cannot be
// read (locked, unreadable, absurdly large) raises: treating it as empty would write empty
// settings over the user's.
std::optional<std::string> ReadConfigBytes(const std::wstring& path) {
  const auto bytes = win::ReadWholeFile(path, 16 * 1024 * 1024);
  if (bytes) return AsAnsiText(*bytes);
  const DWORD err = ::GetLastError();
  if (err == ERROR_FILE_NOT_FOUND || err == ERROR_PATH_NOT_FOUND) return std::nullopt;
  ThrowLastError();
}

}  // namespace

std::wstring modINI::ReadIniValue(std::string_view section, std::string_view key, const std::wstring& file) {
  const auto bytes = ReadConfigBytes(file);
  if (!bytes) return {};
  const auto value = IniDocument::Parse(*bytes).Get(section, key);
  return value ? win::FromAnsi(*value) : std::wstring();
}

void modINI::WriteIniValues(const std::vector<IniEntry>& entries, const std::wstring& file, bool fresh) {
  IniDocument doc;
  if (!fresh) {
    if (const auto bytes = ReadConfigBytes(file)) doc = IniDocument::Parse(*bytes);
  }
  for (const auto& e : entries) doc.Set(e.section, e.key, win::ToAnsi(e.value));
  if (!win::ReplaceFileWhole(file, doc.Serialize())) ThrowLastError();
}
