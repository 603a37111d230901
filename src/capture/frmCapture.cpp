#include "capture/frmCapture.h"

#include <chrono>
#include <initializer_list>

#include "capture/clsMonitors.h"
#include "capture/modTopmost.h"
#include "win/error_text.h"
#include "win/message_box.h"

namespace {

constexpr UINT CrosshairsInterval = 10;
constexpr COLORREF Shade = RGB(64, 64, 64);
constexpr COLORREF Orange = RGB(255, 128, 0);
constexpr int BarThickness = 5;

RECT ToRect(const frmCaptureRules::Rect& r) { return RECT{r.left, r.top, r.left + r.width, r.top + r.height}; }

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
  ::SetBkColor(dc, colour);
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

}  // namespace

int64_t frmCapture::NowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

frmCapture::~frmCapture() {
  SetTimerEnabled(false);
  Destroy();
}

int frmCapture::Scaled(int pixelsAt96) const {
  const UINT dpi = hwnd() ? ::GetDpiForWindow(hwnd()) : 96;
  return ::MulDiv(pixelsAt96, dpi ? static_cast<int>(dpi) : 96, 96);
}

bool frmCapture::Load(bool show) {
  // The desktop as it is before anything of the overlay shows, for the magnifier: copied on
  // a worker thread while the window is made.
  if (show) magnifier_.PrepareBeforeShow(true);
  // Made layered, topmost and at the desktop's size at once: every later change of these
  // costs a new window surface, or loads more libraries, before the first show.
  const int32_t left = clsMonitors::DesktopLeft(), top = clsMonitors::DesktopTop();
  const int32_t width = clsMonitors::DesktopWidth(), height = clsMonitors::DesktopHeight();
  if (!Create(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED, L"Mirel Lumo Capture", WS_POPUP, left, top, width,
              height, nullptr))
    return false;
  // The colour key is on only while a selection shows its hole: a keyed layered window
  // costs every redraw of the crosshairs more on some platforms.
  modTransparency::SetTranslucency(hwnd(), OverlayAlpha, false);
  keyed_ = false;
  o_.mUpdateCrosshairs = true;
  SetTimerEnabled(true);
  if (show) Show();
  ::PostMessageW(hwnd(), WM_APP_CREATEPANEL, 0, 0);
  return true;
}

void frmCapture::Show() {
  magnifier_.WaitForDesktop();
  // The crosshairs at the pointer in the first paint already, where they follow it.
  POINT cursor;
  const auto before = o_;
  if (!o_.mStopCapture && ::GetCursorPos(&cursor) && ::ScreenToClient(hwnd(), &cursor) &&
      frmCaptureRules::MouseMove(o_, {cursor.x, cursor.y}, NowUs()))
    InvalidateChanges(before);
  o_.visible = true;
  ::ShowWindow(hwnd(), SW_SHOW);
  ::SetForegroundWindow(hwnd());
  ::SetFocus(hwnd());
  PaintFrame();  // now: the user is waiting for it
}

void frmCapture::ActivateAfterSettling() {
  // The main window has just hidden: where it stood, the windows beneath repaint on their own
  // time unless the desktop is composed. The magnifier's copy of the desktop waits for them.
  if (modTopmost::DesktopComposed()) return ActivateWithFreshDesktop();
  if (!::SetTimer(hwnd(), SettleTimer, SettleMs, nullptr)) ActivateWithFreshDesktop();
}

void frmCapture::ActivateWithFreshDesktop() {
  magnifier_.PrepareBeforeShow(false);
  magnifier_.Reset();
  ActivateCapture();
}

bool frmCapture::Visible() const { return hwnd() && ::IsWindowVisible(hwnd()); }

