// The undo history: the sequences a user goes through, checked against full copies of
// every state, so that a change list that restores the wrong pixels, size or counter fails.
#include <gtest/gtest.h>

#include <random>

#include "editor/history.h"

using editor::Image;
using editor::Picture;
using editor::PictureHistory;

namespace {

Image Photo(int w, int h, uint32_t seed) {
  Image img(w, h);
  std::mt19937 rng(seed);
  for (auto& p : img.pixels) p = rng() & 0x00FFFFFF;
  return img;
}

// A red box outline drawn into a copy of the picture.
Image WithBox(Image img, int l, int t, int r, int b, uint32_t colour = 0x00FF0000) {
  for (int x = l; x <= r; ++x) img.at(x, t) = img.at(x, b) = colour;
  for (int y = t; y <= b; ++y) img.at(l, y) = img.at(r, y) = colour;
  return img;
}

// The editor's side of the history: the shown picture, and what each state must be.
struct Editor {
  Picture picture;
  PictureHistory history;
  int32_t counter = 0;

  void Open(const Image& img) {
    history.Clear();
    counter = 0;
    picture = img;
    history.RecordFirst(counter);
  }
  void Draw(const Image& drawn, int markers = 0) {
    counter += markers;
    history.Record(picture, drawn.View(), counter);
  }
  bool Undo() {
    if (!history.Undo(picture)) return false;
    counter = history.CounterAtCursor();
    return true;
  }
  bool Redo() {
    if (!history.Redo(picture)) return false;
    counter = history.CounterAtCursor();
    return true;
  }
};

}  // namespace

TEST(History, OpeningAPictureGivesTheEmptyStateAndThePicture) {
  Editor e;
  EXPECT_FALSE(e.Undo());  // nothing recorded yet
  EXPECT_FALSE(e.Redo());
  const Image shot = Photo(40, 30, 1);
  e.Open(shot);
  EXPECT_EQ(e.history.Count(), 2);
  EXPECT_EQ(e.history.Cursor(), 1);
  EXPECT_FALSE(e.Redo());
  ASSERT_TRUE(e.Undo());
  EXPECT_FALSE(e.picture.has_value());  // entry 0: no picture
  EXPECT_EQ(e.counter, 0);
  EXPECT_FALSE(e.Undo());
  ASSERT_TRUE(e.Redo());
  ASSERT_TRUE(e.picture.has_value());
  EXPECT_EQ(*e.picture, shot);
  EXPECT_EQ(e.history.Count(), 2);  // Undo and Redo never change the list
}

TEST(History, ANewShapeAfterUndoCutsTheRedoTail) {
  Editor e;
  const Image shot = Photo(50, 50, 3);
  e.Open(shot);
  const Image s2 = WithBox(shot, 1, 1, 10, 10);
  const Image s3 = WithBox(s2, 5, 5, 30, 30);
  const Image s4 = WithBox(s3, 20, 2, 40, 45);
  e.Draw(s2, 1);
  e.Draw(s3, 1);
  e.Draw(s4, 1);  // markers 1, 2, 3
  EXPECT_EQ(e.counter, 3);
  ASSERT_TRUE(e.Undo());
  ASSERT_TRUE(e.Undo());
  EXPECT_EQ(e.history.Cursor(), 2);
  EXPECT_EQ(e.counter, 1);  // the next marker is 2 again
  const Image line = WithBox(s2, 0, 25, 49, 25);
  e.Draw(line, 1);
  EXPECT_EQ(e.history.Count(), 4);
  EXPECT_EQ(e.history.Cursor(), 3);
  EXPECT_EQ(e.counter, 2);
  EXPECT_FALSE(e.Redo());
  ASSERT_TRUE(e.Undo());
  EXPECT_EQ(*e.picture, s2);
  ASSERT_TRUE(e.Redo());
  EXPECT_EQ(*e.picture, line);
}

TEST(History, DrawingOnTheEmptyStateStartsFromIt) {
  Editor e;
  const Image shot = Photo(20, 20, 4);
  e.Open(shot);
  ASSERT_TRUE(e.Undo());
  // The shown area keeps its size in the background colour; a shape drawn there is a
  // state after the empty one and the opened picture is gone with the tail.
  const Image blank(20, 20, 0x00FFFFFF);
  e.Draw(WithBox(blank, 3, 3, 9, 9), 1);
  EXPECT_EQ(e.history.Count(), 2);
  EXPECT_FALSE(e.Redo());
  ASSERT_TRUE(e.Undo());
  EXPECT_FALSE(e.picture);
  ASSERT_TRUE(e.Redo());
  EXPECT_EQ(*e.picture, WithBox(blank, 3, 3, 9, 9));
  EXPECT_EQ(e.counter, 1);
}

