// The monitor list on a real desktop of two monitors: a 1024 x 768 one left of a
// 1280 x 1024 primary and reaching 200 pixels above it (the two-monitor pass of
// scripts/test).
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "capture/clsMonitors.h"

TEST(TwoMonitors, TheMonitorListHoldsEachMonitorOnceWithItsPlace) {
  const char* monitors = std::getenv("LUMO_MONITORS");
  if (!monitors || std::string(monitors) != "2") GTEST_SKIP() << "runs on the two-monitor display (LUMO_MONITORS=2)";
  EXPECT_EQ(clsMonitors::DesktopLeft(), -1024);
  EXPECT_EQ(clsMonitors::DesktopTop(), -200);
  EXPECT_EQ(clsMonitors::DesktopWidth(), 2304);
  EXPECT_EQ(clsMonitors::DesktopHeight(), 1224);
  const clsMonitors list;
  ASSERT_EQ(list.Monitors.size(), 2u);
  const clsMonitor* left = nullptr;
  const clsMonitor* primary = nullptr;
  for (const auto& [key, m] : list.Monitors) {
    EXPECT_EQ(key, std::to_string(m.Handle));
    (m.IsPrimary ? primary : left) = &m;
  }
  ASSERT_NE(left, nullptr);
  ASSERT_NE(primary, nullptr);
  EXPECT_EQ(left->Left, -1024);
  EXPECT_EQ(left->Right, 0);
  EXPECT_EQ(left->Top, -200);
  EXPECT_EQ(left->Bottom, 568);
  EXPECT_EQ(left->Width, 1024);
  EXPECT_EQ(primary->Left, 0);
  EXPECT_EQ(primary->Top, 0);
  EXPECT_EQ(primary->Width, 1280);
  EXPECT_EQ(primary->Height, 1024);
  // Below the smaller monitor lies no monitor at all.
  EXPECT_EQ(clsMonitors::GetMonitorFromXYPoint(-500, 900, MONITOR_DEFAULTTONULL), 0);
  EXPECT_EQ(clsMonitors::GetMonitorFromXYPoint(-1, -200, MONITOR_DEFAULTTONULL), left->Handle);
  EXPECT_EQ(clsMonitors::GetMonitorFromXYPoint(0, -1, MONITOR_DEFAULTTONULL), 0);
  EXPECT_EQ(clsMonitors::GetMonitorFromXYPoint(0, 0, MONITOR_DEFAULTTONULL), primary->Handle);
}
