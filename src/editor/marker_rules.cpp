#include "editor/marker_rules.h"

#include <algorithm>
#include <cmath>

#include "base/text.h"

namespace modAnnotations {

std::wstring MarkerText(std::wstring_view prefix, int32_t counter) {
  return std::wstring(prefix) + std::to_wstring(counter);
}

editor::PointF MarkerPoint(int32_t toolMode, editor::PointF press, editor::PointF release) {
  if (toolMode == BoxDraw) return {std::min(press.x, release.x), std::min(press.y, release.y)};
  if (toolMode == ArrowDraw) return press;
  return release;
}

MarkerLayout LayoutMarker(std::wstring_view rawText, double x, double y, double requestedPoints,
                          const MeasureText& measure) {
  const std::wstring text = text::TrimBlanks(rawText);
  MarkerLayout m;
  m.points = requestedPoints;
  auto measureNow = [&] {
    const TextExtent e = measure(text, m.points);
    m.textWidth = static_cast<int>(std::nearbyint(e.width));  // halves to even
    m.textHeight = static_cast<int>(std::nearbyint(e.height));
  };
  measureNow();
  if (m.textWidth > WidestMarkerText) {
    const double shrunk = std::nearbyint(WidestMarkerText / static_cast<double>(m.textWidth) * m.points);
    m.points = shrunk < SmallestMarkerPoints ? SmallestMarkerPoints : shrunk;
    measureNow();
  }
  m.radius = (m.textWidth > m.textHeight ? m.textWidth : m.textHeight) / 2.0 + DiscMargin;
  m.textLeft = x - m.textWidth / 2.0;
  m.textTop = y - m.textHeight / 2.0;
  return m;
}

}  // namespace modAnnotations
