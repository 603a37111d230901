// The editor's rules apart from the window: view, layout, keys, replies, and the geometry of every shape.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>
#include <utility>

#include "editor/annotation_rules.h"
#include "editor/marker_rules.h"
#include "editor/view_rules.h"

using namespace editor;
using namespace modAnnotations;

TEST(Zoom, StepsThatLeaveTheBoundsAreNotTaken) {
  // Sizes compound from the shown size: in then out leaves 0.99.
  EXPECT_EQ(ZoomedSize({200, 100}, ZoomInFactor), (Size{220, 110}));
  EXPECT_EQ(ZoomedSize({220, 110}, ZoomOutFactor), (Size{198, 99}));
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
  for (; auto next = ZoomedSize(s, ZoomOutFactor); ++steps) s = *next;
  EXPECT_TRUE(s.height >= MinShownSide && s.height * 0.9 < MinShownSide + 0.5) << s.height;
  EXPECT_GT(steps, 30);
}

TEST(Zoom, EveryShownPixelDrawsOnThePicturePixelShownThere) {
  // What the mouse draws on is what the view shows there, at every zoom.
  for (auto [picture, shown] : {std::pair{200, 518}, {200, 242}, {200, 198}, {3840, 1045}, {200, 200}, {7, 33}}) {
    int last = -1;
    for (int x = 0; x < shown; ++x) {
      const int k = PictureIndexShownAt(x, shown, picture);
      // The view keeps the order, and skips no pixel when enlarging.
      ASSERT_TRUE(k >= last && (shown < picture || k <= last + 1)) << picture << " as " << shown << ", x " << x;
      last = k;
      const double at = ShownToPicture({static_cast<double>(x), 0}, {shown, shown}, {picture, picture}).x;
      ASSERT_EQ(std::lround(at), k) << "picture " << picture << ", shown " << shown << ", x " << x;
    }
    EXPECT_TRUE(shown < picture || last == picture - 1) << picture << " as " << shown;  // every pixel shown
  }
  EXPECT_EQ(ShownToPicture({37, 12}, {200, 100}, {200, 100}), (PointF{37, 12}));  // at 1:1 the same point
}

namespace {
// barLine, buttonsTop, settingsLeft, send2JiraLeft, frameSettingsLeft and frameSettingsTop.
std::vector<int> Places(const BarLayout& l) {
  return {l.barLine, l.buttonsTop, l.settingsLeft, l.send2JiraLeft, l.frameSettingsLeft, l.frameSettingsTop};
}
}  // namespace

// At 144 dpi (the 96-dpi metrics: the low window below). The settings frame's right edge on
// cmdSettings' and its bottom on the bar line; 1360 = 1434 - 62 - 12.
TEST(Layout, TheBarFollowsTheClientAreaAtAnyDensity) {
  BarMetrics m;
  m.bottomBarUnit = 30, m.gap = 8, m.margin = 12, m.settingsWidth = 62, m.send2JiraWidth = 110;
  const BarLayout l = LayoutForClient(1434, 1026, m);
  EXPECT_EQ(Places(l), (std::vector<int>{951, 959, 1360, 1360 - 110 - 12, 1360 + 62 - 321, 951 - 185}));
  EXPECT_EQ(l.viewport, (Size{1434, 951}));
}

TEST(Layout, AWindowLowerThanTheBarSkipsTheViewportOnly) {
  const BarLayout l = LayoutForClient(300, 30, BarMetrics{});
  EXPECT_EQ(Places(l), (std::vector<int>{-20, -15, 251, 170, 251 + 41 - 321, -20 - 185}));
  EXPECT_FALSE(l.viewport);
}

TEST(ToolPanel, SlidesInOutAndInAgain) {
  // Each slide of the 201-pixel panel moves 25 pixels a tick and changes the flag only at its end:
  // in from its first top, out to the first top wholly out of sight, and in again.
  int top = -201;
  bool shown = false;
  for (auto [end, ticks] : {std::pair{0, 9}, {-225, 9}, {0, 9}}) {
    int n = 0;
    for (SlideTick t; !t.stop && n < 100; ++n) {
      t = NextSlideStep(top, 201, shown);
      EXPECT_TRUE(std::abs(t.top - top) <= 25 && (t.stop || t.shown == shown)) << top << " to " << t.top;
      top = t.top;
      if (t.stop) shown = t.shown;
    }
    EXPECT_TRUE(top == end && n == ticks && shown == (end == 0)) << top << " after " << n;
  }
}

