// The editor of the real program, driven with the mouse and keyboard: pasting, Undo and
// Redo, a numbered box, zoomed drawing, the next number, the tool panel's slide, the bar's
// places, and the arrow, text and redaction tools. Pictures are compared pixel for pixel with what the same drawing code
// draws on a bitmap of the test's own.
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
}  // namespace

TEST_F(Editor, PasteUndoToTheEmptyStateAndRedo) {
  const auto pattern = Pattern(300, 200);
  Paste(pattern);
  EXPECT_TRUE(Shows(pattern));
  EXPECT_TRUE(::IsWindowEnabled(Control(ids::cmdSend2JIRA)));

  KeysOnPicture({VK_CONTROL, VK_SHIFT, 'Z'});  // not Undo
  KeysOnPicture({VK_CONTROL, VK_MENU, 'Z'});
  PumpFor(200ms);
  EXPECT_EQ(Differences(Shown(), Colours(pattern)), 0);

  KeysOnPicture({VK_CONTROL, 'Z'});
  const COLORREF window = ::GetSysColor(COLOR_WINDOW);
  EXPECT_TRUE(Shows(std::vector<COLORREF>(300 * 200, window)));  // the empty state keeps the size
  KeysOnPicture({VK_CONTROL, 'Z'});  // nothing before the empty state
  Click(Control(ids::Commandfwd));
  EXPECT_TRUE(Shows(pattern));

  // Text on the clipboard: Ctrl+V changes nothing, and the history is still there.
  ASSERT_TRUE(PutText(L"not a picture"));
  KeysOnPicture({VK_CONTROL, 'V'});
  PumpFor(200ms);
  EXPECT_EQ(Differences(Shown(), Colours(pattern)), 0);
  KeysOnPicture({VK_CONTROL, 'Z'});
  EXPECT_TRUE(Shows(std::vector<COLORREF>(300 * 200, window)));
}

TEST_F(Editor, ABoxWithNumberingAndPrefixGetsMarkerA1OnItsTopLeftCorner) {
  Paste(Canvas(400, 300));
  ShowTools();
  Click(::GetDlgItem(tools_, ids::Option3));  // "Box Draw"
  Click(::GetDlgItem(tools_, ids::Command3_1));
  HWND prefix = ::GetDlgItem(tools_, ids::txtPrefix);
  Click(prefix);
  KeyChord({VK_SPACE});
  KeyChord({VK_SHIFT, 'A'});
  KeyChord({VK_SPACE});
  HideTools();

  // Dragged from bottom-right to top-left, through a point whose outline must not stay.
  Drag(At(200, 150), At(80, 60));

  auto expected = Canvas(400, 300);
  BoxOutline(expected.dc(), {200, 150}, {80, 60}, Red, Mode::CopyPen);
  modAnnotations::DrawNumberedAnnotation(expected.dc(), L"A1", 80, 60, 12, 0xFFFFFF, Red);
  EXPECT_TRUE(Shows(expected));
  EXPECT_EQ(WindowText(prefix), L"A");  // the box was rewritten without its blanks

  // Undo takes the box and its marker away; the next box is A1 again.
  Click(Control(ids::Commandback));
  EXPECT_TRUE(Shows(Canvas(400, 300)));
  Drag(At(300, 250), At(350, 280));
  auto second = Canvas(400, 300);
  BoxOutline(second.dc(), {300, 250}, {350, 280}, Red, Mode::CopyPen);
  modAnnotations::DrawNumberedAnnotation(second.dc(), L"A1", 300, 250, 12, 0xFFFFFF, Red);
  EXPECT_TRUE(Shows(second));
}

