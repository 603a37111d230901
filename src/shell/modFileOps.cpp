#include "shell/modFileOps.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

#include "shell/purge_rules.h"
#include "win/handles.h"

std::wstring modFileOps::GetSpecialFolder(int csidl) {
  wchar_t buffer[MAX_PATH] = {};
  if (FAILED(::SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buffer))) return {};
  std::wstring path(buffer);
  if (!path.empty() && path.back() == L'\\') path.pop_back();
  return path;
}

bool modFileOps::EnsureFolderExists(const std::wstring& path) {
  // Each prefix that ends at a separator is a folder to create; the failures of the ones
  // that exist already (drive roots, shares) do not matter, only the final result does.
  std::wstring full = path;
  if (full.empty()) return false;
  if (full.back() != L'\\' && full.back() != L'/') full += L'\\';
  for (size_t i = 1; i < full.size(); ++i) {
    if (full[i] != L'\\' && full[i] != L'/') continue;
    const std::wstring prefix = full.substr(0, i);
    if (prefix.back() == L':' || prefix == L"\\") continue;
    ::CreateDirectoryW(prefix.c_str(), nullptr);
  }
  const DWORD attributes = ::GetFileAttributesW(full.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool modFileOps::RecycleFile(const std::wstring& path, std::wstring& error) {
  error.clear();
  if (path.find(L':') == std::wstring::npos) {
    error = L"'" + path + L"' is not a fully qualified name on the local machine";
    return false;
  }
  if (::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) {
    error = L"'" + path + L"' does not exist";
    return false;
  }
  std::wstring source = path;
  if (!source.empty() && source.back() == L'\\') source.pop_back();
  source.push_back(L'\0');  // the list ends in two NULs
  SHFILEOPSTRUCTW op{};
  op.wFunc = FO_DELETE;
  op.pFrom = source.c_str();
  op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
  return ::SHFileOperationW(&op) == 0;
}

namespace {
// The local calendar date of a file time; nothing when it cannot be read.
std::optional<modFileOps::CivilDate> LocalDate(const FILETIME& utc) {
  FILETIME local;
  SYSTEMTIME st{};
  if (!::FileTimeToLocalFileTime(&utc, &local) || !::FileTimeToSystemTime(&local, &st)) return std::nullopt;
  return modFileOps::CivilDate{st.wYear, st.wMonth, st.wDay};
}
}  // namespace

int16_t modFileOps::PurgeOldImages(const std::wstring& given, int16_t& days, bool recycle) {
  days = EffectiveAgeDays(days);
  if (!IsPurgeableFolder(given)) return 0;
  const std::wstring folder = WithBackslashes(given);  // the shell's file operations want "\"
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  const CivilDate today{now.wYear, now.wMonth, now.wDay};
  WIN32_FIND_DATAW fd;
  win::unique_find find(::FindFirstFileW((folder + L"*").c_str(), &fd));
  if (!find) return 0;
  int16_t count = 0;
  do {
    // Plain files only: a link or junction would lead out of the folder.
    if (fd.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    if (!IsTooOld(LocalDate(fd.ftLastWriteTime), today, days)) continue;
    const std::wstring path = folder + fd.cFileName;
    std::wstring ignored;
    if (recycle) RecycleFile(path, ignored);
    else ::DeleteFileW(path.c_str());
    if (count < INT16_MAX) ++count;
  } while (::FindNextFileW(find.get(), &fd));
  return count;
}
