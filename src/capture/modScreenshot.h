#pragma once
// The screen grab and the numbered capture files of the images folder.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "win/gdi.h"

namespace modScreenshot {

// Names of the plain files (not folders, hidden or system files) matching the pattern. The
// folder comes back trimmed and ending in a backslash; a blank folder lists nothing.
std::vector<std::wstring> ListFolderFiles(std::wstring& folder, const std::wstring& pattern);

// The highest number used by a file of the prefix in the folder; found becomes true when
// any file matched the listing. The prefix comes back without "*.*".
int32_t HighestFileNumber(std::wstring folder, bool& found, std::wstring& prefix);

struct CaptureResult {
  bool saved = false;
  std::wstring path;   // the new file, when saved
  DWORD error = 0;     // why not, when not saved
};

// Copies the screen rectangle (virtual-screen pixels, possibly negative) into target and
// saves it as a new numbered BMP in the folder (never without one). The file is created under a name nobody
// has: when another file took the number meanwhile, the next number is used.
CaptureResult CaptureScreenArea(win::unique_hbitmap& target, const RECT& area, const std::wstring& folder);

}  // namespace modScreenshot
