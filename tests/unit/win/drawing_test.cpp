// The drawing tools and markers on real GDI bitmaps.
#include <gtest/gtest.h>

#include "base/image.h"
#include "editor/drawing.h"
#include "editor/modAnnotations.h"
#include "support/pictures.h"
#include "win/dib.h"

using namespace editor;
using namespace editor::draw;
using testpictures::At;
using testpictures::Canvas;

namespace {

constexpr uint32_t White = 0x00FFFFFF;
constexpr uint32_t RedPixel = 0x00FF0000;  // 0x0000FF as a COLORREF

// The run of red pixels through (x, y) along a column (vertical) or row: its first and last coordinate.
std::pair<int, int> RedRun(const win::DibSection& d, int x, int y, bool vertical) {
  int lo = vertical ? y : x, hi = lo;
  auto red = [&](int v) { return vertical ? At(d, x, v) == RedPixel : At(d, v, y) == RedPixel; };
  while (lo > 0 && red(lo - 1)) --lo;
  while (hi < (vertical ? d.height() : d.width()) - 1 && red(hi + 1)) ++hi;
  return {lo, hi};
}

base::Image Snapshot(const win::DibSection& d) {
  ::GdiFlush();
  return base::Image::Copy({d.width(), d.height(), d.pixels()});
}

}  // namespace

TEST(Drawing, FinishedShapesAreRedFivePixelLines) {
  auto dib = Canvas(120, 100);
  BoxOutline(dib.dc(), {20, 20}, {70, 50}, Red, Mode::CopyPen);
  Segment(dib.dc(), {10, 80}, {100, 80}, Red, Mode::CopyPen);
  // The box's left, right, top and bottom edges, then the segment: each centred on its line.
  EXPECT_EQ((std::vector{RedRun(dib, 20, 35, false), RedRun(dib, 70, 35, false), RedRun(dib, 45, 20, true),
                         RedRun(dib, 45, 50, true), RedRun(dib, 50, 80, true)}),
            (std::vector<std::pair<int, int>>{{18, 22}, {68, 72}, {18, 22}, {48, 52}, {78, 82}}));
  EXPECT_TRUE(At(dib, 45, 35) == White && At(dib, 5, 5) == White);  // the inside and the rest are untouched
}

TEST(Drawing, RubberBandsDrawnTwiceLeaveNoTrace) {
  auto dib = testpictures::Noise(200, 150, 5);
  const base::Image before = Snapshot(dib);
  // A drag: each new outline replaces the one before it, then the last one goes; a segment too.
  PointF start{30, 40}, last = start;
  for (PointF p : {PointF{60, 70}, PointF{150.4, 20.6}, PointF{10, 140}, PointF{31, 41}}) {
    if (last.x != start.x) BoxOutline(dib.dc(), start, last, RubberColour, Mode::Invert);
    BoxOutline(dib.dc(), start, p, RubberColour, Mode::Invert);
    last = p;
  }
  EXPECT_NE(Snapshot(dib), before);  // an outline is showing
  BoxOutline(dib.dc(), start, last, RubberColour, Mode::Invert);
  for (int twice = 0; twice < 2; ++twice) Segment(dib.dc(), {0, 0}, {199, 149}, RubberColour, Mode::Invert);
  EXPECT_EQ(Snapshot(dib), before);
}

TEST(Markers, ARedDiscWithWhiteTextCentredOnItsPoint) {
  auto dib = Canvas(120, 100);
  const RECT covered = modAnnotations::DrawNumberedAnnotation(dib.dc(), L"7", 60, 50, 12, 0xFFFFFF, Red);
  const modAnnotations::TextExtent size = modAnnotations::MeasureMarkerText(dib.dc(), L"7", 12);
  const double radius = std::max(size.width, size.height) / 2 + 5;
  const int r = static_cast<int>(radius);
  // Red up to the disc's edge (and the pen's half width beyond), white well outside.
  EXPECT_TRUE(At(dib, 60 + r - 1, 50) == RedPixel && At(dib, 60, 50 - r + 1) == RedPixel);
  EXPECT_TRUE(At(dib, 60 + r + 5, 50) == White && At(dib, 60 - r - 5, 50) == White);
  EXPECT_TRUE(covered.left <= 60 - r - 2 && covered.right >= 60 + r + 2);
  // White text pixels inside, their box centred on the point.
  int left = 1000, right = -1, top = 1000, bottom = -1;
  for (int y = 50 - r; y <= 50 + r; ++y)
    for (int x = 60 - r; x <= 60 + r; ++x)
      if (At(dib, x, y) == White && (x - 60) * (x - 60) + (y - 50) * (y - 50) < (radius - 3) * (radius - 3))
        left = std::min(left, x), right = std::max(right, x), top = std::min(top, y), bottom = std::max(bottom, y);
  ASSERT_GE(right, left) << "no text";
  EXPECT_NEAR((left + right) / 2.0, 60, 2.5);
  EXPECT_NEAR((top + bottom) / 2.0, 50, 3.5);
}

TEST(Markers, TheRealFontShrinksAWideText) {
  auto dib = Canvas(10, 10);
  auto measure = [&](std::wstring_view t, double p) { return modAnnotations::MeasureMarkerText(dib.dc(), t, p); };
  const auto digit = modAnnotations::LayoutMarker(L"3", 0, 0, 12, measure);
  EXPECT_TRUE(digit.points == 12 && digit.textWidth <= 40);
  const auto wide = modAnnotations::LayoutMarker(L"AB1234", 0, 0, 12, measure);
  EXPECT_TRUE(wide.points < 12 && wide.points >= 8 && wide.textWidth <= 46) << wide.points;  // about 40 pixels
  const auto widest = modAnnotations::LayoutMarker(L"PREFIX-1234567890", 0, 0, 12, measure);
  EXPECT_TRUE(widest.points == 8 && widest.radius > 25);
}
