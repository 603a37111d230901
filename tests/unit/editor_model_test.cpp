// The editor model driven as the window drives it, on a canvas without a window.
#include <gtest/gtest.h>

#include <random>

#include "editor/editor_model.h"
#include "support/fake_canvas.h"

using editor::EditorModel;
using editor::Image;
using editor::Picture;
using editor::PointF;
using editor::Shape;
using testcanvas::Background;
using testcanvas::FakeCanvas;
using testcanvas::Photo;
using namespace modAnnotations;

namespace {

class Model : public ::testing::Test {
 protected:
  // Opens the picture with that tool, numbering on or off.
  Image Open(Image picture, int32_t tool, bool numbered) {
    EXPECT_TRUE(model.ReplacePicture(picture));
    model.SetToolMode(tool);
    if (numbered) model.ToggleNumbering();
    return picture;
  }
  // A press of the left button at `from` and moves through `via`; with a release at `to`, a drag.
  void Hold(PointF from, std::initializer_list<PointF> via) {
    model.MouseDown(1, from);
    for (PointF p : via) model.MouseMove(1, p, p);
  }
  bool Drag(PointF from, std::initializer_list<PointF> via, PointF to) {
    Hold(from, via);
    return model.MouseUp(1, to);
  }
  bool Box(PointF a, PointF b) { return Drag(a, {b}, b); }
  // The picture as it must look: the stored picture with these shapes drawn on it.
  Image With(Image base, std::initializer_list<Shape> drawn) {
    FakeCanvas reference;
    reference.back = std::move(base);
    for (const Shape& s : drawn) reference.Draw(s);
    return reference.back;
  }
  static Shape RedBox(PointF a, PointF b) { return {Shape::Kind::Box, a, b, editor::Ink::Red}; }
  static Shape RedLine(PointF a, PointF b) { return {Shape::Kind::Segment, a, b, editor::Ink::Red}; }
  // The markers drawn so far, as "text@x,y".
  std::vector<std::wstring> Markers() const {
    std::vector<std::wstring> texts;
    const auto at = [](double v) { return std::to_wstring(std::lround(v)); };
    for (const Shape& s : canvas.shapes)
      if (s.kind == Shape::Kind::Marker) texts.push_back(s.text + L"@" + at(s.from.x) + L"," + at(s.from.y));
    return texts;
  }

  FakeCanvas canvas;
  std::wstring prefix;
  int prefixAsked = 0;
  EditorModel model{canvas, [this] { ++prefixAsked; return prefix; }};
};

}  // namespace

TEST_F(Model, RandomWalkAgreesWithFullCopies) {
  EXPECT_FALSE(model.Undo() || model.Redo());  // nothing recorded yet
  std::mt19937 rng(99);
  Open(Photo(32, 24, 9), FreeDraw, true);
  // The full states with their marker counters, and the cursor, as the history must keep them.
  // Entry 0 holds no picture: the background colour shows, at the picture's size.
  std::vector<std::pair<Picture, int32_t>> states{{Picture{}, 0}, {canvas.back, 0}};
  size_t cursor = 1;
  auto point = [&] { return PointF{static_cast<double>(rng() % 32), static_cast<double>(rng() % 24)}; };
  for (int step = 0; step < 400; ++step) {
    const int action = static_cast<int>(rng() % 3);
    if (action == 0) {
      constexpr int32_t tools[] = {FreeDraw, BoxDraw, LineDraw, ArrowDraw, Redact};
      model.SetToolMode(tools[rng() % 5]);
      const PointF a = point(), b = point(), c = point();
      ASSERT_TRUE(Drag(a, {b, c}, c));
      states.resize(++cursor);
      states.emplace_back(canvas.back, model.Counter());
    } else if (action == 1) {
      EXPECT_EQ(model.Undo(), cursor > 0);
      if (cursor > 0) --cursor;
    } else {
      EXPECT_EQ(model.Redo(), cursor + 1 < states.size());
      if (cursor + 1 < states.size()) ++cursor;
    }
    ASSERT_EQ(model.History().Cursor(), static_cast<int32_t>(cursor));
    ASSERT_EQ(model.History().Count(), static_cast<int32_t>(states.size()));
    const auto& [picture, counter] = states[cursor];
    ASSERT_EQ(model.StoredPicture(), picture) << "step " << step;
    ASSERT_EQ(canvas.back, picture ? *picture : Image(32, 24, Background)) << "step " << step;
    ASSERT_EQ(model.Counter(), counter);
  }
  // Opening another picture discards the history, redo states included.
  ASSERT_TRUE(model.ReplacePicture(Photo(32, 24, 3)));
  EXPECT_TRUE(model.History().Count() == 2 && model.Counter() == 0);
}

