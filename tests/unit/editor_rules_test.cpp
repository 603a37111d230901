// The editor's rules apart from the window: zoom, layout, the tool panel's slide, keys,
// the next-number reply, the markers' geometry and that of arrows, labels and redactions.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>

#include "editor/annotation_rules.h"
#include "editor/marker_rules.h"
#include "editor/view_rules.h"

using namespace editor;

TEST(Zoom, SizesCompoundFromTheShownSize) {
  auto in = ZoomedSize({200, 100}, ZoomInFactor);
  ASSERT_TRUE(in);
  EXPECT_EQ(*in, (Size{220, 110}));
  auto out = ZoomedSize(*in, ZoomOutFactor);
  ASSERT_TRUE(out);
  EXPECT_EQ(*out, (Size{198, 99}));  // in then out leaves 0.99
  Size s{1000, 500};
  for (int i = 0; i < 10; ++i) s = *ZoomedSize(s, ZoomInFactor);
  EXPECT_NEAR(s.width, 2594, 3);  // about 2.59 after ten steps
}

TEST(Zoom, StepsThatLeaveTheBoundsAreNotTaken) {
  EXPECT_FALSE(ZoomedSize({8, 100}, ZoomOutFactor));  // 7.2 would be under 8 pixels
  EXPECT_TRUE(ZoomedSize({9, 100}, ZoomOutFactor));   // 8.1 rounds to 8
  // A picture thinner than the bound can still be enlarged, not shrunk.
  EXPECT_EQ(ZoomedSize({5, 500}, ZoomInFactor), (Size{6, 550}));
  EXPECT_FALSE(ZoomedSize({5, 500}, ZoomOutFactor));
  EXPECT_FALSE(ZoomedSize({100, 30000}, ZoomInFactor));
  EXPECT_EQ(ZoomedSize({100, 29789}, ZoomInFactor)->height, 32768);
  // Shrinking a 3840-wide picture stops at the bound instead of reaching nothing.
  Size s{3840, 2160};
  int steps = 0;
  while (auto next = ZoomedSize(s, ZoomOutFactor)) {
    s = *next;
    ++steps;
  }
  EXPECT_GE(s.height, MinShownSide);
  EXPECT_LT(s.height * 0.9, MinShownSide + 0.5);
  EXPECT_GT(steps, 30);
}

TEST(Zoom, EveryShownPixelDrawsOnThePicturePixelShownThere) {
  // What the mouse draws on is what the view shows there, at every zoom.
  for (auto [picture, shown] : {std::pair{200, 518}, {200, 242}, {200, 198}, {3840, 1045}, {200, 200}, {7, 33}}) {
    int last = -1;
    for (int x = 0; x < shown; ++x) {
      const int k = PictureIndexShownAt(x, shown, picture);
      ASSERT_GE(k, last);  // the view keeps the order and skips no pixel when enlarging
      if (shown >= picture) {
        ASSERT_LE(k, last + 1);
      }
      last = k;
      const double at = ShownToPicture({static_cast<double>(x), 0}, {shown, shown}, {picture, picture}).x;
      ASSERT_EQ(std::lround(at), k) << "picture " << picture << ", shown " << shown << ", x " << x;
    }
    if (shown >= picture) {
      EXPECT_EQ(last, picture - 1);
    }
  }
  // At 1:1 a point is the same point.
  EXPECT_DOUBLE_EQ(ShownToPicture({37, 12}, {200, 100}, {200, 100}).x, 37);
  EXPECT_DOUBLE_EQ(ShownToPicture({37, 12}, {200, 100}, {200, 100}).y, 12);
}

TEST(Layout, TheBarFollowsTheClientAreaAtAnyDensity) {
  const BarLayout l = LayoutForClient(956, 684, BarMetrics{});
  EXPECT_EQ(l.barLine, 634);
  ASSERT_TRUE(l.viewport);
  EXPECT_EQ(*l.viewport, (Size{956, 634}));
  EXPECT_EQ(l.buttonsTop, 639);
  EXPECT_EQ(l.settingsLeft, 907);
  EXPECT_EQ(l.send2JiraLeft, 826);
  EXPECT_EQ(l.frameSettingsLeft, 907 + 41 - 321);  // right edges aligned
  EXPECT_EQ(l.frameSettingsTop, 634 - 185);         // bottom on the bar line
  BarMetrics m;  // 144 dpi
  m.bottomBarUnit = 30, m.gap = 8, m.margin = 12, m.settingsWidth = 62, m.send2JiraWidth = 110;
  const BarLayout dense = LayoutForClient(1434, 1026, m);
  EXPECT_EQ(dense.barLine, 951);
  EXPECT_EQ(dense.settingsLeft, 1434 - 62 - 12);
  EXPECT_EQ(dense.send2JiraLeft, 1434 - 62 - 12 - 110 - 12);
}

