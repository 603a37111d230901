#include <gtest/gtest.h>

#include <tuple>

#include "capture/capture_files.h"
#include "capture/clsMonitor.h"
#include "capture/encoder_table.h"
#include "capture/loupe_rules.h"
#include "capture/overlay_rules.h"

using namespace frmCaptureRules;
using namespace loupeRules;
using namespace modSaveImages;

namespace {
int Highest(const std::vector<std::wstring>& names) { return modScreenshot::HighestNumber(names, L"image"); }
}  // namespace

TEST(CaptureNumbering, HostileNamesNeverBreakTheNumbering) {
  EXPECT_EQ(Highest({}), 0);
  EXPECT_EQ(Highest({L"image1.bmp", L"image2.bmp", L"image9.jpg"}), 9);
  EXPECT_EQ(Highest({L"image0007.bmp"}), 7);
  EXPECT_EQ(Highest({L"image5.tar.bmp"}), 5);  // extension from the first dot
  EXPECT_EQ(Highest({L"Image3.bmp", L"image_old.bmp", L"imagefoo12.bmp", L"image12", L"image.bmp"}), 0);
  EXPECT_EQ(Highest({L"image 4 .png", L"image2.5.png"}), 4);  // "2.5" holds the extension ".5.png"
  EXPECT_EQ(Highest({L"image1e3.bmp", L"image-4.bmp"}), 1000);
  EXPECT_EQ(Highest({L"image1e400.bmp", L"image99999999999.bmp", L"image3.bmp"}), 3);
  EXPECT_EQ(Highest({L"image2147483647.bmp"}), 2147483647);
  for (auto [highest, next] : {std::pair{2147483647, 2147483647}, {-5, 1}, {9, 10}})
    EXPECT_EQ(modScreenshot::NextNumber(highest), next) << highest;
  // Every occurrence of the prefix goes, and the extension runs from the first dot.
  EXPECT_EQ(Highest({L"imageimage4.png"}), 4);
  EXPECT_EQ(Highest({L"image.bmpimage2.bmp"}), 0);
  EXPECT_EQ(modScreenshot::StripWildcard(L"image*.**.*"), L"image");
}

TEST(PanelPlace, BesideTheCornerOfTheReleaseAndOnItsMonitor) {
  const Rect r{100, 100, 200, 150};  // 100..300 x 100..250
  const Rect screen{0, 0, 1920, 1080};
  const int w = 73, h = 35;
  const struct { int x, y; Rect selection, monitor; Point at; } cases[] = {
      {300, 250, r, screen, {300 - w, 250}},      // released at the bottom-right corner
      {100, 250, r, screen, {100, 250}},          // bottom-left
      {100, 100, r, screen, {100, 100 - h}},      // top-left
      {300, 100, r, screen, {300 - w, 100 - h}},  // top-right
      {300, 1060, {100, 900, 200, 160}, screen, {300 - w, 1060 - h}},  // would leave at the bottom
      {100, 10, {100, 10, 200, 100}, screen, {100, 10}},              // would leave at the top
      // A 1024 x 768 monitor left of a taller one, its top 200 below the desktop's: above, though the desktop goes on.
      {500, 960, {300, 800, 200, 160}, {0, 200, 1024, 768}, {500 - w, 960 - h}},
      // Released at the bottom-right corner just right of the monitor's left edge: moved along onto the monitor.
      {1300, 400, {1250, 300, 50, 100}, {1280, 0, 1920, 1080}, {1280, 400}},
      {1278, 400, {1200, 300, 78, 100}, {0, 0, 1280, 1024}, {1278 - w, 400}},
      {1260, 400, {1260, 300, 19, 100}, {0, 0, 1280, 1024}, {1280 - w, 400}},  // and at its right edge
  };
  for (const auto& c : cases) EXPECT_EQ(PanelPlace(c.x, c.y, c.selection, w, h, c.monitor), c.at) << c.x << "," << c.y;
}

namespace {
// The overlay's state, the selection's start point and the selection as last drawn.
auto Seen(const Overlay& o) { return std::tuple(o.State(), o.SelectionStart, o.recordArea); }
}  // namespace