TEST_F(Editor, DrawingWhileZoomedLandsOnThePicturesOwnPixels) {
  Paste(Canvas(200, 100));
  Click(Control(ids::cmdZoomIn));
  Click(Control(ids::cmdZoomIn));
  ASSERT_TRUE(PictureSizeIs(242, 121));  // 200 x 1.1 x 1.1
  OnToolPanel({ids::Option4});  // "Line"
  Drag(At(22, 55), At(220, 55));  // the middles of picture pixels 18 and 182 of row 45
  // Undo and Redo show the picture at 1:1: still 200 x 100, the line 5 pixels wide.
  Click(Control(ids::Commandback));
  Click(Control(ids::Commandfwd));
  ASSERT_TRUE(PictureSizeIs(200, 100));
  EXPECT_TRUE(Shows(Stroke(Canvas(200, 100), {{18, 45}, {182, 45}})));
}

TEST_F(Editor, TheNextNumberIsAskedForAndBadRepliesChangeNothing) {
  Paste(Canvas(200, 160));
  Click(Control(ids::cmdSettings));
  HWND settings = Descendant(main_, L"MirelLumo.Panel", ids::frameSettings);
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(settings) != FALSE; }, 3s));
  // 2.5 halves to even: 2; below 1, beyond 32767 or no number: unchanged.
  for (const wchar_t* reply : {L"2.5", L"0", L"40000", L"many"}) {
    Click(::GetDlgItem(settings, ids::cmdSetNextNumber));
    ASSERT_TRUE(Answer(L"Numbered Annotation", reply)) << reply;
  }
  Click(Control(ids::cmdSettings));
  Click(Control(ids::Command3_0));
  OnToolPanel({ids::Option2});  // "Free Draw"
  Drag(At(30, 100), At(150, 100));
  // The stroke: from the press through the middle to the release, then marker 2 at its end.
  auto expected = Stroke(Canvas(200, 160), {{30, 100}, {90, 100}, {150, 100}});
  modAnnotations::DrawNumberedAnnotation(expected.dc(), L"2", 150, 100, 12, 0xFFFFFF, Red);
  EXPECT_TRUE(Shows(expected));
}

TEST_F(Editor, ToolsSlidesThePanelInAndOutAndASecondPickDuringASlideChangesNothing) {
  EXPECT_EQ(ToolsTop(), -201);
  ShowTools();
  HideTools();
  EXPECT_EQ(ToolsTop(), -225);  // the first top where the panel is wholly out of sight
  PickTools();
  ::PostMessageW(main_, WM_COMMAND, MAKEWPARAM(ids::toolscolors, 0), 0);  // "Tools" again, during the slide in
  EXPECT_TRUE(WaitUntil([&] { return ToolsTop() == 0; }, 3s));
  PumpFor(300ms);
  EXPECT_EQ(ToolsTop(), 0);
}

TEST_F(Editor, TheBarFollowsTheWindowSize) {
  ::ShowWindow(main_, SW_RESTORE);
  auto resize = [&](int w, int h) {
    RECT frame{0, 0, w, h};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongW(main_, GWL_STYLE)), TRUE, 0);
    ::SetWindowPos(main_, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top, SWP_NOMOVE | SWP_NOZORDER);
    return WaitUntil([&] { RECT c; ::GetClientRect(main_, &c); return c.right == w && c.bottom == h; }, 3s);
  };
  ASSERT_TRUE(resize(956, 684));
  PumpFor(200ms);
  HWND viewport = Descendant(main_, L"MirelLumo.pic_mainview");
  EXPECT_EQ(PlaceIn(main_, viewport).bottom, 634);
  EXPECT_EQ(PlaceIn(main_, viewport).right, 956);
  EXPECT_EQ(PlaceIn(main_, Control(ids::cmdSettings)).left, 907);
  EXPECT_EQ(PlaceIn(main_, Control(ids::cmdSettings)).top, 639);
  EXPECT_EQ(PlaceIn(main_, Control(ids::cmdSend2JIRA)).left, 826);
  const RECT settings = PlaceIn(main_, Descendant(main_, L"MirelLumo.Panel", ids::frameSettings));
  EXPECT_EQ(settings.right, 907 + 41);
  EXPECT_EQ(settings.bottom, 634);
  for (auto [id, left] : {std::pair{ids::cmdZoomIn, 8}, {ids::Commandback, 176}, {ids::cmdCapture0, 488},
                          {ids::cmdSend2Mirel, 536}}) {
    EXPECT_EQ(PlaceIn(main_, Control(id)).left, left) << id;
    EXPECT_EQ(PlaceIn(main_, Control(id)).top, 639) << id;
  }
  // Lower than the bar: the viewport keeps its size, the rest still follows, nothing fails.
  ASSERT_TRUE(resize(700, 30));
  EXPECT_TRUE(WaitUntil([&] { return PlaceIn(main_, Control(ids::cmdSettings)).left == 651; }, 2s));
  EXPECT_EQ(PlaceIn(main_, Control(ids::Commandfwd)).top, -15);
  EXPECT_EQ(PlaceIn(main_, viewport).bottom, 634);
  EXPECT_TRUE(app_->Running());
}

