// Pictures into the editor on the real platform: files through the decoders (and the
// clear refusal of what is not a picture), and the input box's three answers.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

#include "capture/modSaveImages.h"
#include "editor/picture_io.h"
#include "support/pictures.h"
#include "unit/win/temp_folder.h"
#include "win/dib.h"
#include "win/handles.h"
#include "win/input_box.h"

using namespace editor;

namespace {


void ExpectPattern(const Image& img, int w, int h) {
  ASSERT_EQ(img.width, w);
  ASSERT_EQ(img.height, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      ASSERT_EQ(img.at(x, y), testpictures::PatternPixel(x, y)) << x << "," << y;
}

}  // namespace

TEST(PictureFiles, CapturesAndOtherFormatsLoadWithTheirPixels) {
  TempFolder folder(L"lumo-load");
  auto dib = testpictures::Pattern(37, 21);
  for (const wchar_t* ext : {L".bmp", L".png"}) {
    const std::wstring path = folder.Path() + L"picture" + ext;
    ASSERT_TRUE(modSaveImages::SaveImageFile(dib.bitmap(), path, ext, 100, 24, 0));
    std::wstring why;
    const auto img = LoadPictureFile(path, why);
    ASSERT_TRUE(img) << why;
    ExpectPattern(*img, 37, 21);
  }
}

TEST(PictureFiles, WhatIsNotAPictureIsRefusedWithAReason) {
  TempFolder folder(L"lumo-notpicture");
  const std::wstring text = folder.Path() + L"notes.bmp";
  {
    win::unique_file f(::CreateFileW(text.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    DWORD written = 0;
    ::WriteFile(f.get(), "BM not a bitmap", 15, &written, nullptr);
  }
  for (const std::wstring& path : {text, folder.Path() + L"missing.bmp", folder.Path()}) {
    std::wstring why;
    EXPECT_FALSE(LoadPictureFile(path, why)) << path;
    EXPECT_FALSE(why.empty());
  }
}

namespace {
// Answers the next input box from another thread: types `text` (when given) and presses
// the button.
std::thread Answer(const wchar_t* text, int button) {
  return std::thread([=] {
    HWND box = nullptr;
    // Until the box is up with its reply field.
    for (int i = 0; i < 400; ++i) {
      box = ::FindWindowW(win::InputBoxClass, L"Numbered Annotation");
      if (box && ::IsWindowVisible(box) && ::GetDlgItem(box, win::InputReply)) break;
      box = nullptr;
      ::Sleep(10);
    }
    if (!box) return;
    if (text) ::SendMessageW(::GetDlgItem(box, win::InputReply), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text));
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
  });
}
}  // namespace

TEST(InputBox, TellsCancelFromAnEmptyReply) {
  auto t1 = Answer(L"5", IDOK);
  auto reply = win::InputBox(nullptr, L"Enter number to be used for next numbered annotation", L"Numbered Annotation", L"");
  t1.join();
  EXPECT_EQ(reply, std::optional<std::wstring>(L"5"));

  auto t2 = Answer(L"", IDOK);
  reply = win::InputBox(nullptr, L"prompt", L"Numbered Annotation", L"default");
  t2.join();
  EXPECT_EQ(reply, std::optional<std::wstring>(L""));

  auto t3 = Answer(nullptr, IDOK);
  reply = win::InputBox(nullptr, L"prompt", L"Numbered Annotation", L"2024-01-01T10-3");
  t3.join();
  EXPECT_EQ(reply, std::optional<std::wstring>(L"2024-01-01T10-3"));  // the default as it stands

  auto t4 = Answer(L"typed", IDCANCEL);
  reply = win::InputBox(nullptr, L"prompt", L"Numbered Annotation", L"x");
  t4.join();
  EXPECT_FALSE(reply);
}
