// Picture files into the editor through the platform's decoders.
#include <gtest/gtest.h>

#include "capture/modSaveImages.h"
#include "editor/picture_io.h"
#include "support/files.h"
#include "support/pictures.h"
#include "support/temp_folder.h"

using namespace editor;

TEST(PictureFiles, CapturesAndOtherFormatsLoadWithTheirPixels) {
  TempFolder folder(L"lumo-load");
  auto dib = testpictures::Pattern(37, 21);
  for (const wchar_t* ext : {L".bmp", L".png"}) {
    const std::wstring path = folder.Path() + L"picture" + ext;
    ASSERT_TRUE(modSaveImages::SaveImageFile(dib.bitmap(), path, ext, 100, 24, 0));
    std::wstring why;
    const auto img = LoadPictureFile(path, why);
    ASSERT_TRUE(img) << why;
    EXPECT_EQ(*img, Image::Copy({37, 21, dib.pixels()}));
  }
}

TEST(PictureFiles, WhatIsNotAPictureIsRefusedWithAReason) {
  TempFolder folder(L"lumo-notpicture");
  const std::wstring text = folder.Path() + L"notes.bmp";
  testfiles::WriteBytes(text, "BM not a bitmap");
  for (const std::wstring& path : {text, folder.Path() + L"missing.bmp", folder.Path()}) {
    std::wstring why;
    EXPECT_FALSE(LoadPictureFile(path, why)) << path;
    EXPECT_FALSE(why.empty());
  }
}
