#pragma once
// The drawing tools' strokes on a back buffer, in the picture's own pixels: the red 5-pixel
// pen, copy-pen for finished shapes and invert for rubber bands. Each returns the area of
// the picture it may have touched.
#include <windows.h>

#include "editor/annotation_rules.h"
#include "editor/view_rules.h"

namespace editor::draw {

inline constexpr int PenWidth = modAnnotations::PenWidth;
inline constexpr COLORREF Red = 0x0000FF;        // 0x00BBGGRR
inline constexpr COLORREF RubberColour = 0xFF0000;  // ignored by the invert mode

enum class Mode { CopyPen, Invert };

RECT Segment(HDC dc, PointF from, PointF to, COLORREF colour, Mode mode);
RECT BoxOutline(HDC dc, PointF corner1, PointF corner2, COLORREF colour, Mode mode);
// The shaft with the pen up to the head, and the head filled (see ArrowHeadFor).
RECT Arrow(HDC dc, PointF from, PointF to, COLORREF colour);

// A whole pixel for a point given with fractions.
POINT Pixel(PointF p);

}  // namespace editor::draw
