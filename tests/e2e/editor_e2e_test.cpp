// The editor of the real program, driven with the mouse and keyboard. Pictures are compared
// pixel for pixel with what the same drawing code draws on a bitmap of the test's own.
#include <gtest/gtest.h>

#include "e2e/editor_fixture.h"
#include "editor/annotation_rules.h"
#include "editor/drawing.h"
#include "editor/modAnnotations.h"
#include "editor/text_box.h"

using namespace e2e;
using namespace editor::draw;

namespace {
// The canvas with a red stroke from point to point, as the program draws one.
win::DibSection Stroke(win::DibSection canvas, std::initializer_list<editor::PointF> points) {
  for (auto p = points.begin(); p + 1 != points.end(); ++p) Segment(canvas.dc(), p[0], p[1], Red, Mode::CopyPen);
  return canvas;
}
win::DibSection Marked(win::DibSection canvas, const wchar_t* text, double x, double y) {
  modAnnotations::DrawNumberedAnnotation(canvas.dc(), text, x, y, 12, 0xFFFFFF, Red);
  return canvas;
}
}  // namespace

// A redaction dragged up and left is black from 148, 148 to 252, 202 (the pen's reach).
// Ctrl+Shift+Z, Ctrl+Alt+Z and text on the clipboard change nothing; Ctrl+Z shows the covered
// pixels again and steps back to the empty state, which keeps the size; Redo comes back.
TEST_F(Editor, PasteUndoToTheEmptyStateAndRedo) {
  const auto pattern = Pattern(400, 300);
  Paste(pattern);
  EXPECT_TRUE(Shows(pattern));
  EXPECT_TRUE(::IsWindowEnabled(Control(ids::cmdSend2JIRA)));
  Click(Control(ids::cmdRedact));
  Drag(At(250, 200), At(150, 150));  // the picture has the focus from here on
  auto redacted = Pattern(400, 300);
  ::PatBlt(redacted.dc(), 148, 148, 105, 55, BLACKNESS);
  EXPECT_TRUE(Shows(redacted));
  ASSERT_TRUE(PutText(L"not a picture"));
  KeyChord({VK_CONTROL, 'V'});
  KeyChord({VK_CONTROL, VK_SHIFT, 'Z'});
  KeyChord({VK_CONTROL, VK_MENU, 'Z'});
  EXPECT_TRUE(Shows(redacted, true));
  KeyChord({VK_CONTROL, 'Z'});
  EXPECT_TRUE(Shows(pattern));
  KeyChord({VK_CONTROL, 'Z'});
  EXPECT_TRUE(Shows(Empty(400, 300)));
  KeyChord({VK_CONTROL, 'Z'});  // nothing before the empty state
  Click(Control(ids::Commandfwd));
  EXPECT_TRUE(Shows(pattern));
  Click(Control(ids::Commandfwd));
  EXPECT_TRUE(Shows(redacted));
}

