#pragma once
// Pictures into the editor: image files through the platform's decoders, bitmaps, and the
// clipboard's bitmap.
#include <windows.h>

#include <optional>
#include <string>

#include "editor/history.h"

namespace editor {

// The picture in a file (BMP, JPEG, GIF, PNG, TIFF, icon, metafile); transparent parts
// are laid on white. Nothing when the file cannot be read as a picture; `why` then says why.
std::optional<Image> LoadPictureFile(const std::wstring& path, std::wstring& why);

// The pixels of a bitmap, or nothing.
std::optional<Image> ImageFromBitmap(HBITMAP bitmap);

// The clipboard's bitmap (CF_BITMAP), or nothing when it holds none or cannot be read;
// `held` tells when another program keeps the clipboard open.
std::optional<Image> ReadClipboardBitmap(HWND owner, bool* held = nullptr);

}  // namespace editor
