#pragma once
// The capture overlay's rules, apart from the window: crosshairs throttled by the redraw
// timer, the selection from press to release (at least 10 pixels wide), and where the
// button panel goes. All coordinates are overlay pixels (0, 0 at the virtual desktop's
// top-left corner).
#include <cstdint>
#include <cstdlib>
#include <functional>

namespace frmCaptureRules {

struct Point {
  int x = 0, y = 0;
  bool operator==(const Point&) const = default;
};
struct Rect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const Rect&) const = default;
};

inline constexpr int MinSelectionWidth = 10;

enum class OverlayState { Armed, Selecting, Selected, Hidden };

struct Overlay {
  // Public flags of the overlay.
  bool mUpdateCrosshairs = true;
  bool mStopCapture = false;
  bool timerEnabled = false;  // TimerCrosshairsRedraw
  // Selection.
  bool SelectionActive = false;
  Point SelectionStart;
  Rect recordArea;  // picRecordArea as last drawn
  bool recordAreaVisible = false;
  bool buttonsVisible = false;
  Point buttonsAt;  // panel's top-left corner when shown
  bool releasedAtLeft = false, releasedAtTop = false;  // the corner of the release
  // Crosshair bars as last drawn: the top of the horizontal bar, the left of the vertical one.
  int horizTop = 0, vertLeft = 0;
  bool visible = false;
  // The last move that was not drawn yet.
  bool movePending = false;
  Point pendingMove;
  int64_t lastDrawUs = INT64_MIN / 2;
  bool drewForLateTick = false;  // the last redraw came without a tick, a whole interval on

  OverlayState State() const;
};

inline constexpr int64_t RedrawIntervalUs = 10000;  // TimerCrosshairsRedraw, in microseconds

// TimerCrosshairsRedraw's tick. A move that came between two ticks and was not drawn is
// drawn now, so the crosshairs never stay behind a mouse that has stopped; true then. A
// late tick that a move was drawn in place of (under half an interval before) does nothing.
bool Tick(Overlay& o, int64_t nowUs = 0);
// A mouse move at the given time; true when the crosshairs (and the selection) were
// redrawn: at a tick's flag, or when a whole interval has passed since the last redraw
// (so a late timer never holds the crosshairs back).
bool MouseMove(Overlay& o, Point p, int64_t nowUs = 0);
void LeftPress(Overlay& o, Point p);
// A left release; true when it completed the selection: at least 10 pixels wide and not
// without height. The panel is then shown at its place for a panel of the given size on
// `monitor`, the monitor that holds the release point (overlay pixels).
bool LeftRelease(Overlay& o, Point p, int panelWidth, int panelHeight, const Rect& monitor);
// The point a completed selection was released at: its corner, wherever the keys moved it.
Point ReleasePoint(const Overlay& o);
// After the release: moves the selection by d (Ctrl with the arrow keys: only its
// bottom-right corner), kept inside `desktop` and at least 10 pixels wide and 1 high. The
// crosshairs and the panel follow the release corner, the panel by the same placement rules
// on `monitor`, the monitor of the new release point. True when anything moved.
bool AdjustSelection(Overlay& o, Point d, bool cornerOnly, const Rect& desktop, int panelWidth, int panelHeight,
                     const std::function<Rect(Point)>& monitorAt);
// The step of an arrow key (VK_LEFT ... VK_DOWN as 0 ... 3): one pixel, ten with Shift.
Point ArrowStep(int arrow, bool shift);

// Escape, cancel and after a capture: the overlay hides.
void Close(Overlay& o);
// ActivateCapture: shows the overlay with no selection and no panel.
void Activate(Overlay& o);
// cmdCapture_Click's re-arming of the crosshairs before the overlay is shown.
void Rearm(Overlay& o);

// The panel's top-left corner for a release at x with the crosshair bar at y, the selection
// r as last drawn and a panel of w x h: beside the corner where the mouse was released,
// moved to the other side of y when it would leave the monitor at the bottom or top, and
// along it so that it stays on the monitor.
Point PanelPlace(int x, int y, const Rect& r, int w, int h, const Rect& monitor);

}  // namespace frmCaptureRules
