#pragma once
// The main window's rules apart from the window: zoom sizes, the mapping from the shown
// picture to its own pixels, the layout on resize, the tool panel's slide and the keys.
#include <cstdint>
#include <optional>
#include <string_view>

#include "base/geometry.h"

namespace editor {

// ---- Zoom: the shown size of the picture, compounding from the size shown now.
inline constexpr double ZoomInFactor = 1.1;
inline constexpr double ZoomOutFactor = 0.9;
inline constexpr int MinShownSide = 8;
inline constexpr int MaxShownSide = 32768;

using base::Size;

// The shown size after one zoom step, or nothing when a side would leave
// MinShownSide..MaxShownSide, or go further out of it (the step is then not taken).
std::optional<Size> ZoomedSize(Size shown, double factor);

// A point of the shown picture (fractions allowed) in the picture's own pixels: the
// middle of a shown pixel lands in the picture pixel that is shown there.
using base::PointF;
PointF ShownToPicture(PointF shown, Size shownSize, Size pictureSize);
// The picture pixel (column or row) that the view shows at a shown pixel.
int PictureIndexShownAt(int shownIndex, int shownLength, int pictureLength);

// ---- Layout of the main window for a client area (pixels at 96 dpi; `scale` maps them to
// the window's density).
struct BarLayout {
  int barLine = 0;                   // client height - 2.5 x BottomBarUnit
  std::optional<Size> viewport;      // nothing when the size is negative (the step is skipped)
  int buttonsTop = 0;                // every bar button
  int settingsLeft = 0;              // cmdSettings
  int send2JiraLeft = 0;             // cmdSend2JIRA
  int frameSettingsLeft = 0, frameSettingsTop = 0;
};
struct BarMetrics {  // the bar's sizes in the window's pixels
  int bottomBarUnit = 20;
  int gap = 5;        // from the bar line to the buttons' tops
  int margin = 8;     // right edge to cmdSettings, cmdSettings to cmdSend2JIRA
  int settingsWidth = 41;
  int send2JiraWidth = 73;
  int frameSettingsWidth = 321, frameSettingsHeight = 185;
};
BarLayout LayoutForClient(int clientWidth, int clientHeight, const BarMetrics& m);

// ---- The tool panel's slide, one Timer1 tick.
inline constexpr int SlideStepPixels = 25;
struct SlideTick {
  int top = 0;          // the panel's new top
  bool stop = false;    // Timer1 stops
  bool shown = false;   // ToolsPanelShown after the tick
};
SlideTick NextSlideStep(int top, int height, bool toolsPanelShown, int step = SlideStepPixels);

// ---- Keys, on release: exactly Ctrl with Z or V; a letter alone for a tool (N, F, B, L the
// four options, A, T, R the arrow, text and redaction).
enum class KeyCommand { None, Undo, Paste, NoDraw, FreeDraw, BoxDraw, LineDraw, Arrow, Text, Redact };
inline constexpr int ShiftMask = 1, CtrlMask = 2, AltMask = 4;
KeyCommand KeyUpCommand(int keyCode, int shift);

// ---- The reply to "Enter number to be used for next numbered annotation": the number the
// next marker gets, or nothing when the reply is empty, not a number, below 1 or above 32767.
// Halves round to even; the user's decimal separator may stand for the point, and the
// thousands separator may group the digits.
std::optional<int32_t> ParseNextNumber(std::wstring_view reply, wchar_t decimalSeparator = L'.',
                                       wchar_t thousandsSeparator = L',');

}  // namespace editor
