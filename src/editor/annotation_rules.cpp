#include "editor/annotation_rules.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace modAnnotations {

std::optional<ArrowHead> ArrowHeadFor(PointF from, PointF to) {
  const double dx = to.x - from.x, dy = to.y - from.y;
  const double length = std::hypot(dx, dy);
  if (length == 0) return std::nullopt;
  const double ux = dx / length, uy = dy / length;  // along the shaft
  const double along = std::min(ArrowHeadLength, length);
  const double across = along * std::tan(ArrowHeadDegrees * std::numbers::pi / 180);
  const PointF base{to.x - ux * along, to.y - uy * along};
  // The perpendicular (-uy, ux) is to the left of the shaft on a picture whose y grows down.
  return ArrowHead{to, {base.x + uy * across, base.y - ux * across}, {base.x - uy * across, base.y + ux * across}, base};
}

Rect RedactionRect(PointF corner1, PointF corner2, int penWidth, Size picture) {
  // The corners land on whole pixels as the outline's do; the pen reaches half its width
  // (rounded down) either side of them.
  const int x1 = static_cast<int>(std::lround(corner1.x)), y1 = static_cast<int>(std::lround(corner1.y));
  const int x2 = static_cast<int>(std::lround(corner2.x)), y2 = static_cast<int>(std::lround(corner2.y));
  const int half = penWidth / 2;
  Rect r{std::min(x1, x2) - half, std::min(y1, y2) - half, std::max(x1, x2) + half + 1, std::max(y1, y2) + half + 1};
  r.left = std::clamp(r.left, 0, picture.width);
  r.right = std::clamp(r.right, 0, picture.width);
  r.top = std::clamp(r.top, 0, picture.height);
  r.bottom = std::clamp(r.bottom, 0, picture.height);
  if (r.Empty()) return {};
  return r;
}

LabelPlace PlaceLabel(PointF click, int lineHeight, Size picture) {
  const int w = std::min(LabelBoxWidth, picture.width);
  const int h = std::min(lineHeight + 2 * LabelFrame, picture.height);
  const int textLeft = static_cast<int>(std::lround(click.x));
  const int textTop = static_cast<int>(std::lround(click.y - lineHeight / 2.0));
  const int left = std::clamp(textLeft - LabelFrame, 0, std::max(0, picture.width - w));
  const int top = std::clamp(textTop - LabelFrame, 0, std::max(0, picture.height - h));
  LabelPlace p;
  p.box = {left, top, left + w, top + h};
  p.text = {static_cast<double>(left + LabelFrame), static_cast<double>(top + LabelFrame)};
  p.marker = {p.text.x, p.text.y + lineHeight / 2.0};
  return p;
}

}  // namespace modAnnotations