TEST_F(Editor, NoDrawDragsThePictureAndDrawingToolsLeaveItInPlace) {
  Paste(Canvas(300, 200));
  HWND viewport = Descendant(main_, L"MirelLumo.pic_mainview");
  const RECT before = PlaceIn(viewport, picture_);
  Drag(At(100, 100), At(150, 130));  // "No Draw" is the tool at start
  EXPECT_TRUE(WaitUntil([&] { const RECT r = PlaceIn(viewport, picture_); return r.left == before.left + 50 && r.top == before.top + 30; }, 3s))
      << PlaceIn(viewport, picture_).left << "," << PlaceIn(viewport, picture_).top;
  const RECT moved = PlaceIn(viewport, picture_);
  EXPECT_TRUE(Shows(Canvas(300, 200)));  // nothing drawn

  OnToolPanel({ids::Option2});  // "Free Draw": a stroke, and the picture stays
  Drag(At(20, 50), At(120, 50));
  EXPECT_EQ(PlaceIn(viewport, picture_).left, moved.left);
  EXPECT_EQ(PlaceIn(viewport, picture_).top, moved.top);
  EXPECT_TRUE(Shows(Stroke(Canvas(300, 200), {{20, 50}, {70, 50}, {120, 50}})));
}

TEST_F(Editor, TheFirstDrawingOnTheStartUpPictureRecordsItFirst) {
  const auto startup = Shown();  // the placeholder, before anything was recorded
  ASSERT_EQ(startup.size(), 258u * 212u);
  OnToolPanel({ids::Option4});  // "Line"
  Drag(At(20, 180), At(200, 180));
  EXPECT_TRUE(WaitUntil([&] { return Differences(Shown(), startup) > 0; }, 3s));
  EXPECT_TRUE(::IsWindowEnabled(Control(ids::cmdSend2Mirel)));
  Click(Control(ids::Commandback));
  EXPECT_TRUE(Shows(startup));  // the start-up picture is a state of its own
  Click(Control(ids::Commandback));
  EXPECT_TRUE(Shows(std::vector<COLORREF>(258 * 212, ::GetSysColor(COLOR_WINDOW))));
}

