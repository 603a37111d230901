#pragma once
// One monitor's rectangles in virtual-screen pixels (right and bottom exclusive), and the
// grid probe that finds the monitors of a desktop.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

struct clsMonitor {
  bool IsPrimary = false;
  int64_t Handle = 0;
  int32_t Height = 0, Width = 0;
  int32_t Left = 0, Right = 0, Top = 0, Bottom = 0;
  int32_t WorkLeft = 0, WorkRight = 0, WorkTop = 0, WorkBottom = 0;
};

namespace monitorProbe {

struct Desktop { int32_t left = 0, top = 0, width = 0, height = 0; };

// Monitors keyed by their handle in decimal, each once, in the order the grid finds them.
using MonitorList = std::vector<std::pair<std::string, clsMonitor>>;

// Probes the centres of 640 x 480 cells from the desktop's top-left corner while x <= width
// and y <= height. monitorAt gives the monitor handle at a point (0: none), describe fills
// a record for a handle.
MonitorList Probe(const Desktop& desktop, const std::function<int64_t(int32_t, int32_t)>& monitorAt,
                  const std::function<clsMonitor(int64_t)>& describe);

// The single record used when the system reports no monitor count.
MonitorList Fallback(int32_t screenWidth, int32_t screenHeight);

}  // namespace monitorProbe
