// Picture files into the editor: what is not one is refused with the reason (their pixels: ImageEncoding.*).
#include <gtest/gtest.h>

#include "editor/picture_io.h"
#include "support/files.h"
#include "support/temp_folder.h"

using namespace editor;

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