// A rubber band leaves no trace; a box's marker: its top-left corner, the prefix and number of the release.
TEST_F(Model, BoxesAndLinesLeaveOnlyTheFinishedShape) {
  const Image shot = Open(Photo(60, 40, 4), BoxDraw, false);
  Hold({50, 30}, {{20, 20}, {10, 5}});
  EXPECT_EQ(canvas.back, With(shot, {{Shape::Kind::Box, {50, 30}, {10, 5}, editor::Ink::Invert}}));
  model.ToggleNumbering();
  prefix = L"A";
  EXPECT_TRUE(model.MouseUp(1, {12, 8}));  // released without a move there
  EXPECT_EQ(canvas.back, With(shot, {RedBox({50, 30}, {12, 8}), {Shape::Kind::Marker, {12, 8}}}));
  EXPECT_EQ(Markers(), (std::vector<std::wstring>{L"A1@12,8"}));
  // A click without a move is a box of one point, and still a state.
  EXPECT_TRUE(Box({3, 3}, {3, 3}));
  EXPECT_EQ(model.History().Count(), 4);
  // The next number and the prefix as they are at the release; numbering off, no marker.
  model.SetNextNumber(5);
  prefix = L"B";
  Box({10, 12}, {30, 30});  // released at the bottom-right corner
  model.ToggleNumbering();
  Box({1, 1}, {5, 5});
  EXPECT_EQ(Markers(), (std::vector<std::wstring>{L"A1@12,8", L"A2@3,3", L"B5@10,12"}));
  EXPECT_EQ(model.Counter(), 5);
}

// An arrow's marker sits on its tail; a redaction gets none and blacks out its rectangle.
TEST_F(Model, ArrowsAndRedactionsAreDraggedLikeLinesAndBoxes) {
  const Image shot = Open(Photo(60, 40, 13), ArrowDraw, true);
  Hold({5, 30}, {{40, 10}});
  EXPECT_EQ(canvas.back, With(shot, {{Shape::Kind::Segment, {5, 30}, {40, 10}, editor::Ink::Invert}}));
  EXPECT_TRUE(model.MouseUp(1, {50, 8}));
  const Image arrow = With(shot, {{Shape::Kind::Arrow, {5, 30}, {50, 8}}, {Shape::Kind::Marker, {5, 30}}});
  EXPECT_EQ(canvas.back, arrow);
  EXPECT_EQ(Markers(), (std::vector<std::wstring>{L"1@5,30"}));

  model.SetToolMode(Redact);
  Hold({57, 38}, {{30, 20}});
  EXPECT_EQ(canvas.back, With(arrow, {{Shape::Kind::Box, {57, 38}, {30, 20}, editor::Ink::Invert}}));
  EXPECT_TRUE(model.MouseUp(1, {20, 10}));  // dragged up and left, past the last outline
  // Black over the pen's reach, cut at the edges.
  const Image redacted = With(arrow, {{Shape::Kind::Redaction, {18, 8}, {60, 40}}});
  EXPECT_EQ(canvas.back, redacted);
  EXPECT_EQ(model.Counter(), 1);  // no marker
  ASSERT_TRUE(model.Undo());
  EXPECT_EQ(canvas.back, arrow);  // the covered pixels come back
  ASSERT_TRUE(model.Redo());
  EXPECT_EQ(canvas.back, redacted);
}

