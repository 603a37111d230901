#pragma once
// Writes a bitmap to an image file whose format the extension names: JPEG, PNG, GIF and
// TIFF through GDI+, BMP directly. Files appear whole or not at all: the data goes to a
// temporary file in the same folder first.
#include <windows.h>

#include <string>
#include <vector>

namespace modSaveImages {

// The EncoderParameters block GDI+ receives: a count, then one record per parameter.
// values must outlive the block's use (the records point into it).
std::vector<BYTE> BuildEncoderParameterBlock(const std::wstring& extension, std::vector<LONG>& values,
                                             LONG quality, LONG colourDepth, LONG compression);

// Saves the picture; true when the file was written. An extension outside the table shows
// the error message (information icon, the program's title) and writes nothing.
bool SaveImageFile(HBITMAP picture, const std::wstring& path, const std::wstring& extension, LONG quality,
                   LONG colourDepth, LONG compression);

// A 24-bit BMP file of the bitmap (written and flushed).
bool WriteBmp(HBITMAP picture, const std::wstring& path);

// Lets write(tempPath) write a temporary file beside target, then renames it to
// target: replacing an existing file or, without replace, failing when target exists
// (GetLastError() is then ERROR_ALREADY_EXISTS or ERROR_FILE_EXISTS).
template <class Write>
bool WriteFileWhole(const std::wstring& target, bool replace, Write write);

}  // namespace modSaveImages

#include "capture/modSaveImages_inl.h"