void frmCapture::PaintFrame() {
  ::UpdateWindow(hwnd());
  // A zero wait: Wine puts a window's new pixels on the screen when its thread waits, so the
  // crosshairs go out now instead of after the loupe's move (a costly call there).
  ::MsgWaitForMultipleObjectsEx(0, nullptr, 0, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  UpdateLoupe();
}

void frmCapture::UpdateLoupe() {
  if (!o_.visible) return;
  RECT window;
  ::GetWindowRect(hwnd(), &window);
  auto screen = [&](int x, int y) { return POINT{window.left + x, window.top + y}; };
  Magnifier::View view;
  view.hotSpot = screen(o_.vertLeft, o_.horizTop);
  const frmCaptureRules::Rect& r = o_.recordArea;
  if (o_.SelectionActive) view.anchor = screen(o_.SelectionStart.x, o_.SelectionStart.y);
  if (o_.buttonsVisible) view.anchor = screen(o_.releasedAtLeft ? r.left + r.width : r.left, o_.releasedAtTop ? r.top + r.height : r.top);
  if (o_.SelectionActive || o_.buttonsVisible) view.selection = SIZE{r.width, r.height};
  if (o_.recordAreaVisible) {
    view.hole = ToRect(r);
    ::OffsetRect(&view.hole, window.left, window.top);
  }
  if (picButtons_.Visible()) view.panel = picButtons_.ScreenRect();
  magnifier_.Update(hwnd(), view);
}

void frmCapture::ActivateCapture() {
  const auto before = o_;
  frmCaptureRules::Activate(o_);
  picButtons_.Hide();
  InvalidateChanges(before);
  Show();
}

void frmCapture::Rearm() {
  frmCaptureRules::Rearm(o_);
  SetTimerEnabled(true);
}

void frmCapture::SetTimerEnabled(bool on) {
  o_.timerEnabled = on;
  if (on && !timerRunning_) {
    // The ticker keeps the 10 ms where SetTimer's ticks come late or rounded up.
    onTicker_ = ticker_.Start(hwnd(), WM_APP_TICK, CrosshairsInterval);
    timerRunning_ = onTicker_ || ::SetTimer(hwnd(), TimerCrosshairsRedraw, CrosshairsInterval, nullptr) != 0;
  }
  if (!on && timerRunning_) {
    if (onTicker_) ticker_.Stop();
    else ::KillTimer(hwnd(), TimerCrosshairsRedraw);
    timerRunning_ = false;
  }
}

void frmCapture::InvalidateChanges(const frmCaptureRules::Overlay& before) {
  RECT client;
  ::GetClientRect(hwnd(), &client);
  // Only a bar that moved: the two bars span the desktop, and a crossing pair of them makes
  // the whole desktop's box go to the screen on some platforms.
  if (before.horizTop != o_.horizTop) {
    for (const int top : {before.horizTop, o_.horizTop}) {
      const RECT h{0, top, client.right, top + BarThickness};
      ::InvalidateRect(hwnd(), &h, FALSE);
    }
  }
  if (before.vertLeft != o_.vertLeft) {
    for (const int left : {before.vertLeft, o_.vertLeft}) {
      const RECT v{left, 0, left + BarThickness, client.bottom};
      ::InvalidateRect(hwnd(), &v, FALSE);
    }
  }
  if (before.recordArea != o_.recordArea || before.recordAreaVisible != o_.recordAreaVisible) {
    RECT a = ToRect(before.recordArea), b = ToRect(o_.recordArea), u;
    ::UnionRect(&u, &a, &b);
    ::InvalidateRect(hwnd(), &u, FALSE);
  }
}

void frmCapture::Paint() {
  // The key goes on before a hole is painted, and off only once the hole is painted over.
  if (o_.recordAreaVisible && !keyed_) keyed_ = modTransparency::SetTranslucency(hwnd(), OverlayAlpha, true);
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd(), &ps);
  RECT client;
  ::GetClientRect(hwnd(), &client);
  const RECT h{0, o_.horizTop, client.right, o_.horizTop + BarThickness};
  const RECT v{o_.vertLeft, 0, o_.vertLeft + BarThickness, client.bottom};
  const RECT hole = o_.recordAreaVisible ? ToRect(o_.recordArea) : RECT{};
  // Every pixel is painted once, in its final colour, so nothing flickers without a back
  // buffer; the update region clips it all to what changed. The bars stop at the selection:
  // it stays all hole, so what lies beneath it is on the screen already when the overlay
  // goes for the grab.
  const int saved = ::SaveDC(dc);
  for (const RECT& r : {h, v, hole}) ::ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  FillSolid(dc, ps.rcPaint, Shade);
  ::RestoreDC(dc, saved);
  if (o_.recordAreaVisible) {
    FillSolid(dc, hole, modTransparency::ColourKey);
    ::ExcludeClipRect(dc, hole.left, hole.top, hole.right, hole.bottom);
  }
  FillSolid(dc, h, Orange);
  FillSolid(dc, v, Orange);
  ::EndPaint(hwnd(), &ps);
  if (!o_.recordAreaVisible && keyed_) keyed_ = !modTransparency::SetTranslucency(hwnd(), OverlayAlpha, false);
}

