#pragma once
// Numbered markers apart from the drawing: the marker's text, where a finished shape puts
// it, and the font size, disc and text place for a text measured by the caller.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "editor/view_rules.h"

namespace modAnnotations {

inline constexpr double MarkerPoints = 12;      // bold
inline constexpr int WidestMarkerText = 40;     // pixels, before the font shrinks
inline constexpr double SmallestMarkerPoints = 8;
inline constexpr int DiscMargin = 5;

// The tools: ToolMode values.
enum ToolMode : int32_t { NoDraw = 0, FreeDraw = 1, BoxDraw = 2, LineDraw = 3, ArrowDraw = 4, TextDraw = 5, Redact = 6 };

// "A" and 3 give "A3"; the prefix is used as given (the caller trims it).
std::wstring MarkerText(std::wstring_view prefix, int32_t counter);

// Where the marker of a finished shape goes: a box's top-left corner, the release point of
// a line or a stroke, the tail (the press point) of an arrow.
editor::PointF MarkerPoint(int32_t toolMode, editor::PointF press, editor::PointF release);

struct TextExtent {
  double width = 0, height = 0;
};
// Measures a text in the bold marker font at the given size in points.
using MeasureText = std::function<TextExtent(std::wstring_view text, double points)>;

struct MarkerLayout {
  double points = MarkerPoints;  // the font size the text is drawn in
  int textWidth = 0, textHeight = 0;
  double radius = 0;             // of the disc centred on the marker point
  double textLeft = 0, textTop = 0;
};
// The marker for the (trimmed) text centred on (x, y): a text wider than 40 pixels shrinks
// its font towards 40 pixels, never below 8 points.
MarkerLayout LayoutMarker(std::wstring_view text, double x, double y, double requestedPoints, const MeasureText& measure);

}  // namespace modAnnotations
