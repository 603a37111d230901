#include "capture/clsMonitors.h"

namespace {
bool HasMonitorCount() { return ::GetSystemMetrics(SM_CMONITORS) != 0; }
}  // namespace

int32_t clsMonitors::DesktopLeft() { return HasMonitorCount() ? ::GetSystemMetrics(SM_XVIRTUALSCREEN) : 0; }
int32_t clsMonitors::DesktopTop() { return HasMonitorCount() ? ::GetSystemMetrics(SM_YVIRTUALSCREEN) : 0; }
int32_t clsMonitors::DesktopWidth() {
  return ::GetSystemMetrics(HasMonitorCount() ? SM_CXVIRTUALSCREEN : SM_CXSCREEN);
}
int32_t clsMonitors::DesktopHeight() {
  return ::GetSystemMetrics(HasMonitorCount() ? SM_CYVIRTUALSCREEN : SM_CYSCREEN);
}

int64_t clsMonitors::GetMonitorFromXYPoint(int32_t x, int32_t y, DWORD flags) {
  const RECT r{x, y, x + 1, y + 1};
  return reinterpret_cast<intptr_t>(::MonitorFromRect(&r, flags));
}

void clsMonitors::Refresh() {
  Monitors.clear();
  taskbar_ = APPBARDATA{sizeof(APPBARDATA)};
  ::SHAppBarMessage(ABM_GETTASKBARPOS, &taskbar_);
  if (!HasMonitorCount()) {
    Monitors = monitorProbe::Fallback(::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN));
    return;
  }
  const monitorProbe::Desktop desktop{DesktopLeft(), DesktopTop(), DesktopWidth(), DesktopHeight()};
  Monitors = monitorProbe::Probe(
      desktop, [](int32_t x, int32_t y) { return GetMonitorFromXYPoint(x, y, MONITOR_DEFAULTTONULL); },
      [](int64_t handle) {
        clsMonitor m;
        MONITORINFO info{sizeof info};
        m.Handle = handle;
        if (::GetMonitorInfoW(reinterpret_cast<HMONITOR>(static_cast<intptr_t>(handle)), &info)) {
          m.IsPrimary = (info.dwFlags & MONITORINFOF_PRIMARY) != 0;
          m.Left = info.rcMonitor.left, m.Right = info.rcMonitor.right;
          m.Top = info.rcMonitor.top, m.Bottom = info.rcMonitor.bottom;
          m.WorkLeft = info.rcWork.left, m.WorkRight = info.rcWork.right;
          m.WorkTop = info.rcWork.top, m.WorkBottom = info.rcWork.bottom;
          m.Height = m.Bottom - m.Top, m.Width = m.Right - m.Left;
        }
        return m;
      });
}
