#pragma once
// The arrow, the text label and the redaction apart from the drawing: the arrowhead's
// corners, the label's box on the picture and its marker, and the pixels a redaction
// blacks out. In the picture's own pixels.
#include <optional>

#include "base/geometry.h"

namespace modAnnotations {

using base::PointF;
using base::Rect;
using base::Size;

// The tools' red pen, in pixels.
inline constexpr int PenWidth = 5;

// ---- Arrow: a red shaft with a filled head at the release point.
inline constexpr double ArrowHeadLength = 18;   // along the shaft
inline constexpr double ArrowHeadDegrees = 30;  // each side of the shaft

struct ArrowHead {
  PointF tip, left, right;  // the filled triangle
  PointF shaftEnd;          // the middle of the head's base: the shaft stops there
};
// The head of an arrow from `from` to `to`: 18 pixels long, or as long as the arrow where
// the arrow is shorter; nothing for an arrow of no length.
std::optional<ArrowHead> ArrowHeadFor(PointF from, PointF to);

// ---- Redaction: the rectangle a box with these corners covers, its pen (of that width,
// centred on the outline) included, cut to the picture. Empty when nothing of it is on
// the picture.
Rect RedactionRect(PointF corner1, PointF corner2, int penWidth, Size picture);

// ---- Text label: a one-line box whose text starts at the click, centred on it from top
// to bottom, moved as little as needed to lie wholly on the picture.
inline constexpr int LabelBoxWidth = 300;  // pixels of the picture, frame included
inline constexpr int LabelFrame = 1;       // the box's frame around its text

struct LabelPlace {
  Rect box;            // the box with its frame
  PointF text;         // the text's top-left corner
  PointF marker;       // the text's left middle: where its marker goes
};
// For a click at `click` and a line of text `lineHeight` pixels high.
LabelPlace PlaceLabel(PointF click, int lineHeight, Size picture);

}  // namespace modAnnotations
