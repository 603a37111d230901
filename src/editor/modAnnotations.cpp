#include "editor/modAnnotations.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "editor/drawing.h"
#include "base/text.h"
#include "win/gdi.h"

namespace modAnnotations {

namespace {
win::unique_hfont MarkerFont(double points, DWORD quality = ANTIALIASED_QUALITY) {
  const int height = -static_cast<int>(std::lround(points * 96.0 / 72.0));
  return win::unique_hfont(::CreateFontW(height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                         OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, quality,
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

win::unique_hfont LabelFont(double scale) { return MarkerFont(MarkerPoints * scale, NONANTIALIASED_QUALITY); }

int LabelLineHeight(HDC dc) {
  win::unique_hfont font = LabelFont();
  win::select_object select(dc, font.get());
  TEXTMETRICW tm{};
  if (!::GetTextMetricsW(dc, &tm)) return static_cast<int>(std::lround(MarkerPoints * 96.0 / 72.0));
  return tm.tmHeight;
}

RECT DrawLabel(HDC target, std::wstring_view text, double left, double top, COLORREF colour) {
  win::unique_hfont font = LabelFont();
  win::select_object f(target, font.get());
  const int x = static_cast<int>(std::lround(left)), y = static_cast<int>(std::lround(top));
  const int oldMode = ::SetBkMode(target, TRANSPARENT);
  const COLORREF oldColour = ::SetTextColor(target, colour);
  const UINT oldAlign = ::SetTextAlign(target, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  ::TextOutW(target, x, y, text.data(), static_cast<int>(text.size()));
  ::SetTextAlign(target, oldAlign);
  ::SetTextColor(target, oldColour);
  ::SetBkMode(target, oldMode);
  SIZE size{};
  TEXTMETRICW tm{};
  ::GetTextMetricsW(target, &tm);
  ::GetTextExtentPoint32W(target, text.data(), static_cast<int>(text.size()), &size);
  // Bold glyphs may reach a little past their advance.
  const int reach = tm.tmMaxCharWidth / 2 + 2;
  return RECT{x - reach, y - 2, x + size.cx + reach, y + std::max<int>(size.cy, tm.tmHeight) + 2};
}

}  // namespace modAnnotations
