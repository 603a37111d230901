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

// Writes the picture to a new file at path as it stands (no temporary file, nothing
// replaced); false when the file was not written or the extension is not in the table.
bool WriteImageFile(HBITMAP picture, const std::wstring& path, const std::wstring& extension, LONG quality,
                    LONG colourDepth, LONG compression);

// Saves the picture, whole or not at all, replacing a file of that name; shows nothing.
// False when it was not saved or the extension is not in the table (nothing is written).
bool SaveImageFile(HBITMAP picture, const std::wstring& path, const std::wstring& extension, LONG quality,
                   LONG colourDepth, LONG compression);

// A 24-bit BMP file of the bitmap (written and flushed).
bool WriteBmp(HBITMAP picture, const std::wstring& path);

}  // namespace modSaveImages
