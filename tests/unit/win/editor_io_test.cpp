// Pictures into the editor on the real platform: files through the decoders (and the
// clear refusal of what is not a picture), and the input box's three answers.
#include <gtest/gtest.h>

#include <tuple>

#include "capture/modSaveImages.h"
#include "editor/picture_io.h"
#include "support/files.h"
#include "support/pictures.h"
#include "support/temp_folder.h"
#include "unit/win/message_answer.h"
#include "win/input_box.h"

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

TEST(InputBox, TellsCancelFromAnEmptyReply) {
  // The reply offered, what is typed (nullptr: the offer as it stands), the button, the answer.
  using Case = std::tuple<const wchar_t*, const wchar_t*, int, std::optional<std::wstring>>;
  for (auto [offered, typed, button, expected] : {Case{L"", L"5", IDOK, L"5"}, Case{L"default", L"", IDOK, L""},
                                                  Case{L"2024-01-01T10-3", nullptr, IDOK, L"2024-01-01T10-3"},
                                                  Case{L"x", L"typed", IDCANCEL, std::nullopt}}) {
    const MessageAnswer answer(L"Numbered Annotation", win::InputBoxClass, typed, button);
    EXPECT_EQ(win::InputBox(nullptr, L"Enter number to be used for next numbered annotation", L"Numbered Annotation", offered),
              expected);
  }
}
