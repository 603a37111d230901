#include "capture/overlay_rules.h"

#include <algorithm>

namespace frmCaptureRules {

OverlayState Overlay::State() const {
  if (!visible) return OverlayState::Hidden;
  if (buttonsVisible) return OverlayState::Selected;
  if (SelectionActive) return OverlayState::Selecting;
  return OverlayState::Armed;
}

namespace {
void FollowMouse(Overlay& o, Point p) {
  o.horizTop = p.y;
  o.vertLeft = p.x;
  if (o.SelectionActive) {
    o.recordArea = Rect{std::min(p.x, o.SelectionStart.x), std::min(p.y, o.SelectionStart.y),
                        std::abs(p.x - o.SelectionStart.x), std::abs(p.y - o.SelectionStart.y)};
  }
}
}  // namespace

bool MouseMove(Overlay& o, Point p, int64_t nowUs) {
  if (o.mStopCapture) return false;
  if (o.timerEnabled && !o.mUpdateCrosshairs && nowUs - o.lastDrawUs < RedrawIntervalUs) {
    o.movePending = true;
    o.pendingMove = p;
    return false;
  }
  o.drewForLateTick = !o.mUpdateCrosshairs;
  FollowMouse(o, p);
  o.mUpdateCrosshairs = false;
  o.movePending = false;
  o.lastDrawUs = nowUs;
  return true;
}

bool Tick(Overlay& o, int64_t nowUs) {
  // A tick that comes just after a move was drawn in its stead has been used already.
  if (o.drewForLateTick && nowUs - o.lastDrawUs < RedrawIntervalUs / 2) {
    o.drewForLateTick = false;
    return false;
  }
  o.drewForLateTick = false;
  o.mUpdateCrosshairs = true;
  if (!o.movePending) return false;
  return MouseMove(o, o.pendingMove, nowUs);
}

void LeftPress(Overlay& o, Point p) {
  o.buttonsVisible = false;
  o.mStopCapture = false;
  o.timerEnabled = true;
  o.mUpdateCrosshairs = true;
  if (!o.SelectionActive) {
    o.recordArea = Rect{p.x, p.y, 0, 0};
    o.recordAreaVisible = true;
    o.SelectionActive = true;
    o.SelectionStart = p;
  }
}

bool LeftRelease(Overlay& o, Point p, int panelWidth, int panelHeight, const Rect& monitor) {
  if (!o.SelectionActive) return false;
  o.movePending = false;
  // The release point always counts, even when the last move fell between two ticks: what
  // is captured is where the mouse was let go.
  FollowMouse(o, p);
  // A selection without height would hold no pixel: it goes on as a too narrow one does.
  if (o.recordArea.width < MinSelectionWidth || o.recordArea.height == 0) return false;
  o.timerEnabled = false;
  o.SelectionActive = false;
  o.mUpdateCrosshairs = false;
  o.mStopCapture = true;
  o.releasedAtLeft = o.recordArea.left == p.x;
  o.releasedAtTop = o.recordArea.top == p.y;
  o.buttonsAt = PanelPlace(p.x, o.horizTop, o.recordArea, panelWidth, panelHeight, monitor);
  o.buttonsVisible = true;
  return true;
}

Point ReleasePoint(const Overlay& o) {
  const Rect& r = o.recordArea;
  return {o.releasedAtLeft ? r.left : r.left + r.width, o.releasedAtTop ? r.top : r.top + r.height};
}

bool AdjustSelection(Overlay& o, Point d, bool cornerOnly, const Rect& desktop, int panelWidth, int panelHeight,
                     const std::function<Rect(Point)>& monitorAt) {
  if (o.State() != OverlayState::Selected) return false;
  Rect r = o.recordArea;
  const int right = desktop.left + desktop.width, bottom = desktop.top + desktop.height;
  if (cornerOnly) {
    r.width = std::clamp(r.width + d.x, MinSelectionWidth, std::max(MinSelectionWidth, right - r.left));
    r.height = std::clamp(r.height + d.y, 1, std::max(1, bottom - r.top));
  } else {
    r.left = std::clamp(r.left + d.x, desktop.left, std::max(desktop.left, right - r.width));
    r.top = std::clamp(r.top + d.y, desktop.top, std::max(desktop.top, bottom - r.height));
  }
  if (r == o.recordArea) return false;
  o.recordArea = r;
  const Point at = ReleasePoint(o);
  o.horizTop = at.y;
  o.vertLeft = at.x;
  o.buttonsAt = PanelPlace(at.x, at.y, r, panelWidth, panelHeight, monitorAt(at));
  return true;
}

Point ArrowStep(int arrow, bool shift) {
  const int n = shift ? 10 : 1;
  switch (arrow) {
    case 0: return {-n, 0};
    case 1: return {0, -n};
    case 2: return {n, 0};
    default: return {0, n};
  }
}

void Close(Overlay& o) {
  o.recordAreaVisible = false;
  o.recordArea = Rect{o.recordArea.left, o.recordArea.top, 1, 1};
  o.buttonsVisible = false;
  o.SelectionActive = false;
  o.timerEnabled = false;
  o.visible = false;
}

void Activate(Overlay& o) {
  o.recordAreaVisible = false;
  o.buttonsVisible = false;
  o.SelectionActive = false;
  o.visible = true;
}

void Rearm(Overlay& o) {
  o.mUpdateCrosshairs = true;
  o.mStopCapture = false;
  o.timerEnabled = true;
}

Point PanelPlace(int x, int y, const Rect& r, int w, int h, const Rect& monitor) {
  Point at;
  const bool leftEdge = r.left == x, topEdge = r.top == y;
  if (!leftEdge && !topEdge) at = {x - w, y};                   // released at the bottom-right corner
  else if (leftEdge && !topEdge) at = {x, y};                   // bottom-left
  else if (leftEdge && topEdge) at = {x, y - h};                // top-left
  else at = {r.left + r.width - w, y - h};                      // top-right
  // On the monitor of the release, not merely on the desktop: beside a taller monitor a
  // place below the shorter one's bottom is on no monitor at all.
  if (y + h > monitor.top + monitor.height) at.y = y - h;
  if (y - h < monitor.top) at.y = y;
  at.x = std::max(monitor.left, std::min(at.x, monitor.left + monitor.width - w));
  return at;
}

}  // namespace frmCaptureRules
