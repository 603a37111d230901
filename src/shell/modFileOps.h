#pragma once
// The per-user folders: where they are and making sure they exist.
#include <string>

namespace modFileOps {

inline constexpr int CSIDL_AppData = 26;

// The shell folder's path without a trailing backslash, or "" when it cannot be found.
std::wstring GetSpecialFolder(int csidl);

// Creates every missing folder of the path; true when the folder exists afterwards.
bool EnsureFolderExists(const std::wstring& path);

}  // namespace modFileOps
