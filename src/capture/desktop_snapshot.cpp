#include "capture/desktop_snapshot.h"

#include <algorithm>
#include <cstring>

#include "capture/clsMonitors.h"

namespace {
bool Inside(const RECT& r, LONG x, LONG y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }
}  // namespace

void DesktopSnapshot::Take() {
  Wait();
  Copy();
}

void DesktopSnapshot::Copy() {
  // The same desktop rectangle the overlay covers.
  const LONG left = clsMonitors::DesktopLeft(), top = clsMonitors::DesktopTop();
  copy_ = win::CopyScreen(RECT{left, top, left + clsMonitors::DesktopWidth(), top + clsMonitors::DesktopHeight()});
  origin_ = {left, top};
}

void DesktopSnapshot::TakeInBackground() {
  Wait();
  worker_ = std::thread([this] { Copy(); });
}

void DesktopSnapshot::Wait() {
  if (worker_.joinable()) worker_.join();
}

void DesktopSnapshot::Read(const RECT& area, const RECT& live, std::initializer_list<RECT> covered,
                           std::vector<uint32_t>& out) const {
  const int w = area.right - area.left, h = area.bottom - area.top;
  out.assign(static_cast<size_t>(std::max(w, 0)) * static_cast<size_t>(std::max(h, 0)), 0);
  for (int y = 0; y < h; ++y) {
    const int cy = area.top + y - origin_.y;
    if (cy < 0 || cy >= copy_.height()) continue;
    for (int x = 0; x < w; ++x) {
      const int cx = area.left + x - origin_.x;
      if (cx >= 0 && cx < copy_.width()) out[static_cast<size_t>(y) * w + x] = copy_.pixels()[static_cast<size_t>(cy) * copy_.width() + cx] & 0xFFFFFF;
    }
  }
  RECT fresh;
  if (!::IntersectRect(&fresh, &area, &live)) return;
  const win::DibSection seen = win::CopyScreen(fresh);
  if (!seen) return;
  for (LONG y = fresh.top; y < fresh.bottom; ++y)
    for (LONG x = fresh.left; x < fresh.right; ++x) {
      if (std::any_of(covered.begin(), covered.end(), [&](const RECT& c) { return Inside(c, x, y); })) continue;
      out[static_cast<size_t>(y - area.top) * w + (x - area.left)] =
          seen.pixels()[static_cast<size_t>(y - fresh.top) * seen.width() + (x - fresh.left)] & 0xFFFFFF;
    }
}

bool DesktopSnapshot::ScreenShowsCopy(const RECT& area) const {
  if (::IsRectEmpty(&area)) return true;
  const win::DibSection seen = win::CopyScreen(area);
  if (!seen || !copy_) return true;
  std::vector<uint32_t> expected;
  Read(area, RECT{}, {}, expected);
  for (size_t i = 0; i < expected.size(); ++i)
    if ((seen.pixels()[i] & 0xFFFFFF) != expected[i]) return false;
  return true;
}