TEST(OverlaySelection, FollowsTheMouseOncePerTickAndCompletesAtTenPixels) {
  Overlay o;
  Activate(o);
  EXPECT_EQ(o.State(), OverlayState::Armed);
  LeftPress(o, {50, 60});
  EXPECT_TRUE(MouseMove(o, {70, 90}));
  EXPECT_FALSE(MouseMove(o, {80, 95}));  // same tick: not redrawn
  EXPECT_EQ(Seen(o), std::tuple(OverlayState::Selecting, Point{50, 60}, Rect{50, 60, 20, 30}));
  EXPECT_TRUE(Tick(o));  // ... but drawn at the next tick, though the mouse stopped
  EXPECT_TRUE(o.recordArea == (Rect{50, 60, 30, 35}) && o.vertLeft == 80);
  EXPECT_FALSE(Tick(o));  // nothing left to draw
  Tick(o);
  EXPECT_TRUE(MouseMove(o, {40, 30}));  // above and left of the start
  EXPECT_EQ(o.recordArea, (Rect{40, 30, 10, 30}));
  const Rect screen{0, 0, 1920, 1080};
  EXPECT_FALSE(LeftRelease(o, {59, 80}, 73, 35, screen));  // 9 pixels wide
  EXPECT_FALSE(LeftRelease(o, {90, 60}, 73, 35, screen));  // wide, but no height
  LeftPress(o, {500, 500});  // a press while selecting keeps the start point
  EXPECT_TRUE(o.State() == OverlayState::Selecting && o.SelectionStart == (Point{50, 60}));
  EXPECT_TRUE(LeftRelease(o, {60, 80}, 73, 35, screen));
  EXPECT_EQ(Seen(o), std::tuple(OverlayState::Selected, Point{50, 60}, Rect{50, 60, 10, 20}));
  EXPECT_TRUE(o.mStopCapture);
  Tick(o);
  EXPECT_FALSE(MouseMove(o, {100, 100}));  // stopped: the crosshairs stay
  LeftPress(o, {200, 210});  // a new press while Selected restarts there
  EXPECT_EQ(Seen(o), std::tuple(OverlayState::Selecting, Point{200, 210}, Rect{200, 210, 0, 0}));
  Close(o);
  EXPECT_EQ(o.State(), OverlayState::Hidden);
}

TEST(OverlaySelection, AWholeIntervalSinceTheLastRedrawNeedsNoTick) {
  Overlay o;
  Activate(o);
  LeftPress(o, {0, 0});
  EXPECT_TRUE(MouseMove(o, {20, 20}, 1000000));
  EXPECT_FALSE(MouseMove(o, {21, 21}, 1009999));  // 1 µs short of the interval
  EXPECT_TRUE(o.movePending);
  EXPECT_TRUE(MouseMove(o, {22, 22}, 1010000));  // the timer is late: drawn all the same
  EXPECT_TRUE(!o.movePending && o.vertLeft == 22);
  EXPECT_FALSE(Tick(o, 1011000));               // the late tick: used up by that redraw
  EXPECT_FALSE(MouseMove(o, {23, 23}, 1012000));  // so no second redraw within the interval
  EXPECT_TRUE(Tick(o, 1020000));                 // the next tick draws it
  EXPECT_EQ(o.vertLeft, 23);
  EXPECT_TRUE(MouseMove(o, {24, 24}, 1030500));  // its tick lost: the interval rule draws
  EXPECT_FALSE(Tick(o, 1040000));                // half an interval on, a tick is a tick again:
  EXPECT_TRUE(MouseMove(o, {25, 25}, 1040001));  // its flag lets the next move draw at once
}

TEST(MonitorProbe, NoMonitorFoundGivesTheWholeScreen) {
  const auto fallback = monitorProbe::Fallback(1024, 768);
  ASSERT_EQ(fallback.size(), 1u);
  const clsMonitor& whole = fallback[0].second;
  EXPECT_TRUE(fallback[0].first == "0" && whole.Right == 1024 && whole.WorkBottom == 768 && !whole.IsPrimary);
}

namespace {
// The parameters the encoder of an extension gets: each GUID's text and its value.
using Parameters = std::vector<std::pair<std::wstring, int>>;
Parameters Params(const wchar_t* extension) {
  Parameters params;
  const auto choice = ChooseEncoder(extension, 100, 24, 6);
  for (const auto& p : choice.value().params) params.emplace_back(p.guid, p.value);
  return params;
}
}  // namespace

TEST(EncoderTable, ExactExtensionsAndTheirParameters) {
  EXPECT_EQ(Params(L".jpg"), (Parameters{{EncoderQuality, 100}}));
  EXPECT_EQ(Params(L".tiff"), (Parameters{{EncoderCompression, 6}, {EncoderColorDepth, 24}}));
  for (const wchar_t* plain : {L".png", L".gif", L".bmp"}) EXPECT_TRUE(Params(plain).empty()) << plain;
  EXPECT_EQ(ChooseEncoder(L".bmp", 1, 2, 3)->clsid, nullptr);
  for (const wchar_t* bad : {L".JPG", L".jpeg", L"jpg", L".tif", L""}) EXPECT_FALSE(ChooseEncoder(bad, 1, 2, 3)) << bad;
}

