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

namespace modFileOps {

// Sends one file or folder to the recycle bin; false with the error text when the path is
// not a full one or does not exist, or when the shell refuses.
bool RecycleFile(const std::wstring& path, std::wstring& error);

// Removes every plain file directly in the images folder whose age in days is above days
// (below 1: 90, also in the caller's variable): to the recycle bin, or for good when recycle
// is false. Links, junctions and subfolders are left alone; a file that cannot be removed
// stays. Returns the number of files that were old enough. A folder that is not an images
// folder of the program is refused (0).
int16_t PurgeOldImages(const std::wstring& folder, int16_t& days, bool recycle);

}  // namespace modFileOps
