#include <algorithm>

#include "capture/clsMonitor.h"

monitorProbe::MonitorList monitorProbe::Probe(const Desktop& desktop,
                                              const std::function<int64_t(int32_t, int32_t)>& monitorAt,
                                              const std::function<clsMonitor(int64_t)>& describe) {
  MonitorList found;
  // 64-bit loop counters: a desktop near the 32-bit limits must not overflow the grid.
  for (int64_t y = desktop.top; y <= desktop.height; y += 480) {
    for (int64_t x = desktop.left; x <= desktop.width; x += 640) {
      const int64_t cx = x + 320, cy = y + 240;
      if (cx > INT32_MAX || cy > INT32_MAX) continue;
      const int64_t handle = monitorAt(static_cast<int32_t>(cx), static_cast<int32_t>(cy));
      if (handle == 0 || handle == -1) continue;
      const std::string key = std::to_string(handle);
      if (std::any_of(found.begin(), found.end(), [&](const auto& m) { return m.first == key; })) continue;
      found.emplace_back(key, describe(handle));
    }
  }
  return found;
}

monitorProbe::MonitorList monitorProbe::Fallback(int32_t screenWidth, int32_t screenHeight) {
  clsMonitor m;
  m.Right = m.WorkRight = m.Width = screenWidth;
  m.Bottom = m.WorkBottom = m.Height = screenHeight;
  return {{"0", m}};
}
