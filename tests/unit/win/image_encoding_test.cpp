// SaveImageFile on the platform's GDI+: every format of the table gives a file GDI+ reads
// back with the picture's size and colours, a bad extension writes nothing, a missing
// folder reports failure.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <filesystem>

#include "capture/modSaveImages.h"
#include "support/files.h"
#include "support/temp_folder.h"
#include "win/gdi.h"

namespace {

using namespace Gdiplus;

win::unique_hbitmap TestPicture(int w, int h) {
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
  void* bits = nullptr;
  win::unique_hbitmap bmp(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  auto* px = static_cast<DWORD*>(bits);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) px[y * w + x] = x < w / 2 ? 0x00FF0000 : 0x000000FF;  // red | blue
  return bmp;
}

struct Decoded {
  UINT width = 0, height = 0;
  ARGB left = 0, right = 0;
};

Decoded Decode(const std::wstring& path) {
  Decoded d;
  GdiplusStartupInput input;
  ULONG_PTR token = 0;
  if (GdiplusStartup(&token, &input, nullptr) != Ok) return d;
  GpBitmap* bitmap = nullptr;
  if (DllExports::GdipCreateBitmapFromFile(path.c_str(), &bitmap) == Ok) {
    DllExports::GdipGetImageWidth(bitmap, &d.width);
    DllExports::GdipGetImageHeight(bitmap, &d.height);
    DllExports::GdipBitmapGetPixel(bitmap, 2, 2, &d.left);
    DllExports::GdipBitmapGetPixel(bitmap, static_cast<INT>(d.width) - 3, 2, &d.right);
    DllExports::GdipDisposeImage(bitmap);
  }
  GdiplusShutdown(token);
  return d;
}

bool Near(ARGB c, BYTE r, BYTE g, BYTE b) {
  auto close = [](int a, int e) { return std::abs(a - e) <= 24; };
  return close((c >> 16) & 0xFF, r) && close((c >> 8) & 0xFF, g) && close(c & 0xFF, b);
}

class ImageEncoding : public ::testing::Test {
 protected:
  TempFolder temp_{L"lumo-enc"};
  const std::wstring& folder_ = temp_.Path();
};

}  // namespace

TEST_F(ImageEncoding, EveryFormatOfTheTableIsReadableWithItsPixels) {
  const auto picture = TestPicture(40, 20);
  for (const wchar_t* ext : {L".jpg", L".png", L".gif", L".tiff", L".bmp"}) {
    const std::wstring path = folder_ + L"out" + ext;
    ASSERT_TRUE(modSaveImages::SaveImageFile(picture.get(), path, ext, 100, 24, 6)) << char(ext[1]);
    const Decoded d = Decode(path);
    EXPECT_EQ(d.width, 40u) << char(ext[1]);
    EXPECT_EQ(d.height, 20u) << char(ext[1]);
    EXPECT_TRUE(Near(d.left, 255, 0, 0)) << std::hex << d.left << " " << char(ext[1]);
    EXPECT_TRUE(Near(d.right, 0, 0, 255)) << std::hex << d.right << " " << char(ext[1]);
  }
  // Nothing but the five files: no temporary file stays behind.
  EXPECT_EQ(testfiles::FileCount(folder_), 5u);
}

TEST_F(ImageEncoding, AMissingFolderReportsFailureAndWritesNothing) {
  const auto picture = TestPicture(8, 8);
  EXPECT_FALSE(modSaveImages::SaveImageFile(picture.get(), folder_ + L"gone\\a.jpg", L".jpg", 100, 24, 6));
  EXPECT_FALSE(modSaveImages::SaveImageFile(picture.get(), folder_ + L"gone\\a.bmp", L".bmp", 100, 24, 6));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder_ + L"gone")));
}

// Which values each extension gets is the table's (EncoderTable.*); here, the block GDI+ reads.
TEST_F(ImageEncoding, ParameterBlockCarriesCountGuidsTypesAndValues) {
  std::vector<LONG> values;
  auto block = modSaveImages::BuildEncoderParameterBlock(L".tiff", values, 100, 24, 6);
  const auto* params = reinterpret_cast<const EncoderParameters*>(block.data());
  ASSERT_EQ(params->Count, 2u);
  EXPECT_EQ(block.size(), offsetof(EncoderParameters, Parameter) + 2 * sizeof(EncoderParameter));
  EXPECT_TRUE(IsEqualGUID(params->Parameter[0].Guid, EncoderCompression));
  EXPECT_TRUE(IsEqualGUID(params->Parameter[1].Guid, EncoderColorDepth));
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(params->Parameter[i].NumberOfValues, 1u);
    EXPECT_EQ(params->Parameter[i].Type, static_cast<ULONG>(EncoderParameterValueTypeLong));
  }
  EXPECT_EQ(*static_cast<LONG*>(params->Parameter[0].Value), 6);
  EXPECT_EQ(*static_cast<LONG*>(params->Parameter[1].Value), 24);
  block = modSaveImages::BuildEncoderParameterBlock(L".jpg", values, 100, 24, 6);
  EXPECT_TRUE(IsEqualGUID(reinterpret_cast<const EncoderParameters*>(block.data())->Parameter[0].Guid, EncoderQuality));
}