TEST(Layout, AWindowLowerThanTheBarSkipsTheViewportOnly) {
  const BarLayout l = LayoutForClient(300, 30, BarMetrics{});
  EXPECT_EQ(l.barLine, -20);
  EXPECT_FALSE(l.viewport);
  EXPECT_EQ(l.buttonsTop, -15);
  EXPECT_EQ(l.settingsLeft, 251);
}

namespace {
// Runs a whole slide from `top`; the number of ticks and the steps taken.
struct Slide {
  int ticks = 0;
  std::vector<int> steps;
  int top = 0;
  bool shown = false;
};
Slide RunSlide(int top, int height, bool shown) {
  Slide s{0, {}, top, shown};
  for (;;) {
    const SlideTick t = NextSlideStep(s.top, height, s.shown);
    s.steps.push_back(t.top - s.top);
    s.top = t.top;
    ++s.ticks;
    if (t.stop) {
      s.shown = t.shown;
      return s;
    }
    if (s.ticks > 100) return s;
  }
}
}  // namespace

TEST(ToolPanel, SlidesInOutAndInAgain) {
  const Slide first = RunSlide(-201, 201, false);
  EXPECT_EQ(first.ticks, 9);
  EXPECT_EQ(first.steps, (std::vector<int>{25, 25, 25, 25, 25, 25, 25, 25, 1}));
  EXPECT_EQ(first.top, 0);
  EXPECT_TRUE(first.shown);
  const Slide out = RunSlide(0, 201, true);
  EXPECT_EQ(out.ticks, 9);
  EXPECT_EQ(out.top, -225);
  EXPECT_FALSE(out.shown);
  const Slide again = RunSlide(-225, 201, false);
  EXPECT_EQ(again.ticks, 9);
  EXPECT_EQ(again.top, 0);
  EXPECT_TRUE(again.shown);
  // The flag changes only at the end: a tick halfway keeps the direction.
  const SlideTick mid = NextSlideStep(-100, 201, false);
  EXPECT_FALSE(mid.stop);
  EXPECT_EQ(mid.top, -75);
}

TEST(Keys, CtrlAloneWithZOrVAndToolLettersAlone) {
  EXPECT_EQ(KeyUpCommand(90, CtrlMask), KeyCommand::Undo);
  EXPECT_EQ(KeyUpCommand(86, CtrlMask), KeyCommand::Paste);
  EXPECT_EQ(KeyUpCommand(90, CtrlMask | ShiftMask), KeyCommand::None);
  EXPECT_EQ(KeyUpCommand(90, CtrlMask | AltMask), KeyCommand::None);
  EXPECT_EQ(KeyUpCommand(90, 0), KeyCommand::None);
  EXPECT_EQ(KeyUpCommand(89, CtrlMask), KeyCommand::None);  // no redo shortcut
  EXPECT_EQ(KeyUpCommand('z', CtrlMask), KeyCommand::None); // key codes are the capitals
  const std::pair<int, KeyCommand> tools[] = {{'N', KeyCommand::NoDraw}, {'F', KeyCommand::FreeDraw}, {'B', KeyCommand::BoxDraw},
                                              {'L', KeyCommand::LineDraw}, {'A', KeyCommand::Arrow},  {'T', KeyCommand::Text},
                                              {'R', KeyCommand::Redact},   {'V', KeyCommand::None},   {'a', KeyCommand::None}};
  for (auto [key, command] : tools) {
    EXPECT_EQ(KeyUpCommand(key, 0), command) << key;
    for (int shift : {ShiftMask, CtrlMask, AltMask})
      if (key != 'V' || shift != CtrlMask) EXPECT_EQ(KeyUpCommand(key, shift), KeyCommand::None) << key << shift;
  }
}

