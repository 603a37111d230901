#include "editor/modAnnotations.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "editor/drawing.h"
#include "base/text.h"
#include "win/gdi.h"

namespace modAnnotations {

namespace {
win::unique_hfont MarkerFont(double points) {
  const int height = -static_cast<int>(std::lround(points * 96.0 / 72.0));
  return win::unique_hfont(::CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                         OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY,
                                         DEFAULT_PITCH | FF_SWISS, MarkerFace));
}
}  // namespace

TextExtent MeasureMarkerText(HDC dc, std::wstring_view text, double points) {
  win::unique_hfont font = MarkerFont(points);
  win::select_object select(dc, font.get());
  SIZE size{};
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc, &tm);
  if (!::GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size)) return {};
  return {static_cast<double>(size.cx), static_cast<double>(tm.tmHeight)};
}

RECT DrawNumberedAnnotation(HDC target, std::wstring_view text, double x, double y, double points,
                            COLORREF textColour, COLORREF fillColour) {
  const MarkerLayout m = LayoutMarker(text, x, y, points, [&](std::wstring_view t, double p) {
    return MeasureMarkerText(target, t, p);
  });
  // The disc: outline with the 5-pixel pen in the fill colour, inside filled solid.
  win::unique_hpen pen(::CreatePen(PS_SOLID, editor::draw::PenWidth, fillColour));
  win::unique_hbrush brush(::CreateSolidBrush(fillColour));
  {
    win::select_object p(target, pen.get()), b(target, brush.get());
    const int oldRop = ::SetROP2(target, R2_COPYPEN);
    ::Ellipse(target, static_cast<int>(std::lround(x - m.radius)), static_cast<int>(std::lround(y - m.radius)),
              static_cast<int>(std::lround(x + m.radius)), static_cast<int>(std::lround(y + m.radius)));
    ::SetROP2(target, oldRop);
  }
  // The text, top-left at its place, on a transparent background.
  const std::wstring shown = text::TrimBlanks(text);
  win::unique_hfont font = MarkerFont(m.points);
  {
    win::select_object f(target, font.get());
    const int oldMode = ::SetBkMode(target, TRANSPARENT);
    const COLORREF oldColour = ::SetTextColor(target, textColour);
    const UINT oldAlign = ::SetTextAlign(target, TA_LEFT | TA_TOP | TA_NOUPDATECP);
    ::TextOutW(target, static_cast<int>(std::lround(m.textLeft)), static_cast<int>(std::lround(m.textTop)),
               shown.c_str(), static_cast<int>(shown.size()));
    ::SetTextAlign(target, oldAlign);
    ::SetTextColor(target, oldColour);
    ::SetBkMode(target, oldMode);
  }
  const int reach = static_cast<int>(std::ceil(m.radius)) + editor::draw::PenWidth;
  const int cx = static_cast<int>(std::lround(x)), cy = static_cast<int>(std::lround(y));
  const int textReach = std::max(m.textWidth, m.textHeight);
  const int r = std::max(reach, textReach);
  return RECT{cx - r, cy - r, cx + r + 1, cy + r + 1};
}

}  // namespace modAnnotations
