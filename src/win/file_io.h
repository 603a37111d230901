#pragma once
// Whole files: read at once, and written so that they appear whole or not at all (a
// complete file beside the target, then a rename), so a kill or a power loss at any moment
// leaves the old file or the new one.
#include <windows.h>

#include <cstddef>
#include <optional>
#include <string>

#include "win/handles.h"

namespace win {

// The file's bytes; nothing when it cannot be read, with GetLastError() saying why
// (ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND: there is no such file; ERROR_FILE_TOO_LARGE:
// above the limit).
std::optional<std::string> ReadWholeFile(const std::wstring& path, size_t limit);

// Lets write(tempPath) write a temporary file beside target, then renames it to target:
// replacing an existing file or, without replace, failing when target exists
// (GetLastError() is then ERROR_ALREADY_EXISTS or ERROR_FILE_EXISTS). The temporary name
// does not start like any numbered file, so that a file left by a crash is never counted
// or handed on.
template <class Write>
bool WriteFileWhole(const std::wstring& target, bool replace, Write write) {
  const std::wstring folder = target.substr(0, target.find_last_of(L"\\/") + 1);
  const std::wstring temp = folder + L"~lumo-" + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
  bool ok = write(temp);
  if (ok) ok = ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0));
  if (!ok) {
    const DWORD err = ::GetLastError();
    ::DeleteFileW(temp.c_str());
    ::SetLastError(err);
  }
  return ok;
}

// Writes the bytes to a new file and flushes them.
bool WriteNewFile(const std::wstring& path, const std::string& bytes);

// The bytes become the file, replacing it whole; false with GetLastError() when not.
inline bool ReplaceFileWhole(const std::wstring& path, const std::string& bytes) {
  return WriteFileWhole(path, true, [&](const std::wstring& temp) { return WriteNewFile(temp, bytes); });
}

}  // namespace win
