// The monitor list on the two-monitor display: a 1024 x 768 one left of a 1280 x 1024
// primary and reaching 200 pixels above it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <tuple>

#include "capture/clsMonitors.h"

TEST(TwoMonitors, TheMonitorListHoldsEachMonitorOnceWithItsPlace) {
  const char* monitors = std::getenv("LUMO_MONITORS");
  if (!monitors || std::string(monitors) != "2") GTEST_SKIP() << "runs on the two-monitor display (LUMO_MONITORS=2)";
  EXPECT_EQ(std::tuple(clsMonitors::DesktopLeft(), clsMonitors::DesktopTop(), clsMonitors::DesktopWidth(),
                       clsMonitors::DesktopHeight()), std::tuple(-1024, -200, 2304, 1224));
  const clsMonitors list;
  ASSERT_EQ(list.Monitors.size(), 2u);
  const clsMonitor* left = nullptr;
  const clsMonitor* primary = nullptr;
  for (const auto& [key, m] : list.Monitors) {
    EXPECT_EQ(key, std::to_string(m.Handle));
    (m.IsPrimary ? primary : left) = &m;
  }
  ASSERT_TRUE(left && primary);
  const auto place = [](const clsMonitor* m) {
    return std::tuple(m->Left, m->Top, m->Right, m->Bottom, m->Width, m->Height);
  };
  EXPECT_EQ(place(left), std::tuple(-1024, -200, 0, 568, 1024, 768));
  EXPECT_EQ(place(primary), std::tuple(0, 0, 1280, 1024, 1280, 1024));
  // Below the smaller monitor lies no monitor at all.
  EXPECT_EQ(clsMonitors::GetMonitorFromXYPoint(-500, 900, MONITOR_DEFAULTTONULL), 0);
  EXPECT_EQ(clsMonitors::GetMonitorFromXYPoint(-1, -200, MONITOR_DEFAULTTONULL), left->Handle);
  EXPECT_EQ(clsMonitors::GetMonitorFromXYPoint(0, -1, MONITOR_DEFAULTTONULL), 0);
  EXPECT_EQ(clsMonitors::GetMonitorFromXYPoint(0, 0, MONITOR_DEFAULTTONULL), primary->Handle);
}
