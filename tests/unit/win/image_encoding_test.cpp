// Picture files on the platform: SaveImageFile through GDI+, and the editor's loading of them.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <gdiplus.h>

#include <filesystem>

#include "capture/modSaveImages.h"
#include "editor/picture_io.h"
#include "support/files.h"
#include "support/pictures.h"
#include "support/temp_folder.h"

namespace {

// Each channel within 24 of the expected colour's.
bool Near(uint32_t c, uint32_t expected) {
  const auto channel = [](uint32_t colour, int shift) { return static_cast<int>((colour >> shift) & 0xFF); };
  for (int shift : {0, 8, 16})
    if (std::abs(channel(c, shift) - channel(expected, shift)) > 24) return false;
  return true;
}

class ImageEncoding : public ::testing::Test {
 protected:
  TempFolder temp_{L"lumo-enc"};
  const std::wstring& folder_ = temp_.Path();
};

}  // namespace

TEST_F(ImageEncoding, EveryFormatOfTheTableIsReadableWithItsPixels) {
  // Red, its right half blue and green below: a turn, a flip or a shift shows. Read back with the
  // editor's own decoder, whole to the pixel where the format loses nothing.
  auto picture = testpictures::Canvas(40, 20, 0x00FF0000);
  for (int y = 0; y < 20; ++y) std::fill_n(picture.pixels() + y * 40 + 20, 20, y < 12 ? 0x000000FF : 0x0000FF00);
  const auto source = base::Image::Copy({40, 20, picture.pixels()});
  const win::DibSection::Unselected unselected(picture);  // as GDI+ must be given it
  for (auto [ext, lossless] : {std::pair{L".jpg", false}, {L".png", true}, {L".gif", false}, {L".tiff", true},
                               {L".bmp", true}}) {
    const std::wstring path = folder_ + L"out" + ext;
    ASSERT_TRUE(modSaveImages::SaveImageFile(picture.bitmap(), path, ext, 100, 24, 6)) << ext;
    std::wstring why;
    const auto read = editor::LoadPictureFile(path, why);
    ASSERT_TRUE(read) << ext << ": " << why;
    EXPECT_TRUE(!lossless || *read == source) << ext;
    EXPECT_TRUE(read->width == 40 && read->height == 20 && Near(read->at(2, 2), 0x00FF0000) &&
                Near(read->at(37, 2), 0x000000FF) && Near(read->at(37, 18), 0x0000FF00))
        << std::hex << read->at(2, 2) << " " << read->at(37, 2) << " " << read->at(37, 18) << " " << ext;
  }
  // Nothing but the five files: no temporary file stays behind.
  EXPECT_EQ(testfiles::FileCount(folder_), 5u);
}

TEST_F(ImageEncoding, AMissingFolderReportsFailureAndWritesNothing) {
  const auto picture = testpictures::Canvas(8, 8);
  EXPECT_FALSE(modSaveImages::SaveImageFile(picture.bitmap(), folder_ + L"gone\\a.jpg", L".jpg", 100, 24, 6));
  EXPECT_FALSE(modSaveImages::SaveImageFile(picture.bitmap(), folder_ + L"gone\\a.bmp", L".bmp", 100, 24, 6));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::path(folder_ + L"gone")));
}

// Which values each extension gets is the table's (EncoderTable.*); here, the block GDI+ reads.
TEST_F(ImageEncoding, ParameterBlockCarriesCountGuidsTypesAndValues) {
  using namespace Gdiplus;
  std::vector<LONG> values;
  const auto block = modSaveImages::BuildEncoderParameterBlock(L".tiff", values, 100, 24, 6);
  const auto& params = *reinterpret_cast<const EncoderParameters*>(block.data());
  ASSERT_EQ(params.Count, 2u);
  EXPECT_EQ(block.size(), offsetof(EncoderParameters, Parameter) + 2 * sizeof(EncoderParameter));
  const std::pair<GUID, LONG> expected[] = {{EncoderCompression, 6}, {EncoderColorDepth, 24}};
  for (int i = 0; i < 2; ++i) {
    const EncoderParameter& p = params.Parameter[i];
    EXPECT_TRUE(IsEqualGUID(p.Guid, expected[i].first) && p.NumberOfValues == 1u &&
                p.Type == static_cast<ULONG>(EncoderParameterValueTypeLong) &&
                *static_cast<LONG*>(p.Value) == expected[i].second) << i;
  }
  const auto jpeg = modSaveImages::BuildEncoderParameterBlock(L".jpg", values, 100, 24, 6);
  EXPECT_TRUE(IsEqualGUID(reinterpret_cast<const EncoderParameters*>(jpeg.data())->Parameter[0].Guid, EncoderQuality));
}

TEST(PictureFiles, WhatIsNotAPictureIsRefusedWithAReason) {
  TempFolder folder(L"lumo-notpicture");
  const std::wstring text = folder.Path() + L"notes.bmp";
  testfiles::WriteBytes(text, "BM not a bitmap");
  for (const std::wstring& path : {text, folder.Path() + L"missing.bmp", folder.Path()}) {
    std::wstring why;
    EXPECT_FALSE(editor::LoadPictureFile(path, why)) << path;
    EXPECT_FALSE(why.empty());
  }
}
