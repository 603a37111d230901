#include "editor/drawing.h"

#include <algorithm>
#include <cmath>

#include "win/gdi.h"

namespace editor::draw {

namespace {

RECT Bounds(POINT a, POINT b) {
  const int margin = PenWidth / 2 + 2;
  return RECT{std::min(a.x, b.x) - margin, std::min(a.y, b.y) - margin, std::max(a.x, b.x) + margin + 1,
              std::max(a.y, b.y) + margin + 1};
}

// The pen and raster mode for one shape, restored afterwards.
class PenScope {
 public:
  PenScope(HDC dc, COLORREF colour, Mode mode)
      : dc_(dc),
        pen_(::CreatePen(PS_SOLID, PenWidth, colour)),
        select_(dc, pen_.get()),
        brush_(dc, ::GetStockObject(NULL_BRUSH)),
        oldRop_(::SetROP2(dc, mode == Mode::Invert ? R2_NOT : R2_COPYPEN)) {}
  ~PenScope() {
    if (oldRop_) ::SetROP2(dc_, oldRop_);
  }
  PenScope(const PenScope&) = delete;
  PenScope& operator=(const PenScope&) = delete;

 private:
  HDC dc_;
  win::unique_hpen pen_;
  win::select_object select_;
  win::select_object brush_;
  int oldRop_;
};

}  // namespace

POINT Pixel(PointF p) { return POINT{static_cast<LONG>(std::lround(p.x)), static_cast<LONG>(std::lround(p.y))}; }

RECT Segment(HDC dc, PointF from, PointF to, COLORREF colour, Mode mode) {
  const POINT a = Pixel(from), b = Pixel(to);
  PenScope scope(dc, colour, mode);
  ::MoveToEx(dc, a.x, a.y, nullptr);
  ::LineTo(dc, b.x, b.y);
  return Bounds(a, b);
}

RECT BoxOutline(HDC dc, PointF corner1, PointF corner2, COLORREF colour, Mode mode) {
  const POINT a = Pixel(corner1), b = Pixel(corner2);
  PenScope scope(dc, colour, mode);
  // One closed outline through the four corners: its pixels are each drawn once, so that
  // drawing it twice in invert mode restores the picture.
  const POINT corners[4] = {{a.x, a.y}, {b.x, a.y}, {b.x, b.y}, {a.x, b.y}};
  ::Polygon(dc, corners, 4);
  return Bounds(a, b);
}

RECT Arrow(HDC dc, PointF from, PointF to, COLORREF colour) {
  const auto head = modAnnotations::ArrowHeadFor(from, to);
  RECT bounds = Segment(dc, from, head ? head->shaftEnd : to, colour, Mode::CopyPen);
  if (!head) return bounds;
  const POINT corners[3] = {Pixel(head->tip), Pixel(head->left), Pixel(head->right)};
  win::unique_hpen pen(::CreatePen(PS_SOLID, 1, colour));
  win::unique_hbrush brush(::CreateSolidBrush(colour));
  {
    win::select_object p(dc, pen.get()), b(dc, brush.get());
    const int oldRop = ::SetROP2(dc, R2_COPYPEN);
    ::Polygon(dc, corners, 3);
    if (oldRop) ::SetROP2(dc, oldRop);
  }
  for (const POINT& c : corners) {
    const RECT r = Bounds(c, c);
    ::UnionRect(&bounds, &bounds, &r);
  }
  return bounds;
}

}  // namespace editor::draw
