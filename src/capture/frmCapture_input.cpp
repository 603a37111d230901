// The overlay's messages and input: the selection with the mouse, or to the pixel with the
// keys. The overlay's own steps (show, paint, capture) are in frmCapture.cpp and call nothing here.
#include "capture/frmCapture.h"

void frmCapture::Form_MouseMove(int x, int y) {
  const auto before = o_;
  // Painted at once: a stream of mouse messages would otherwise hold the paint back.
  if (frmCaptureRules::MouseMove(o_, {x, y}, NowUs())) {
    InvalidateChanges(before);
    PaintFrame();
  }
}

void frmCapture::Form_MouseDown(int x, int y) {
  const auto before = o_;
  picButtons_.Hide();
  frmCaptureRules::LeftPress(o_, {x, y});
  SetTimerEnabled(true);
  InvalidateChanges(before);
}

frmCaptureRules::Rect frmCapture::MonitorAt(int x, int y) const {
  RECT window;
  ::GetWindowRect(hwnd(), &window);
  MONITORINFO info{sizeof info};
  const POINT screen{window.left + x, window.top + y};
  if (!::GetMonitorInfoW(::MonitorFromPoint(screen, MONITOR_DEFAULTTONEAREST), &info))
    info.rcMonitor = window;  // the whole overlay, as a last resort
  const RECT& m = info.rcMonitor;
  return {m.left - window.left, m.top - window.top, m.right - m.left, m.bottom - m.top};
}

void frmCapture::Form_MouseUp(int x, int y) {
  const auto before = o_;
  const bool completed = frmCaptureRules::LeftRelease(o_, {x, y}, Scaled(CapturePanel::Width),
                                                      Scaled(CapturePanel::Height), MonitorAt(x, y));
  InvalidateChanges(before);
  if (!completed) return;
  SetTimerEnabled(false);
  if (!picButtons_.hwnd()) picButtons_.Create(hwnd(), ::GetDpiForWindow(hwnd()));
  picButtons_.ShowAt(o_.buttonsAt.x, o_.buttonsAt.y);
  UpdateLoupe();
}

void frmCapture::Form_KeyDown(WPARAM key, LPARAM flags) {
  const bool shift = ::GetKeyState(VK_SHIFT) < 0, ctrl = ::GetKeyState(VK_CONTROL) < 0;
  if (key >= VK_LEFT && key <= VK_DOWN) {
    const frmCaptureRules::Point d = frmCaptureRules::ArrowStep(static_cast<int>(key - VK_LEFT), shift);
    if (o_.State() == frmCaptureRules::OverlayState::Selected) return AdjustSelection(d, ctrl);
    // Before and during a drag: the pointer itself, by physical pixels.
    POINT cursor;
    if (::GetCursorPos(&cursor)) ::SetCursorPos(cursor.x + d.x, cursor.y + d.y);
    return;
  }
  const bool repeated = (flags & (1 << 30)) != 0;
  if (key == VK_SPACE && !repeated) {  // the left button's press, at the pointer
    POINT cursor;
    if (::GetCursorPos(&cursor) && ::ScreenToClient(hwnd(), &cursor)) Form_MouseDown(cursor.x, cursor.y);
  }
}

void frmCapture::Form_KeyUp(WPARAM key) {
  POINT cursor;
  switch (key) {
    case VK_ESCAPE:
      return CloseOverlay();
    case VK_SPACE:  // the left button's release, at the pointer
      if (::GetCursorPos(&cursor) && ::ScreenToClient(hwnd(), &cursor)) Form_MouseUp(cursor.x, cursor.y);
      return;
    case VK_RETURN:
      if (o_.State() == frmCaptureRules::OverlayState::Selected) cmdScreenPrint_Click();
      return;
    case 'M':  // the magnifier, for the rest of this capture
      magnifier_.Toggle();
      return UpdateLoupe();
  }
}

void frmCapture::AdjustSelection(frmCaptureRules::Point d, bool cornerOnly) {
  const auto before = o_;
  RECT client;
  ::GetClientRect(hwnd(), &client);
  const bool moved = frmCaptureRules::AdjustSelection(
      o_, d, cornerOnly, {0, 0, client.right, client.bottom}, Scaled(CapturePanel::Width), Scaled(CapturePanel::Height),
      [this](frmCaptureRules::Point p) { return MonitorAt(p.x, p.y); });
  if (!moved) return;
  InvalidateChanges(before);
  picButtons_.ShowAt(o_.buttonsAt.x, o_.buttonsAt.y);
  PaintFrame();
}

bool frmCapture::IsInput(UINT msg) {
  return msg == WM_KEYDOWN || msg == WM_KEYUP || msg == WM_CLOSE || msg == WM_COMMAND || msg == WM_LBUTTONDOWN ||
         msg == WM_LBUTTONUP || msg == WM_MOUSEWHEEL;
}

LRESULT frmCapture::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (Capturing() && IsInput(msg)) return 0;
  switch (msg) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_APP_CREATEPANEL:
      if (!picButtons_.hwnd()) picButtons_.Create(hwnd(), ::GetDpiForWindow(hwnd()));
      return 0;
    case WM_TIMER:
      if (wParam == TimerCrosshairsRedraw) TimerCrosshairsRedraw_Timer();
      if (wParam == SettleTimer) {
        ::KillTimer(hwnd(), SettleTimer);
        ActivateWithFreshDesktop();
      }
      sequence_.OnMessage(msg, wParam);
      return 0;
    case WM_APP_TICK:
      ticker_.Handled();
      if (timerRunning_) TimerCrosshairsRedraw_Timer();
      return 0;
    case WM_APP_CAPTURESTEP:
      sequence_.OnMessage(msg, wParam);
      return 0;
    case WM_MOUSEMOVE:
      Form_MouseMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_LBUTTONDOWN:
      ::SetCapture(hwnd());
      Form_MouseDown(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_LBUTTONUP:
      ::ReleaseCapture();
      Form_MouseUp(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_KEYDOWN:
      Form_KeyDown(wParam, lParam);
      return 0;
    case WM_KEYUP:
      Form_KeyUp(wParam);
      return 0;
    case WM_MOUSEWHEEL:
      magnifier_.Zoom(GET_WHEEL_DELTA_WPARAM(wParam) / WHEEL_DELTA);
      UpdateLoupe();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == CapturePanel::IdScreenPrint) cmdScreenPrint_Click();
        if (LOWORD(wParam) == CapturePanel::IdCancel) cmdCancel_Click();
      }
      return 0;
    case WM_CLOSE:
      CloseOverlay();  // the overlay is hidden, never closed, while the program runs
      return 0;
    default:
      return Default(msg, wParam, lParam);
  }
}
