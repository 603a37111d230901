#pragma once
// Numbered markers on a back buffer: a disc in the fill colour with the text centred on
// the marker point, measured in the picture's own pixels.
#include <windows.h>

#include <string_view>

#include "editor/marker_rules.h"
#include "win/gdi.h"

namespace modAnnotations {

// The marker font: bold, the size in points at 96 pixels per inch of the picture.
inline constexpr const wchar_t* MarkerFace = L"Tahoma";

// Draws one marker; returns the area of the picture it covers.
RECT DrawNumberedAnnotation(HDC target, std::wstring_view text, double x, double y, double points,
                            COLORREF textColour, COLORREF fillColour);

// The text's size in the bold marker font at that size.
TextExtent MeasureMarkerText(HDC dc, std::wstring_view text, double points);

// The label font: the marker font at 12 points, its size times `scale` (the zoom), without
// antialiasing: a label is pixels of its colour only.
win::unique_hfont LabelFont(double scale = 1);
// The height of a line of label text at 1:1.
int LabelLineHeight(HDC dc);
// Draws a label, its text's top-left corner at (left, top), on a transparent background;
// returns the area of the picture it covers.
RECT DrawLabel(HDC target, std::wstring_view text, double left, double top, COLORREF colour);

}  // namespace modAnnotations
