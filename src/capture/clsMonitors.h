#pragma once
// The monitors of the desktop, the virtual desktop's bounds and the taskbar's place.
#include <windows.h>
#include <shellapi.h>

#include "capture/clsMonitor.h"

class clsMonitors {
 public:
  clsMonitors() { Refresh(); }

  monitorProbe::MonitorList Monitors;

  // The virtual desktop, asked of the system at each call.
  static int32_t DesktopLeft();
  static int32_t DesktopTop();
  static int32_t DesktopWidth();
  static int32_t DesktopHeight();

  int32_t TaskbarLeft() const { return taskbar_.rc.left; }
  int32_t TaskbarTop() const { return taskbar_.rc.top; }
  int32_t TaskbarWidth() const { return taskbar_.rc.right - taskbar_.rc.left; }
  int32_t TaskbarHeight() const { return taskbar_.rc.bottom - taskbar_.rc.top; }
  int32_t TaskbarEdge() const { return static_cast<int32_t>(taskbar_.uEdge); }

  // The monitor at the one-pixel rectangle (x, y)-(x+1, y+1); 0 for none with flags 0.
  static int64_t GetMonitorFromXYPoint(int32_t x, int32_t y, DWORD flags);

  void Refresh();

 private:
  APPBARDATA taskbar_{};
};