void frmCapture::TimerCrosshairsRedraw_Timer() {
  const auto before = o_;
  if (frmCaptureRules::Tick(o_, NowUs())) {
    InvalidateChanges(before);
    PaintFrame();
  }
}

void frmCapture::Hide() {
  const auto before = o_;
  frmCaptureRules::Close(o_);
  SetTimerEnabled(false);
  picButtons_.Hide();
  magnifier_.Hide();
  InvalidateChanges(before);
  // The hole is painted over before the overlay goes: it shows clean when it comes back.
  ::UpdateWindow(hwnd());
  ::ShowWindow(hwnd(), SW_HIDE);
}

void frmCapture::CloseOverlay() {
  Hide();
  if (owner_.showMainWindow) owner_.showMainWindow();
}

void frmCapture::cmdCancel_Click() { CloseOverlay(); }

void frmCapture::cmdScreenPrint_Click() {
  if (Capturing()) return;
  CaptureSequence::Request request;
  RECT window;
  ::GetWindowRect(hwnd(), &window);
  request.area = ToRect(o_.recordArea);
  ::OffsetRect(&request.area, window.left, window.top);
  // Released near the desktop's top or bottom the panel stands over the selection, and the
  // loupe may: the windows beneath repaint their places before the grab.
  RECT underPanel{}, underLoupe{};
  const RECT panel = picButtons_.ScreenRect(), loupe = magnifier_.ScreenRect();
  ::IntersectRect(&underPanel, &panel, &request.area);
  ::IntersectRect(&underLoupe, &loupe, &request.area);
  request.repainted = [this, underPanel, underLoupe] {
    return CapturePanel::GoneFrom(underPanel) && magnifier_.DesktopShowsIn(underLoupe);
  };
  magnifier_.Hide();
  request.folder = owner_.imagesFolder ? owner_.imagesFolder() : std::wstring();
  request.callBack = callBack_;
  picButtons_.Hide();
  const std::wstring folder = request.folder;
  sequence_.Start(hwnd(), std::move(request),
                  [this, folder](const modScreenshot::CaptureResult& result) { CaptureDone(result, folder); });
}

void frmCapture::CaptureDone(const modScreenshot::CaptureResult& result, const std::wstring& folder) {
  // Until this returns the capture is under way: nothing closes the overlay beneath it.
  struct Finishing {
    frmCapture& form;
    explicit Finishing(frmCapture& f) : form(f) { form.finishing_ = true; }
    ~Finishing() {
      form.finishing_ = false;
      if (form.owner_.captureEnded) form.owner_.captureEnded();
    }
  } finishing(*this);
  CloseOverlay();
  if (!result.saved) {
    win::ShowMessage(nullptr,
                     folder.empty() ? std::wstring(L"The screenshot could not be saved: there is no images folder. "
                                                   L"The program could not make one at its start.")
                                    : L"The screenshot could not be saved in the images folder \"" + folder +
                                          L"\".\r\n\r\n" + win::SystemErrorText(result.error),
                     L"Mirel Lumo", MB_OK | MB_ICONSTOP);
    return;
  }
  if (owner_.capturedFile) owner_.capturedFile(result.path);
}