// After the release the keys move the selection, or with Ctrl its bottom-right corner; the
// crosshairs and the panel follow the corner it was released at.
TEST(OverlaySelection, TheKeysAdjustACompletedSelection) {
  const Rect desktop{0, 0, 1920, 1080};
  auto monitor = [&](Point) { return desktop; };
  Overlay o;
  Activate(o);
  const auto adjust = [&](Point d, bool corner) { return AdjustSelection(o, d, corner, desktop, 73, 35, monitor); };
  LeftPress(o, {400, 300});
  ASSERT_TRUE(LeftRelease(o, {200, 200}, 73, 35, desktop));  // released at the top-left corner
  EXPECT_FALSE(adjust({0, 0}, false));
  ASSERT_TRUE(adjust(ArrowStep(2, true), false));  // Shift+Right
  EXPECT_EQ(o.recordArea, (Rect{210, 200, 200, 100}));
  EXPECT_TRUE(o.vertLeft == 210 && o.buttonsAt == (Point{210, 200 - 35}));  // the top-left rule: above the corner
  ASSERT_TRUE(adjust(ArrowStep(3, false), true));  // Ctrl+Down
  EXPECT_TRUE(o.recordArea == (Rect{210, 200, 200, 101}) && ReleasePoint(o).y == 200);  // the released corner stays
  // Never off the desktop, never narrower than 10 pixels or without height.
  for (auto [d, corner, area] : {std::tuple{Point{-5000, -5000}, false, Rect{0, 0, 200, 101}},
                                 {{-5000, -5000}, true, {0, 0, 10, 1}}, {{5000, 5000}, true, {0, 0, 1920, 1080}}}) {
    adjust(d, corner);
    EXPECT_EQ(o.recordArea, area) << d.x << " " << corner;
  }
  for (auto [arrow, step] : {std::pair{0, Point{-1, 0}}, {1, Point{0, -1}}, {2, Point{1, 0}}, {3, Point{0, 1}}})
    EXPECT_TRUE(ArrowStep(arrow, false) == step && ArrowStep(arrow, true) == (Point{10 * step.x, 10 * step.y}))
        << arrow;
  Close(o);
  EXPECT_FALSE(adjust({1, 1}, false));  // only a completed selection
}

TEST(Loupe, ZoomStepsAndTheSourceAroundTheHotSpot) {
  for (auto [zoom, steps, next] : {std::tuple{8, 1, 16}, {8, -1, 4}, {2, -3, 2}, {16, 2, 16}})
    EXPECT_EQ(NextZoom(zoom, steps), next) << zoom << " " << steps;
  // An odd square of pixels, the hot spot's cell in the middle, and enough to fill the side.
  for (const int side : {120, 180})
    for (const int zoom : Zooms) {
      const Rect r = SourceRect({-1024, 500}, side, zoom);
      EXPECT_TRUE(r.width % 2 == 1 && r.left + r.width / 2 == -1024 && r.top + r.height / 2 == 500) << side << zoom;
      // The left edge filled, by no more pixels than that, the right edge too, the hot spot centred.
      const int reach = r.width / 2;
      EXPECT_TRUE(CellStart(-reach, side, zoom) <= 0 && CellStart(-reach + 1, side, zoom) > 0 &&
                  CellStart(reach, side, zoom) + zoom >= side && 2 * CellStart(0, side, zoom) + zoom == side)
          << side << "/" << zoom;
    }
}

TEST(Loupe, BesideThePointerWholeOnItsMonitorAndAwayFromTheSelection) {
  const Rect screen{0, 0, 1920, 1080}, left{-1024, -200, 1024, 768};
  const struct { Point hot; Rect monitor; std::optional<Point> anchor; Point at; } cases[] = {
      {{500, 400}, screen, std::nullopt, {520, 420}},        // below-right
      {{1850, 400}, screen, std::nullopt, {1850 - 140, 420}},  // no room right: left
      {{500, 1020}, screen, std::nullopt, {520, 1020 - 160}},  // no room below: above
      {{-20, 560}, left, std::nullopt, {-160, 560 - 160}},     // the left monitor's bottom-right corner
      {{500, 400}, screen, Point{800, 700}, {360, 240}},       // dragged up and left: above-left, off the selection
      {{500, 400}, screen, Point{100, 700}, {520, 240}},       // up and right
      {{30, 30}, screen, Point{800, 700}, {50, 50}},           // no room above-left: below-right after all
  };
  for (const auto& c : cases) EXPECT_EQ(LoupePlace(c.hot, 120, 140, 20, c.monitor, c.anchor), c.at) << c.hot.x;
}

TEST(Loupe, TheReadout) {
  EXPECT_EQ(PositionText({-1024, -200}), L"-1024, -200");
  EXPECT_EQ(ColourText(0x00FF8000), L"#FF8000");
  EXPECT_EQ(ColourText(0x00000A0B), L"#000A0B");
  EXPECT_EQ(SizeText(200, 130), L"200 \u00D7 130");
}
