#pragma once
// Points and sizes in pixels.
namespace base {

struct Size {
  int width = 0, height = 0;
  bool operator==(const Size&) const = default;
};

// A point with fractions, as mouse events on a zoomed picture give them.
struct PointF {
  double x = 0, y = 0;
  bool operator==(const PointF&) const = default;
};

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};

// Right and bottom exclusive.
struct Rect {
  int left = 0, top = 0, right = 0, bottom = 0;
  bool operator==(const Rect&) const = default;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool Empty() const { return right <= left || bottom <= top; }
};

}  // namespace base
