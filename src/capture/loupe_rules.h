#pragma once
// The capture overlay's magnifier, apart from the window: its zoom steps, the screen pixels
// it shows around the pointer's hot spot, where it stands beside the pointer, and the
// readout under it. Screen pixels throughout (physical, negative left of or above the
// primary monitor); sizes of the loupe in its own pixels.
#include <cstdint>
#include <optional>
#include <string>

#include "capture/overlay_rules.h"

namespace loupeRules {

using frmCaptureRules::Point;
using frmCaptureRules::Rect;

inline constexpr int Zooms[] = {2, 4, 8, 16};
inline constexpr int DefaultZoom = 8;
inline constexpr int GridFromZoom = 4;  // a one-pixel grid between the pixels from 4x up
inline constexpr int SideAt96 = 120;    // the square, at 96 dpi
inline constexpr int GapAt96 = 20;      // between the hot spot and the loupe, at 96 dpi

// The zoom after `steps` notches of the mouse wheel (positive: closer), kept to the steps.
int NextZoom(int zoom, int steps);

// The screen pixels a loupe of `side` pixels shows at `zoom`: a square of an odd number of
// pixels with the hot spot in the middle, the outer ones only partly shown.
Rect SourceRect(Point hotSpot, int side, int zoom);
// Where the source pixel at `offset` from the hot spot (in pixels, both ways) begins in the
// loupe: the hot spot's cell is centred.
int CellStart(int offset, int side, int zoom);

// The loupe's top-left corner: below-right of the hot spot, `gap` away from it both ways, or
// on the other side wherever that keeps it whole on `monitor`. While a selection is made or
// adjusted (`anchor`: its opposite corner), it stands on the side away from the selection,
// so that it never covers what is captured. It never covers the hot spot.
Point LoupePlace(Point hotSpot, int width, int height, int gap, const Rect& monitor, std::optional<Point> anchor);

// The readout: "x, y" and "#RRGGBB" (colour 0x00RRGGBB), and the selection's "W × H".
std::wstring PositionText(Point p);
std::wstring ColourText(uint32_t rgb);
std::wstring SizeText(int width, int height);

}  // namespace loupeRules