// The tool keys and buttons: the chosen tool button pressed, the options unchecked; an
// option's key checks it and raises the button. The arrow pixel for pixel.
TEST_F(Editor, TheArrowChosenByItsKeyDrawsARedLineWithAHead) {
  const auto pattern = Pattern(400, 300);
  Paste(pattern);  // the picture has the focus
  HWND arrowButton = Control(ids::cmdArrow);
  const auto raised = ScreenPixels(ScreenRect(arrowButton));
  KeyChord({'A'});
  EXPECT_TRUE(WaitUntil([&] { return Differences(ScreenPixels(ScreenRect(arrowButton)), raised) > 0; }, 2s));
  EXPECT_EQ(::SendMessageW(::GetDlgItem(tools_, ids::Option1), BM_GETCHECK, 0, 0), BST_UNCHECKED);
  Drag(At(40, 250), At(300, 60));
  auto arrow = Pattern(400, 300);
  Arrow(arrow.dc(), {40, 250}, {300, 60}, Red);
  EXPECT_TRUE(Shows(arrow));
  // The shaft's middle and the head 6 pixels from the tip red, beside the head's base not.
  const auto shown = Shown(), plain = Colours(pattern);
  EXPECT_EQ(shown[155u * 400 + 170] + shown[64u * 400 + 295], Red + Red);
  EXPECT_EQ(shown[82u * 400 + 294], plain[82u * 400 + 294]);
  // An option chosen by its key with the viewport focused.
  const RECT viewport = ScreenRect(Descendant(main_, L"MirelLumo.pic_mainview"));
  ClickAt({viewport.right - 20, viewport.bottom - 20});
  KeyChord({'B'});
  EXPECT_EQ(::SendMessageW(::GetDlgItem(tools_, ids::Option3), BM_GETCHECK, 0, 0), BST_CHECKED);
  EXPECT_TRUE(WaitUntil([&] { return Differences(ScreenPixels(ScreenRect(arrowButton)), raised) == 0; }, 2s));
}

// A label typed at (60, 40): Enter bakes it, red and inside its measured box; Escape drops
// what was typed; a box opened at the right edge stays on the picture.
TEST_F(Editor, ALabelIsRedInsideItsMeasuredBoxAndEscapeDropsOne) {
  const auto pattern = Pattern(400, 300);
  Paste(pattern);
  KeyChord({'T'});
  ClickAt(At(60, 40));
  KeyChord({VK_SHIFT, 'H'});
  KeyChord({'I'});
  KeyChord({VK_RETURN});
  auto label = Pattern(400, 300);
  const modAnnotations::LabelPlace place =
      modAnnotations::PlaceLabel({60, 40}, modAnnotations::LabelLineHeight(label.dc()), {400, 300});
  modAnnotations::DrawLabel(label.dc(), L"Hi", place.text.x, place.text.y, Red);
  EXPECT_TRUE(Shows(label));
  SIZE extent{};
  win::unique_hfont font = modAnnotations::LabelFont();
  win::select_object select(label.dc(), font.get());
  ::GetTextExtentPoint32W(label.dc(), L"Hi", 2, &extent);
  const RECT box{60, static_cast<LONG>(place.text.y), 60 + extent.cx, static_cast<LONG>(place.text.y) + extent.cy};
  const auto labelled = Colours(label), before = Colours(pattern);
  int red = 0;
  for (size_t i = 0; i < labelled.size(); ++i)
    if (labelled[i] != before[i])
      red += labelled[i] == Red && ::PtInRect(&box, POINT{static_cast<LONG>(i % 400), static_cast<LONG>(i / 400)}) ? 1 : -1000;
  EXPECT_GT(red, 20);

  ClickAt(At(395, 150));
  HWND textBox = Descendant(main_, editor::TextBox::ClassName);
  ASSERT_TRUE(WaitUntil([&] { return textBox && ::IsWindowVisible(textBox); }, 2s));
  RECT inside{};
  const RECT picture = ScreenRect(picture_), boxPlace = ScreenRect(textBox);
  EXPECT_TRUE(::IntersectRect(&inside, &picture, &boxPlace) && ::EqualRect(&inside, &boxPlace));
  KeyChord({'X'});
  KeyChord({VK_ESCAPE});
  EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(textBox); }, 2s));
  PumpFor(200ms);
  EXPECT_EQ(Differences(Shown(), labelled), 0);
}

// A redaction dragged up and left: black from 148, 148 to 252, 202 (the pen's reach), the
// picture's own pixels around it; Undo shows the covered pixels again, Redo hides them.
TEST_F(Editor, ARedactionIsBlackAndUndoShowsWhatItCovered) {
  const auto pattern = Pattern(400, 300);
  Paste(pattern);
  Click(Control(ids::cmdRedact));
  Drag(At(250, 200), At(150, 150));
  auto redacted = Pattern(400, 300);
  for (int y = 148; y < 203; ++y)
    for (int x = 148; x < 253; ++x) redacted.pixels()[static_cast<size_t>(y) * 400 + x] = 0;
  EXPECT_TRUE(Shows(redacted));
  Click(Control(ids::Commandback));
  EXPECT_TRUE(Shows(pattern));
  Click(Control(ids::Commandfwd));
  EXPECT_TRUE(Shows(redacted));
}