// A click opens the text box; Enter or a click elsewhere with text make one state, a label and its marker;
// Escape, blanks or no text make none; an Undo, another tool or another picture close the box unkept.
TEST_F(Model, TheTextBoxGivesOneStateOrNone) {
  const Image shot = Open(Photo(400, 100, 14), TextDraw, true);
  auto click = [&](PointF at, const wchar_t* typed = L"") {
    const bool down = model.MouseDown(1, at), up = model.MouseUp(1, at);
    canvas.typed = typed;
    return down || up;
  };
  EXPECT_FALSE(click({390, 50}, L"Token"));
  EXPECT_EQ(canvas.textBox, modAnnotations::PlaceLabel({390, 50}, 16, {400, 100}).box);
  EXPECT_TRUE(model.FinishText(true));
  const Shape& label = canvas.shapes[canvas.shapes.size() - 2];
  EXPECT_EQ(label.text + L"@" + std::to_wstring(std::lround(label.from.x)), L"Token@101");
  EXPECT_EQ(Markers(), (std::vector<std::wstring>{L"1@101,50"}));  // the text's left middle
  EXPECT_EQ(model.History().Count(), 3);
  click({20, 20}, L"gone");
  EXPECT_FALSE(model.FinishText(false));  // Escape
  click({20, 20}, L"   ");
  EXPECT_FALSE(model.FinishText(true));   // only blanks
  click({20, 20});
  EXPECT_FALSE(click({60, 60}));  // a click elsewhere without text: nothing, and no new box
  EXPECT_FALSE(canvas.textBox);
  click({20, 20}, L"kept");
  EXPECT_TRUE(click({60, 60}));  // a click elsewhere with text keeps it
  EXPECT_EQ(model.History().Count(), 4);
  for (int closer = 0; closer < 3; ++closer) {
    click({20, 20}, L"unkept");
    ASSERT_TRUE(closer != 0 || model.Undo());
    if (closer == 1) model.SetToolMode(BoxDraw);
    ASSERT_TRUE(closer != 2 || model.ReplacePicture(shot));
    EXPECT_FALSE(model.TextBoxOpen() || canvas.textBox) << closer;
    model.SetToolMode(TextDraw);
  }
  EXPECT_EQ(canvas.back, shot);
}

TEST_F(Model, OnlyALeftDragThatBeganOnThePictureDraws) {
  const Image shot = Open(Photo(40, 40, 5), FreeDraw, true);
  // A drag that came in from elsewhere with the button held, and a lone release.
  for (PointF p : {PointF{5, 5}, PointF{30, 30}}) model.MouseMove(1, p, {});
  EXPECT_FALSE(model.MouseUp(1, {30, 30}));
  // The right button draws nothing; its press does not start the left one's drag.
  model.MouseDown(2, {5, 5});
  model.MouseMove(2, {30, 5}, {});
  EXPECT_FALSE(model.MouseUp(2, {30, 5}));
  EXPECT_EQ(canvas.back, shot);
  EXPECT_TRUE(model.History().Count() == 2 && prefixAsked == 0);
  // A stroke: from the press through every move; the marker where it ended.
  EXPECT_TRUE(Drag({2, 2}, {{20, 2}, {20, 30}}, {25, 35}));
  EXPECT_EQ(canvas.back,
            With(shot, {RedLine({2, 2}, {20, 2}), RedLine({20, 2}, {20, 30}), {Shape::Kind::Marker, {25, 35}}}));
  EXPECT_EQ(prefixAsked, 1);
}

TEST_F(Model, AnUndoOrANewPictureInTheMiddleOfADragTakesTheOutlineWithIt) {
  const Image shot = Open(Photo(50, 50, 6), LineDraw, true);  // a line's marker: where it was released
  Drag({0, 45}, {{49, 45}}, {49, 45});
  Hold({5, 5}, {{10, 40}});
  ASSERT_TRUE(model.Undo());
  EXPECT_EQ(canvas.back, shot);
  model.MouseMove(1, {40, 6}, {});
  model.MouseUp(1, {40, 6});
  EXPECT_EQ(canvas.back, With(shot, {RedLine({5, 5}, {40, 6}), {Shape::Kind::Marker, {40, 6}}}));

  const Image next = Photo(50, 50, 7);
  Hold({1, 1}, {{30, 30}});
  ASSERT_TRUE(model.ReplacePicture(next));
  EXPECT_EQ(canvas.back, next);
  model.MouseMove(1, {40, 1}, {});
  model.MouseUp(1, {40, 1});
  EXPECT_EQ(canvas.back, With(next, {RedLine({1, 1}, {40, 1}), {Shape::Kind::Marker, {40, 1}}}));
}

