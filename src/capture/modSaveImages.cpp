#include "capture/modSaveImages.h"


#include "capture/encoder_table.h"
#include "win/file_io.h"
#include "win/gdi.h"
#include "win/gdiplus.h"
#include "win/wait_cursor.h"

namespace {

using namespace Gdiplus;
using win::gdiplus::Functions;
using GdiplusSession = win::gdiplus::Session;
using win::gdiplus::unique_gpbitmap;

// The table's GUID texts, without loading the COM library for it.
bool ToGuid(const wchar_t* text, GUID& out) {
  const auto g = modSaveImages::ParseGuid(text);
  if (!g) return false;
  out.Data1 = g->data1;
  out.Data2 = g->data2;
  out.Data3 = g->data3;
  std::copy(std::begin(g->data4), std::end(g->data4), std::begin(out.Data4));
  return true;
}

// GIF needs a palette picture: a 24- or 32-bit bitmap does not encode on every platform.
win::unique_hbitmap ToEightBit(HBITMAP picture, std::vector<RGBQUAD>& palette) {
  BITMAP bm{};
  if (!::GetObjectW(picture, sizeof bm, &bm)) return {};
  // The 6 x 6 x 6 colour cube plus greys.
  palette.clear();
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) palette.push_back(RGBQUAD{BYTE(b * 51), BYTE(g * 51), BYTE(r * 51), 0});
  for (int i = 0; palette.size() < 256; ++i) palette.push_back(RGBQUAD{BYTE(i * 6 + 8), BYTE(i * 6 + 8), BYTE(i * 6 + 8), 0});
  std::vector<BYTE> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
  auto* bi = reinterpret_cast<BITMAPINFO*>(info.data());
  bi->bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), bm.bmWidth, bm.bmHeight, 1, 8, BI_RGB};
  bi->bmiHeader.biClrUsed = 256;
  std::copy(palette.begin(), palette.end(), bi->bmiColors);
  void* bits = nullptr;
  win::unique_hbitmap eight(::CreateDIBSection(nullptr, bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  win::unique_hdc src(::CreateCompatibleDC(nullptr)), dst(::CreateCompatibleDC(nullptr));
  if (!eight || !src || !dst) return {};
  win::select_object s1(src.get(), picture), s2(dst.get(), eight.get());
  ::SetStretchBltMode(dst.get(), HALFTONE);
  if (!::StretchBlt(dst.get(), 0, 0, bm.bmWidth, bm.bmHeight, src.get(), 0, 0, bm.bmWidth, bm.bmHeight, SRCCOPY))
    return {};
  return eight;
}

bool SaveWithGdiplus(HBITMAP picture, const std::wstring& path, const modSaveImages::EncoderChoice& choice,
                     const std::wstring& extension, LONG quality, LONG colourDepth, LONG compression) {
  GdiplusSession gdiplus;
  if (!gdiplus) return false;
  std::vector<RGBQUAD> palette;
  win::unique_hbitmap eight;
  if (choice.format == modSaveImages::ImageFormat::Gif) {
    eight = ToEightBit(picture, palette);
    if (!eight) return false;
    picture = eight.get();
  }
  unique_gpbitmap bitmap;
  if (Functions().createFromHbitmap(picture, nullptr, bitmap.put()) != Ok) return false;
  CLSID clsid{};
  if (!ToGuid(choice.clsid, clsid)) return false;
  std::vector<LONG> values;
  std::vector<BYTE> block = modSaveImages::BuildEncoderParameterBlock(extension, values, quality, colourDepth, compression);
  return Functions().save(bitmap.get(), path.c_str(), &clsid,
                                         reinterpret_cast<EncoderParameters*>(block.data())) == Ok;
}

}  // namespace

std::vector<BYTE> modSaveImages::BuildEncoderParameterBlock(const std::wstring& extension, std::vector<LONG>& values,
                                                            LONG quality, LONG colourDepth, LONG compression) {
  const auto choice = ChooseEncoder(extension, quality, colourDepth, compression);
  const size_t count = choice ? choice->params.size() : 0;
  // Room for at least one record, as GDI+ reads the first record's slot even for no parameters.
  std::vector<BYTE> block(offsetof(EncoderParameters, Parameter) + sizeof(EncoderParameter) * (count ? count : 1));
  auto* params = reinterpret_cast<EncoderParameters*>(block.data());
  params->Count = static_cast<UINT>(count);
  values.assign(count, 0);
  for (size_t i = 0; i < count; ++i) {
    values[i] = choice->params[i].value;
    ToGuid(choice->params[i].guid, params->Parameter[i].Guid);
    params->Parameter[i].NumberOfValues = 1;
    params->Parameter[i].Type = EncoderParameterValueTypeLong;
    params->Parameter[i].Value = &values[i];
  }
  return block;
}

bool modSaveImages::WriteBmp(HBITMAP picture, const std::wstring& path) {
  BITMAP bm{};
  if (!::GetObjectW(picture, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return false;
  BITMAPINFOHEADER header{sizeof header, bm.bmWidth, bm.bmHeight, 1, 24, BI_RGB};
  const DWORD stride = (static_cast<DWORD>(bm.bmWidth) * 3 + 3) & ~3u;
  const DWORD imageSize = stride * static_cast<DWORD>(bm.bmHeight);
  std::vector<BYTE> bits(imageSize);
  {
    win::window_dc screen(nullptr);
    if (!screen || ::GetDIBits(screen.get(), picture, 0, static_cast<UINT>(bm.bmHeight), bits.data(),
                               reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS) == 0)
      return false;
  }
  header.biSizeImage = imageSize;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER);
  file.bfSize = file.bfOffBits + imageSize;

  win::unique_file out(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!out) return false;
  auto put = [&](const void* data, DWORD size) {
    DWORD written = 0;
    return ::WriteFile(out.get(), data, size, &written, nullptr) && written == size;
  };
  return put(&file, sizeof file) && put(&header, sizeof header) && put(bits.data(), imageSize) &&
         ::FlushFileBuffers(out.get());
}

bool modSaveImages::WriteImageFile(HBITMAP picture, const std::wstring& path, const std::wstring& extension,
                                   LONG quality, LONG colourDepth, LONG compression) {
  win::WaitCursor wait;
  const auto choice = ChooseEncoder(extension, quality, colourDepth, compression);
  if (!choice) return false;
  if (choice->format == ImageFormat::Bmp) return WriteBmp(picture, path);
  return SaveWithGdiplus(picture, path, *choice, extension, quality, colourDepth, compression);
}

bool modSaveImages::SaveImageFile(HBITMAP picture, const std::wstring& path, const std::wstring& extension,
                                  LONG quality, LONG colourDepth, LONG compression) {
  if (!ChooseEncoder(extension, quality, colourDepth, compression)) return false;  // no temporary file either
  return win::WriteFileWhole(path, true, [&](const std::wstring& temp) {
    return WriteImageFile(picture, temp, extension, quality, colourDepth, compression);
  });
}