TEST(Keys, CtrlAloneWithZOrVAndToolLettersAlone) {
  // Each key alone, and with every modifier: only exactly Ctrl with Z or V counts (no redo shortcut; key
  // codes are the capitals).
  const std::pair<int, KeyCommand> alone[] = {
      {'N', KeyCommand::NoDraw}, {'F', KeyCommand::FreeDraw}, {'B', KeyCommand::BoxDraw}, {'L', KeyCommand::LineDraw},
      {'A', KeyCommand::Arrow},  {'T', KeyCommand::Text},     {'R', KeyCommand::Redact},  {'V', KeyCommand::None},
      {'Z', KeyCommand::None},   {'Y', KeyCommand::None},     {'z', KeyCommand::None},    {'a', KeyCommand::None}};
  for (auto [key, command] : alone) {
    EXPECT_EQ(KeyUpCommand(key, 0), command) << key;
    const KeyCommand withCtrl = key == 'Z' ? KeyCommand::Undo : key == 'V' ? KeyCommand::Paste : KeyCommand::None;
    for (int mods : {ShiftMask, CtrlMask, AltMask, CtrlMask | ShiftMask, CtrlMask | AltMask})
      EXPECT_EQ(KeyUpCommand(key, mods), mods == CtrlMask ? withCtrl : KeyCommand::None) << key << "/" << mods;
  }
}

TEST(NextNumber, RepliesThatSetTheNextMarker) {
  // Halves to even; grouped thousands.
  for (auto [reply, number] : {std::pair{L"5", 5}, {L"  1 ", 1}, {L"2.5", 2}, {L"3.5", 4}, {L"32767", 32767},
                               {L"1,000", 1000}, {L"1e2", 100}})
    EXPECT_EQ(ParseNextNumber(reply), number) << reply;
  EXPECT_EQ(ParseNextNumber(L"2,5", L',', L'.'), 2);  // a decimal comma
  EXPECT_EQ(ParseNextNumber(L"1.000", L',', L'.'), 1000);
}

TEST(NextNumber, RepliesThatChangeNothing) {
  for (const wchar_t* reply :
       {L"", L"   ", L"0", L"-3", L"0.4", L"abc", L"5x", L"32768", L"1e9", L"40,000", L",5", L"nan"})
    EXPECT_FALSE(ParseNextNumber(reply)) << reply;
}

TEST(Arrows, TheHeadPointsAlongTheShaftEighteenPixelsLongThirtyDegreesEachSide) {
  const auto near = [](PointF a, PointF b) { return std::hypot(a.x - b.x, a.y - b.y) < 1e-9; };
  const double half = 18 * std::tan(std::numbers::pi / 6);
  const auto right = *ArrowHeadFor({0, 0}, {100, 0});  // left of the shaft is up, on a picture
  EXPECT_TRUE(right.tip == (PointF{100, 0}) && right.shaftEnd == (PointF{82, 0}) && near(right.left, {82, -half}) &&
              near(right.right, {82, half}));
  // Up and left, diagonally: each side 30 degrees off the shaft, both as long.
  const auto d = *ArrowHeadFor({60, 80}, {0, 0});
  EXPECT_TRUE(near(d.shaftEnd, {18 * 0.6, 18 * 0.8}));
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
  const struct { PointF click; Size picture; base::Rect box; } cases[] = {
      {{40, 50}, {800, 600}, {39, 41, 339, 59}}, {{700, 595}, {800, 600}, {500, 582, 800, 600}},
      {{0, 0}, {800, 600}, {0, 0, 300, 18}}, {{10, 5}, {120, 12}, {0, 0, 120, 12}}};
  for (const auto& c : cases) {
    const LabelPlace p = PlaceLabel(c.click, 16, c.picture);
    EXPECT_EQ(p.box, c.box) << c.click.x << "," << c.click.y;
    EXPECT_EQ(p.text, (PointF{c.box.left + 1.0, c.box.top + 1.0}));  // inside the frame
    EXPECT_EQ(p.marker, (PointF{p.text.x, p.text.y + 8}));              // the text's left middle
  }
}

namespace {
// The marker of a text at (100, 50), measured like a bold proportional font: 9 pixels per
// character at 12 points, height 1.25 x the size in pixels. Font size, text width and
// height, the disc's radius, the text's left and top.
std::tuple<double, int, int, double, double, double> Marker(std::wstring_view text) {
  const auto measure = [](std::wstring_view t, double points) {
    const double px = points * 96 / 72;
    return TextExtent{static_cast<double>(t.size()) * px * 0.5625, px * 1.25};
  };
  const auto m = LayoutMarker(text, 100, 50, MarkerPoints, measure);
  return {m.points, m.textWidth, m.textHeight, m.radius, m.textLeft, m.textTop};
}
}  // namespace

TEST(Markers, ASingleDigitKeepsTheFontAndSitsCentred) {
  EXPECT_EQ(Marker(L"7"), std::tuple(12, 9, 20, 20 / 2.0 + 5, 100 - 4.5, 40));  // the height is the larger side
  EXPECT_EQ(Marker(L"  7 "), Marker(L"7"));  // blanks around the text are not measured
}

TEST(Markers, AWideTextShrinksTowardsFortyPixelsButNotBelowEightPoints) {
  // "A1234" is 45 pixels at 12 points: 40 / 45 x 12 = 10.67, so 11 points.
  EXPECT_EQ(Marker(L"A1234"), std::tuple(11, 41, 18, 41 / 2.0 + 5, 100 - 20.5, 50 - 9));
  // Fourteen characters would need 3.4 points: the font stops at 8 and the disc grows.
  EXPECT_EQ(Marker(L"PREFIX12345678"), std::tuple(8, 84, 13, 84 / 2.0 + 5, 100 - 42, 50 - 6.5));
}