// A lost mouse or a tool key keeps a stroke as far as it was drawn, with its marker, and takes back an outline.
TEST_F(Model, ALostMouseOrAToolKeyKeepsTheStrokeAndTakesBackTheOutline) {
  const Image shot = Photo(40, 30, 8);
  model.ToggleNumbering();
  for (const bool toolKey : {false, true}) {
    ASSERT_TRUE(model.ReplacePicture(shot));
    model.SetToolMode(FreeDraw);
    Hold({2, 2}, {{20, 2}, {20, 20}});
    if (toolKey) model.SetToolMode(Redact);
    else EXPECT_TRUE(model.CaptureLost());
    const Image stroke =
        With(shot, {RedLine({2, 2}, {20, 2}), RedLine({20, 2}, {20, 20}), {Shape::Kind::Marker, {20, 20}}});
    EXPECT_TRUE(canvas.back == stroke && *model.StoredPicture() == stroke && model.History().Count() == 3) << toolKey;
    EXPECT_FALSE(model.MouseUp(1, {25, 25}));  // the drag is over
    model.SetToolMode(BoxDraw);
    Hold({2, 2}, {{30, 25}});
    if (toolKey) model.SetToolMode(ArrowDraw);
    else EXPECT_FALSE(model.CaptureLost());
    EXPECT_TRUE(canvas.back == stroke && model.History().Count() == 3) << toolKey;  // no state
  }
}

TEST_F(Model, TheStartUpPictureIsRecordedAtTheFirstDrawingPress) {
  const Image placeholder(30, 20, 0x00ABCDEF);
  model.ShowUnrecorded(placeholder);
  EXPECT_FALSE(model.MouseDown(1, {1, 1}));  // no-draw: nothing to record
  model.MouseUp(1, {1, 1});
  model.SetToolMode(LineDraw);
  EXPECT_TRUE(model.MouseDown(2, {1, 1}));  // any button of a drawing tool
  EXPECT_TRUE(Drag({0, 10}, {{29, 10}}, {29, 10}));
  ASSERT_TRUE(model.Undo());
  EXPECT_EQ(canvas.back, placeholder);  // a state of its own
  ASSERT_TRUE(model.Undo());
  EXPECT_EQ(canvas.back, Image(30, 20, Background));
}

TEST_F(Model, NoDrawDragsThePictureFromWhereItWasGrabbed) {
  Open(Photo(40, 40, 9), NoDraw, false);
  EXPECT_TRUE(model.PansPicture());
  model.MouseMove(0, {}, {10, 10});  // hovering sets the grab point
  model.MouseDown(1, {10, 10});
  model.MouseMove(1, {}, {25.4, 4});
  EXPECT_EQ(std::pair(canvas.movedX, canvas.movedY), std::pair(15, -6));
  model.MouseUp(1, {});
  // A button held from elsewhere only hovers.
  model.MouseMove(1, {}, {30, 30});
  EXPECT_TRUE(canvas.movedX == 15 && canvas.shapes.empty());
}

TEST_F(Model, RunningOutOfMemoryChangesNothing) {
  const Image shot = Open(Photo(40, 40, 11), BoxDraw, true);
  canvas.failDrawn = true;  // the bake cannot be made
  EXPECT_THROW(Box({1, 1}, {20, 20}), std::bad_alloc);
  EXPECT_EQ(canvas.back, shot);  // the shape and its number are taken back
  EXPECT_TRUE(model.Counter() == 0 && model.History().Count() == 2);
  canvas.failDrawn = false;
  canvas.failShow = true;  // no room for a new picture
  EXPECT_FALSE(model.ReplacePicture(Photo(80, 80, 12)));
  EXPECT_TRUE(model.StoredPicture() == Picture(shot) && model.History().Count() == 2);
}