TEST(History, APictureOfAnotherSizeIsKeptWhole) {
  Editor e;
  const Image small = Photo(10, 8, 5), large = Photo(30, 20, 6);
  e.Open(small);
  e.Draw(large);
  ASSERT_TRUE(e.Undo());
  EXPECT_EQ(*e.picture, small);
  ASSERT_TRUE(e.Redo());
  EXPECT_EQ(*e.picture, large);
}

TEST(History, ChangedAreaCoversExactlyWhatChanged) {
  const Image a = Photo(100, 80, 7);
  Image b = a;
  b.at(10, 20) ^= 1;
  b.at(60, 70) ^= 0x00FF0000;
  b.at(61, 70) ^= 0x00FF0000;
  const auto change = editor::DiffPictures(a, b.View());
  EXPECT_EQ(change.area.left, 10);
  EXPECT_EQ(change.area.top, 20);
  EXPECT_EQ(change.area.right, 62);
  EXPECT_EQ(change.area.bottom, 71);
  EXPECT_TRUE(editor::DiffPictures(a, a.View()).area.empty());
  EXPECT_TRUE(editor::DiffPictures(a, a.View()).runs.empty());
}

TEST(History, MemoryFollowsTheChangeNotThePicture) {
  Editor e;
  const Image shot = Photo(1000, 800, 8);
  e.Open(shot);
  const size_t opened = e.history.MemoryBytes();
  EXPECT_LT(opened, 1024u);  // the opened picture is the editor's; the history holds none of it
  Image cur = shot;
  for (int i = 0; i < 20; ++i) {
    cur = WithBox(cur, 10 + i, 10 + i, 900 - i, 700 - i);
    e.Draw(cur);
  }
  // 20 outlines of about 3200 pixels each: far below one copy of the 3.2 MB picture.
  EXPECT_LT(e.history.MemoryBytes(), 20u * 3300u * 4u * 2u);
  // Undo all the way to the empty state parks the opened picture in the history.
  while (e.Undo()) {
  }
  EXPECT_GE(e.history.MemoryBytes(), shot.pixels.size() * 4);
  while (e.Redo()) {
  }
  EXPECT_EQ(*e.picture, cur);
}

TEST(History, RandomWalkAgreesWithFullCopies) {
  std::mt19937 rng(99);
  Editor e;
  const Image shot = Photo(32, 24, 9);
  e.Open(shot);
  // Model: the list of full states and the cursor, as the rules describe them.
  std::vector<Picture> states{Picture{}, shot};
  std::vector<int32_t> counters{0, 0};
  size_t cursor = 1;
  for (int step = 0; step < 400; ++step) {
    const int action = static_cast<int>(rng() % 3);
    if (action == 0) {
      Image base = states[cursor] ? *states[cursor] : Image(32, 24, 0x00FFFFFF);
      const int l = static_cast<int>(rng() % 30), t = static_cast<int>(rng() % 22);
      Image drawn = WithBox(base, l, t, l + 1 + static_cast<int>(rng() % (31 - l)),
                            t + 1 + static_cast<int>(rng() % (23 - t)), rng() & 0x00FFFFFF);
      if (!e.picture) e.picture = base;  // the shown area of the empty state
      e.Draw(drawn, static_cast<int>(rng() % 2));
      states.resize(cursor + 1);
      states.push_back(drawn);
      counters.resize(cursor + 1);
      counters.push_back(e.counter);
      ++cursor;
    } else if (action == 1) {
      EXPECT_EQ(e.Undo(), cursor > 0);
      if (cursor > 0) --cursor;
    } else {
      EXPECT_EQ(e.Redo(), cursor + 1 < states.size());
      if (cursor + 1 < states.size()) ++cursor;
    }
    ASSERT_EQ(e.history.Cursor(), static_cast<int32_t>(cursor));
    ASSERT_EQ(e.history.Count(), static_cast<int32_t>(states.size()));
    ASSERT_EQ(e.picture, states[cursor]) << "step " << step;
    ASSERT_EQ(e.counter, counters[cursor]);
  }
}
