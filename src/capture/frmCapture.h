#pragma once
// The capture overlay: a borderless, topmost, translucent window over the whole virtual
// desktop with crosshairs through the mouse, a selection through which the desktop shows,
// and a small panel with the capture and cancel buttons.
#include <windows.h>

#include <functional>
#include <string>

#include "capture/capture_panel.h"
#include "capture/capture_sequence.h"
#include "capture/magnifier.h"
#include "capture/overlay_rules.h"
#include "win/gdi.h"
#include "win/ticker.h"
#include "win/window.h"

class frmCapture : public win::Window<frmCapture> {
 public:
  static constexpr const wchar_t* WindowClass = L"MirelLumo.frmCapture";
  static constexpr BYTE OverlayAlpha = 190;
  static win::WindowClass ClassInfo() { return {WindowClass, IDC_CROSS}; }

  struct Owner {
    std::function<std::wstring()> imagesFolder;            // saveImgsLoc
    std::function<void()> showMainWindow;                  // after the overlay hides
    std::function<void(const std::wstring&)> capturedFile;  // CapturedFile
    std::function<void()> captureEnded;                    // a capture under way is over
  };

  explicit frmCapture(Owner owner) : owner_(std::move(owner)) {}
  ~frmCapture();

  // Form_Load: creates the overlay over the desktop and shows it, unless `show` is false;
  // false when the window could not be made.
  bool Load(bool show = true);
  // cmdCapture_Click's activation, the main window just hidden: shown once the windows
  // beneath have repainted where it stood, with a fresh copy of the desktop for the loupe.
  void ActivateAfterSettling();

  void CallBack(int32_t cb) { callBack_ = cb; }
  void ActivateCapture();
  void Show();
  // Out of sight without a capture, the main window left as it is (a start-up message
  // must never stand beneath the overlay).
  void Hide();
  bool Visible() const;
  // cmdCapture_Click's part: mUpdateCrosshairs on, mStopCapture off, the timer running.
  void Rearm();
  // A capture is under way: the overlay is getting out of the way, the file being written,
  // the main window opening it.
  bool Capturing() const { return sequence_.Busy() || finishing_; }

 private:
  friend class win::Window<frmCapture>;
  // Timers and the messages the overlay posts to itself.
  enum : UINT_PTR { TimerCrosshairsRedraw = 1, RepaintTimer = 2, SettleTimer = 3 };
  static constexpr UINT SettleMs = 40;  // for the windows beneath a hidden window to repaint
  enum : UINT {
    WM_APP_CREATEPANEL = WM_APP + 1,  // the panel, right after the first show: off the start's path
    WM_APP_TICK,                      // TimerCrosshairsRedraw's tick from the ticker thread
    WM_APP_CAPTURESTEP,               // the next step of a capture
  };

  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  // While a capture is under way the overlay takes no input: no key, click, command or close
  // reaches it until the capture has ended.
  static bool IsInput(UINT msg);
  // Microseconds of a steady high-resolution clock: the throttle's interval is not rounded to
  // the system clock's 15.6 ms.
  static int64_t NowUs();

  void Form_MouseMove(int x, int y);
  void Form_MouseDown(int x, int y);
  void Form_MouseUp(int x, int y);
  // The monitor holding the overlay point, in overlay pixels.
  frmCaptureRules::Rect MonitorAt(int x, int y) const;
  void Form_KeyDown(WPARAM key, LPARAM flags);
  void Form_KeyUp(WPARAM key);
  // The keys after the release: the selection moves, or its bottom-right corner.
  void AdjustSelection(frmCaptureRules::Point d, bool cornerOnly);
  void ActivateWithFreshDesktop();
  // The overlay's changes painted and put out, then the loupe for the overlay as it stands.
  void PaintFrame();
  // The loupe for the overlay as it stands: at the crosshairs, in the same frame.
  void UpdateLoupe();
  void TimerCrosshairsRedraw_Timer();
  void cmdScreenPrint_Click();
  void cmdCancel_Click();
  void CloseOverlay();
  void Paint();
  void SetTimerEnabled(bool on);
  // Invalidates what changed between two looks of the overlay.
  void InvalidateChanges(const frmCaptureRules::Overlay& before);
  int Scaled(int pixelsAt96) const;

  // The end of a capture: the overlay closes, the main window opens the file.
  void CaptureDone(const modScreenshot::CaptureResult& result, const std::wstring& folder);

  Owner owner_;
  CapturePanel picButtons_;
  Magnifier magnifier_;
  frmCaptureRules::Overlay o_;
  int32_t callBack_ = 0;
  bool timerRunning_ = false;
  bool onTicker_ = false;  // TimerCrosshairsRedraw runs on the ticker, not on SetTimer
  win::Ticker ticker_;
  bool keyed_ = true;  // the colour key is on (only while a selection shows its hole)
  CaptureSequence sequence_{WM_APP_CAPTURESTEP, RepaintTimer};
  bool finishing_ = false;  // CaptureDone is running
};