TEST(NextNumber, RepliesThatSetTheNextMarker) {
  EXPECT_EQ(ParseNextNumber(L"5"), 5);
  EXPECT_EQ(ParseNextNumber(L"  1 "), 1);
  EXPECT_EQ(ParseNextNumber(L"2.5"), 2);  // halves to even
  EXPECT_EQ(ParseNextNumber(L"3.5"), 4);
  EXPECT_EQ(ParseNextNumber(L"32767"), 32767);
  EXPECT_EQ(ParseNextNumber(L"2,5", L',', L'.'), 2);   // a decimal comma
  EXPECT_EQ(ParseNextNumber(L"1.000", L',', L'.'), 1000);
  EXPECT_EQ(ParseNextNumber(L"1,000"), 1000);           // grouped thousands
  EXPECT_EQ(ParseNextNumber(L"1e2"), 100);
}

TEST(NextNumber, RepliesThatChangeNothing) {
  for (const wchar_t* reply : {L"", L"   ", L"0", L"-3", L"0.4", L"abc", L"5x", L"32768", L"1e9", L"40,000", L",5", L"nan"})
    EXPECT_FALSE(ParseNextNumber(reply)) << reply;
}

namespace {
// A measuring function like a bold proportional font: 9 pixels per character at 12 points,
// height 1.25 x the size in pixels.
modAnnotations::TextExtent Measure(std::wstring_view text, double points) {
  const double px = points * 96 / 72;
  return {static_cast<double>(text.size()) * px * 0.5625, px * 1.25};
}
}  // namespace

TEST(Markers, TextAndPlace) {
  using namespace modAnnotations;
  EXPECT_EQ(MarkerText(L"A", 3), L"A3");
  EXPECT_EQ(MarkerText(L"", 12), L"12");
  // A box dragged from bottom-right to top-left: its top-left corner.
  const PointF box = MarkerPoint(BoxDraw, {80, 90}, {20.5, 30});
  EXPECT_DOUBLE_EQ(box.x, 20.5);
  EXPECT_DOUBLE_EQ(box.y, 30);
  EXPECT_DOUBLE_EQ(MarkerPoint(LineDraw, {80, 90}, {20, 30}).x, 20);
  EXPECT_DOUBLE_EQ(MarkerPoint(FreeDraw, {10, 10}, {70, 5}).y, 5);
  EXPECT_EQ(MarkerPoint(ArrowDraw, {80, 90}, {20, 30}), (PointF{80, 90}));  // an arrow's tail
}

TEST(Arrows, TheHeadPointsAlongTheShaftEighteenPixelsLongThirtyDegreesEachSide) {
  using namespace modAnnotations;
  const double tan30 = std::tan(std::numbers::pi / 6);
  const auto right = *ArrowHeadFor({0, 0}, {100, 0});
  EXPECT_EQ(right.tip, (PointF{100, 0}));
  EXPECT_EQ(right.shaftEnd, (PointF{82, 0}));
  EXPECT_NEAR(right.left.y, -18 * tan30, 1e-9);  // left of the shaft: up, on a picture
  EXPECT_NEAR(right.right.y, 18 * tan30, 1e-9);
  // Up and left, diagonally: each side 30 degrees off the shaft, both as long.
  const auto d = *ArrowHeadFor({60, 80}, {0, 0});
  EXPECT_NEAR(d.shaftEnd.x, 18 * 0.6, 1e-9);
  EXPECT_NEAR(d.shaftEnd.y, 18 * 0.8, 1e-9);
  for (PointF side : {d.left, d.right}) {
    const double length = std::hypot(side.x, side.y);
    EXPECT_NEAR(std::acos((side.x * 0.6 + side.y * 0.8) / length) * 180 / std::numbers::pi, 30, 1e-9);
    EXPECT_NEAR(length, 18 / std::cos(std::numbers::pi / 6), 1e-9);
  }
  EXPECT_LT(d.left.x - d.right.x, 0);  // pointing up-left, its left side is the lower-left one
  // An arrow shorter than a head gets a head as long as itself; one of no length none.
  EXPECT_EQ(ArrowHeadFor({0, 0}, {0, 10})->shaftEnd, (PointF{0, 0}));
  EXPECT_FALSE(ArrowHeadFor({7, 7}, {7, 7}));
}

