#pragma once
// The clipboard both ways: the export composite out in every form other programs paste
// (a bitmap, a DIB and PNG), and the shell's copied-files list in.
#include <windows.h>

#include <string>
#include <vector>

#include "win/dib.h"

namespace modCBFiles {

// Puts the picture on the clipboard as CF_BITMAP, CF_DIB and "PNG", all rendered now, so
// that the clipboard keeps it after the program ends. False when the clipboard could not
// be had.
bool CopyPictureToClipboard(HWND owner, const win::DibSection& picture);

// The paths the shell copied, in their order: true only for a list of at least one file;
// `files` is replaced only then. `held` tells when another program keeps the clipboard
// open. The clipboard is closed on every path.
bool GetClipboardFiles(std::vector<std::wstring>& files, bool* held = nullptr);

}  // namespace modCBFiles
