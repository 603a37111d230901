// The undo history's own rules; the sequences a user goes through are in editor_model_test.
#include <gtest/gtest.h>

#include "editor/history.h"
#include "support/fake_canvas.h"

using editor::Image;
using editor::Picture;
using editor::PictureHistory;
using testcanvas::Photo;

namespace {

// A red box outline drawn into a copy of the picture.
Image WithBox(Image img, int l, int t, int r, int b) {
  for (int x = l; x <= r; ++x) img.at(x, t) = img.at(x, b) = 0x00FF0000;
  for (int y = t; y <= b; ++y) img.at(l, y) = img.at(r, y) = 0x00FF0000;
  return img;
}

}  // namespace

TEST(History, APictureOfAnotherSizeIsKeptWhole) {
  PictureHistory history;
  const Image small = Photo(10, 8, 5), large = Photo(30, 20, 6);
  Picture picture = small;
  history.RecordFirst(0);
  history.Record(picture, large.View(), 0);  // drawn after a zoom: the back buffer's size
  EXPECT_TRUE(history.Undo(picture) && *picture == small);
  EXPECT_TRUE(history.Redo(picture) && *picture == large);
}

TEST(History, MemoryFollowsTheChangeNotThePicture) {
  PictureHistory history;
  const Image shot = Photo(1000, 800, 8);
  Picture picture = shot;
  history.RecordFirst(0);
  EXPECT_LT(history.MemoryBytes(), 1024u);  // the opened picture is the editor's; the history holds none of it
  Image cur = shot;
  for (int i = 0; i < 20; ++i) {
    cur = WithBox(cur, 10 + i, 10 + i, 900 - i, 700 - i);
    history.Record(picture, cur.View(), 0);
  }
  // 20 outlines of about 3200 pixels each: far below one copy of the 3.2 MB picture.
  EXPECT_LT(history.MemoryBytes(), 20u * 3300u * 4u * 2u);
  // Undo all the way to the empty state parks the opened picture in the history.
  while (history.Undo(picture)) continue;
  EXPECT_GE(history.MemoryBytes(), shot.pixels.size() * 4);
  while (history.Redo(picture)) continue;
  EXPECT_EQ(*picture, cur);
}