TEST(Redactions, TheRectangleTakesInThePenInEveryDragDirectionAndStopsAtTheEdges) {
  using namespace modAnnotations;
  const Size picture{200, 100};
  for (auto [a, b] : {std::pair{PointF{20, 30}, PointF{60, 70}}, {{60, 70}, {20, 30}}, {{60, 30}, {20, 70}},
                      {{20, 70}, {60, 30}}, {{19.6, 29.5}, {60.4, 69.5}}})  // fractions: whole pixels as an outline's
    EXPECT_EQ(RedactionRect(a, b, 5, picture), (base::Rect{18, 28, 63, 73})) << a.x << "," << a.y;
  EXPECT_EQ(RedactionRect({1, 1}, {198, 98}, 5, picture), (base::Rect{0, 0, 200, 100}));  // the pen past every edge
  EXPECT_EQ(RedactionRect({-10, 50}, {5, 120}, 5, picture), (base::Rect{0, 48, 8, 100}));  // dragged off the picture
  EXPECT_EQ(RedactionRect({40, 40}, {40, 40}, 5, picture), (base::Rect{38, 38, 43, 43}));  // a click: the pen's square
  EXPECT_TRUE(RedactionRect({300, 10}, {400, 20}, 5, picture).Empty());
}

TEST(Labels, TheTextStartsAtTheClickCentredOnItAndTheBoxStaysOnThePicture) {
  using namespace modAnnotations;
  const struct {
    PointF click;
    Size picture;
    base::Rect box;
  } cases[] = {{{40, 50}, {800, 600}, {39, 41, 339, 59}},     {{700, 595}, {800, 600}, {500, 582, 800, 600}},
               {{0, 0}, {800, 600}, {0, 0, 300, 18}},         {{10, 5}, {120, 12}, {0, 0, 120, 12}}};
  for (const auto& c : cases) {
    const LabelPlace p = PlaceLabel(c.click, 16, c.picture);
    EXPECT_EQ(p.box, c.box) << c.click.x << "," << c.click.y;
    EXPECT_EQ(p.text, (PointF{c.box.left + 1.0, c.box.top + 1.0}));  // inside the frame
    EXPECT_EQ(p.marker, (PointF{p.text.x, p.text.y + 8}));              // the text's left middle
  }
}

TEST(Markers, ASingleDigitKeepsTheFontAndSitsCentred) {
  using namespace modAnnotations;
  const MarkerLayout m = LayoutMarker(L"7", 100, 50, MarkerPoints, Measure);
  EXPECT_EQ(m.points, 12);
  EXPECT_EQ(m.textWidth, 9);
  EXPECT_EQ(m.textHeight, 20);
  EXPECT_DOUBLE_EQ(m.radius, 20 / 2.0 + 5);  // the height is the larger side
  EXPECT_DOUBLE_EQ(m.textLeft, 100 - 4.5);
  EXPECT_DOUBLE_EQ(m.textTop, 40);
}

TEST(Markers, AWideTextShrinksTowardsFortyPixelsButNotBelowEightPoints) {
  using namespace modAnnotations;
  // "A1234" is 45 pixels at 12 points: 40 / 45 x 12 = 10.67, so 11 points.
  const MarkerLayout m = LayoutMarker(L"A1234", 0, 0, MarkerPoints, Measure);
  EXPECT_EQ(m.points, 11);
  EXPECT_NEAR(m.textWidth, 41, 1);
  EXPECT_NEAR(m.radius, 25, 1);
  // Fourteen characters would need 3.4 points: the font stops at 8 and the disc grows.
  const MarkerLayout wide = LayoutMarker(L"PREFIX12345678", 0, 0, MarkerPoints, Measure);
  EXPECT_EQ(wide.points, 8);
  EXPECT_EQ(wide.textWidth, 84);
  EXPECT_DOUBLE_EQ(wide.radius, 84 / 2.0 + 5);
  // Blanks around the text are not measured.
  EXPECT_EQ(LayoutMarker(L"  7 ", 0, 0, MarkerPoints, Measure).textWidth, 9);
}