// At 144 dots per inch the window's places and sizes scale by 1.5; the picture is still
// shown at its own pixels. Runs in the pass of scripts/test whose Wine has that density.
TEST(EditorDensity, PlacesScaleAndThePictureKeepsItsPixels) {
  if (Env(L"LUMO_DPI") != L"144") GTEST_SKIP() << "runs where Wine is set to 144 dpi (LUMO_DPI=144)";
  struct Restore {
    ~Restore() { DeleteRunEntry(); }
  } restore;
  Program app(L"allowmultinstance");
  HWND main = app.WaitForMainWindow();
  ASSERT_NE(main, nullptr);
  HWND settings = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (settings = Descendant(main, nullptr, ids::cmdSettings)) != nullptr; }, 10s));
  PumpFor(500ms);
  ASSERT_EQ(::GetDpiForWindow(main), 144u);
  // Whatever size the window has: the bar is 75 pixels high, the buttons 1.5 times larger.
  RECT client;
  ::GetClientRect(main, &client);
  EXPECT_EQ(SizeOf(settings).cx, 62);
  EXPECT_EQ(PlaceIn(main, settings).left, client.right - 62 - 12);
  EXPECT_EQ(PlaceIn(main, settings).top, client.bottom - 75 + 8);
  for (auto [id, left] : {std::pair{ids::cmdArrow, 876}, {ids::cmdText, 948}, {ids::cmdRedact, 1020}}) {
    HWND tool = Descendant(main, nullptr, id);
    EXPECT_EQ(PlaceIn(main, tool).left, left) << id;
    EXPECT_EQ(PlaceIn(main, tool).top, client.bottom - 75 + 8) << id;
    EXPECT_EQ(SizeOf(tool).cx, 62) << id;
  }

  ASSERT_TRUE(PutBitmap(Canvas(300, 200)));
  HWND picture = Descendant(main, L"MirelLumo.Picture1");
  Click(picture);
  KeyChord({VK_CONTROL, 'V'});
  EXPECT_TRUE(WaitUntil([&] { const SIZE s = SizeOf(picture); return s.cx == 300 && s.cy == 200; }, 5s));
  EXPECT_TRUE(app.CloseAndWait());
}

namespace {
// Mouse messages straight to the picture control, for the sequences a real mouse seldom
// gives: a release without a move before it, a drag that loses the mouse.
void Post(HWND control, UINT msg, WPARAM keys, int x, int y) {
  ::PostMessageW(control, msg, keys, MAKELPARAM(x, y));
  PumpFor(60ms);
}
}  // namespace

// Another window takes the mouse: a stroke stays as far as it was drawn and is a state (what
// a lost mouse does to each tool: Model.ALostMouseOrAToolKeyKeepsTheStrokeAndTakesBackTheOutline).
TEST_F(Editor, ADragThatLosesTheMouseKeepsAStroke) {
  Paste(Canvas(300, 200));
  OnToolPanel({ids::Option2});  // "Free Draw"
  Post(picture_, WM_LBUTTONDOWN, MK_LBUTTON, 20, 20);
  Post(picture_, WM_MOUSEMOVE, MK_LBUTTON, 150, 120);
  Post(picture_, WM_CAPTURECHANGED, 0, 0, 0);
  Post(picture_, WM_LBUTTONUP, 0, 200, 150);  // the release that follows draws nothing more
  EXPECT_TRUE(Shows(Stroke(Canvas(300, 200), {{20, 20}, {150, 120}})));
  Click(Control(ids::Commandback));
  EXPECT_TRUE(Shows(Canvas(300, 200)));
}
