#include "shell/modFileOps.h"

#include <windows.h>
#include <shlobj.h>

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