// The tool keys and buttons: the arrow's key presses its button and unchecks the options; an
// option's key, with the viewport focused, checks it and raises the button. The arrow pixel
// for pixel; a box with numbering and a prefix gets marker A1 on its top-left corner.
TEST_F(Editor, ABoxWithNumberingAndPrefixGetsMarkerA1OnItsTopLeftCorner) {
  const auto pattern = Pattern(400, 300);
  Paste(pattern);
  HWND arrowButton = Control(ids::cmdArrow);
  const auto raised = ScreenPixels(ScreenRect(arrowButton));
  auto pressed = [&] { return Differences(ScreenPixels(ScreenRect(arrowButton)), raised) > 0; };
  KeyChord({'A'});
  EXPECT_TRUE(WaitUntil(pressed, 2s));
  EXPECT_EQ(::SendMessageW(::GetDlgItem(tools_, ids::Option1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  Drag(At(40, 250), At(300, 60));
  auto arrow = Pattern(400, 300);
  Arrow(arrow.dc(), {40, 250}, {300, 60}, Red);
  EXPECT_TRUE(Shows(arrow));
  // The shaft's middle and the head 6 pixels from the tip red, beside the head's base not.
  const auto shown = Shown(), plain = Colours(pattern);
  EXPECT_EQ(shown[155u * 400 + 170] + shown[64u * 400 + 295], Red + Red);
  EXPECT_EQ(shown[82u * 400 + 294], plain[82u * 400 + 294]);
  ClickAt({ScreenRect(Viewport()).right - 20, ScreenRect(Viewport()).bottom - 20});
  KeyChord({'B'});
  EXPECT_EQ(::SendMessageW(::GetDlgItem(tools_, ids::Option3), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(WaitUntil([&] { return !pressed(); }, 2s));

  ShowTools();
  Click(::GetDlgItem(tools_, ids::Command3_1));  // numbering
  HWND prefix = ::GetDlgItem(tools_, ids::txtPrefix);
  ::SendMessageW(prefix, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L" A "));
  ShowTools(false);
  // Dragged from bottom-right to top-left, through a point whose outline must not stay.
  auto boxA1 = [](editor::PointF from, editor::PointF to) {
    auto dib = Pattern(400, 300);
    Arrow(dib.dc(), {40, 250}, {300, 60}, Red);
    BoxOutline(dib.dc(), from, to, Red, Mode::CopyPen);
    return Marked(std::move(dib), L"A1", std::min(from.x, to.x), std::min(from.y, to.y));
  };
  Drag(At(200, 150), At(80, 60));
  EXPECT_TRUE(Shows(boxA1({200, 150}, {80, 60})));
  EXPECT_EQ(WindowText(prefix), L"A");  // the box was rewritten without its blanks
  // Undo takes the box and its marker away; the next box is A1 again.
  Click(Control(ids::Commandback));
  EXPECT_TRUE(Shows(arrow));
  Drag(At(300, 250), At(350, 280));
  EXPECT_TRUE(Shows(boxA1({300, 250}, {350, 280})));
}

// Zoomed in twice, a line lands on the picture's own pixels with the next number asked for
// (2.5 halves to even: 2; below 1, beyond 32767 or no number: unchanged) on its end; Undo and
// Redo show the picture at 1:1 again.
TEST_F(Editor, DrawingWhileZoomedLandsOnThePicturesOwnPixels) {
  Paste(Canvas(200, 100));
  KeyChord({'L'});  // "Line", the picture focused by the paste
  HWND settings = OpenSettings();
  for (const wchar_t* reply : {L"2.5", L"0", L"40000", L"many"}) {
    Click(::GetDlgItem(settings, ids::cmdSetNextNumber));
    ASSERT_TRUE(Answer(L"Numbered Annotation", reply)) << reply;
  }
  Click(Control(ids::cmdSettings));
  Click(Control(ids::Command3_0));  // numbering
  Click(Control(ids::cmdZoomIn));
  Click(Control(ids::cmdZoomIn));
  ASSERT_TRUE(PictureSizeIs(242, 121));  // 200 x 100, x 1.1 x 1.1
  Drag(At(22, 55), At(220, 55));  // the middles of picture pixels 18 and 182 of row 45
  Click(Control(ids::Commandback));
  Click(Control(ids::Commandfwd));
  ASSERT_TRUE(PictureSizeIs(200, 100));
  // The marker on the release's own point: from the middle of the shown pixel, zoomed out.
  auto line = Stroke(Canvas(200, 100), {{18, 45}, {182, 45}});
  EXPECT_TRUE(Shows(Marked(std::move(line), L"2", 220.5 / 1.21 - 0.5, 55.5 / 1.21 - 0.5)));
}

// "Tools" slides the panel in and out. The first drawing on the start-up picture records that
// picture first, as a state of its own.
TEST_F(Editor, ToolsSlidesThePanelAndTheFirstDrawingRecordsTheStartUpPicture) {
  const auto startup = Shown();  // the placeholder, before anything was recorded
  ASSERT_EQ(startup.size(), 258u * 212u);
  EXPECT_EQ(ToolsTop(), -201);
  ShowTools();
  Click(::GetDlgItem(tools_, ids::Option4));  // "Line"
  ShowTools(false);
  EXPECT_EQ(ToolsTop(), -225);  // the first top where the panel is wholly out of sight
  Drag(At(20, 180), At(200, 180));
  EXPECT_TRUE(WaitUntil([&] { return Differences(Shown(), startup) > 0; }, 3s));
  EXPECT_TRUE(::IsWindowEnabled(Control(ids::cmdSend2Mirel)));
  Click(Control(ids::Commandback));
  EXPECT_TRUE(Shows(startup));
  Click(Control(ids::Commandback));
  EXPECT_TRUE(Shows(Empty(258, 212)));
}

// "No Draw", the tool at start, drags the picture; a drawing tool leaves it in place. A drag
// that loses the mouse to another window keeps its stroke as a state (what a lost mouse does
// to each tool: Model.ALostMouseOrAToolKeyKeepsTheStrokeAndTakesBackTheOutline).
TEST_F(Editor, NoDrawDragsThePictureAndAStrokeThatLosesTheMouseStays) {
  Paste(Canvas(300, 200));
  const RECT before = PlaceIn(Viewport(), picture_);
  auto movedBy = [&](int x, int y) {
    const RECT r = PlaceIn(Viewport(), picture_);
    return r.left == before.left + x && r.top == before.top + y;
  };
  Drag(At(100, 100), At(150, 130));
  EXPECT_TRUE(WaitUntil([&] { return movedBy(50, 30); }, 3s));
  EXPECT_TRUE(Shows(Canvas(300, 200)));  // nothing drawn
  KeyChord({'F'});  // "Free Draw", the picture focused by the drag
  // Mouse messages straight to the picture control: a real mouse seldom loses a drag.
  for (auto [msg, keys, x, y] : {std::tuple{WM_LBUTTONDOWN, MK_LBUTTON, 20, 20}, {WM_MOUSEMOVE, MK_LBUTTON, 150, 120},
                                 {WM_CAPTURECHANGED, 0, 0, 0}, {WM_LBUTTONUP, 0, 200, 150}}) {
    ::PostMessageW(picture_, msg, keys, MAKELPARAM(x, y));
    PumpFor(60ms);
  }
  EXPECT_TRUE(Shows(Stroke(Canvas(300, 200), {{20, 20}, {150, 120}})));  // the release drew nothing more
  EXPECT_TRUE(movedBy(50, 30));
  Click(Control(ids::Commandback));
  EXPECT_TRUE(Shows(Canvas(300, 200)));
}

// A label typed at (60, 40): Enter bakes it, red and inside its measured box; Escape drops
// what was typed; a box opened at the right edge stays on the picture.
TEST_F(Editor, ALabelIsRedInsideItsMeasuredBoxAndEscapeDropsOne) {
  const auto pattern = Pattern(400, 300);
  Paste(pattern);
  KeyChord({'T'});
  ClickAt(At(60, 40));
  for (WORD key : {WORD{'H'}, WORD{'I'}, WORD{VK_RETURN}}) KeyChord({key});
  auto label = Pattern(400, 300);
  const auto place = modAnnotations::PlaceLabel({60, 40}, modAnnotations::LabelLineHeight(label.dc()), {400, 300});
  modAnnotations::DrawLabel(label.dc(), L"hi", place.text.x, place.text.y, Red);
  EXPECT_TRUE(Shows(label));
  SIZE extent{};
  win::unique_hfont font = modAnnotations::LabelFont();
  win::select_object select(label.dc(), font.get());
  ::GetTextExtentPoint32W(label.dc(), L"hi", 2, &extent);
  const RECT box{60, static_cast<LONG>(place.text.y), 60 + extent.cx, static_cast<LONG>(place.text.y) + extent.cy};
  const auto labelled = Colours(label), before = Colours(pattern);
  int red = 0, stray = 0;
  for (size_t i = 0; i < labelled.size(); ++i) {
    const POINT at{static_cast<LONG>(i % 400), static_cast<LONG>(i / 400)};
    if (labelled[i] != before[i]) ++(labelled[i] == Red && ::PtInRect(&box, at) ? red : stray);
  }
  EXPECT_TRUE(red > 20 && stray == 0) << red << " red, " << stray << " elsewhere";

  ClickAt(At(395, 150));
  HWND textBox = Descendant(main_, editor::TextBox::ClassName);
  ASSERT_TRUE(WaitUntil([&] { return textBox && ::IsWindowVisible(textBox); }, 2s));
  RECT inside{};
  const RECT picture = ScreenRect(picture_), boxPlace = ScreenRect(textBox);
  EXPECT_TRUE(::IntersectRect(&inside, &picture, &boxPlace) && ::EqualRect(&inside, &boxPlace));
  KeyChord({'X'});
  KeyChord({VK_ESCAPE});
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(textBox); }, 2s));
  EXPECT_TRUE(Shows(label, true));
}

// At 144 dots per inch the window's places and sizes scale by 1.5 (the bar 75 pixels high,
// its buttons 62 wide) and follow the window's size; the picture is still shown at its own
// pixels. Runs in the pass of scripts/test whose Wine has that density.
class EditorDensity : public Editor {
  void SetUp() override {
    if (Env(L"LUMO_DPI") != L"144") GTEST_SKIP() << "runs where Wine is set to 144 dpi (LUMO_DPI=144)";
    Editor::SetUp();
  }
};

TEST_F(EditorDensity, PlacesScaleAndFollowTheWindowSizeAndThePictureKeepsItsPixels) {
  ASSERT_EQ(::GetDpiForWindow(main_), 144u);
  RECT frame{0, 0, 1434, 1026};
  ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(main_, GWL_STYLE)), TRUE, 0);
  ::SetWindowPos(main_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
  ASSERT_TRUE(WaitUntil([&] { RECT c; ::GetClientRect(main_, &c); return c.right == 1434 && c.bottom == 1026; }, 3s));
  auto place = [&](HWND h) { return PlaceIn(main_, h); };
  PumpFor(200ms);
  EXPECT_EQ(std::pair(place(Viewport()).right, place(Viewport()).bottom), std::pair(1434L, 951L));
  const RECT panel = place(Descendant(main_, L"MirelLumo.Panel", ids::frameSettings));
  EXPECT_EQ(std::pair(panel.right, panel.bottom), std::pair(1434L - 12, 951L));  // under the settings button
  for (auto [id, left] : {std::pair{ids::cmdSettings, 1360L}, {ids::cmdSend2JIRA, 1238L}, {ids::cmdZoomIn, 12L},
                          {ids::cmdArrow, 876L}, {ids::cmdText, 948L}, {ids::cmdRedact, 1020L}})
    EXPECT_EQ(std::pair(place(Control(id)).left, place(Control(id)).top), std::pair(left, 951L + 8)) << id;
  EXPECT_EQ(place(Control(ids::cmdRedact)).right - 1020, 62);
  EXPECT_EQ(place(Control(ids::cmdSettings)).right, 1434 - 12);
  Paste(Canvas(300, 200));
}
