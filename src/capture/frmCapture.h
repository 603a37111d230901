#pragma once
// The capture overlay: a borderless, topmost, translucent window over the whole virtual
// desktop with crosshairs through the mouse, a selection through which the desktop shows,
// and a small panel with the capture and cancel buttons.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "capture/clsMonitors.h"
#include "capture/overlay_rules.h"
#include "win/gdi.h"
#include "win/ticker.h"

class frmCapture {
 public:
  static constexpr const wchar_t* WindowClass = L"MirelLumo.frmCapture";
  static constexpr BYTE OverlayAlpha = 190;
  static constexpr int IdScreenPrint = 101, IdCancel = 102;

  struct Owner {
    std::function<std::wstring()> imagesFolder;            // saveImgsLoc
    std::function<void()> showMainWindow;                  // after the overlay hides
    std::function<void(const std::wstring&)> capturedFile;  // CapturedFile
  };

  frmCapture(HINSTANCE instance, Owner owner);
  ~frmCapture();
  frmCapture(const frmCapture&) = delete;
  frmCapture& operator=(const frmCapture&) = delete;

  // Form_Load: creates, covers the desktop, and shows the overlay; false when the window
  // could not be made.
  bool Load();

  void CallBack(int32_t cb) { callBack_ = cb; }
  void CoverDesktop(int32_t left, int32_t top, int32_t width, int32_t height);
  void ActivateCapture();
  void Show();
  bool Visible() const;
  // cmdCapture_Click's part: mUpdateCrosshairs on, mStopCapture off, the timer running.
  void Rearm();
  HWND Handle() const { return hwnd_; }
  // A capture is under way (the overlay is getting out of the way, the file being written).
  bool Capturing() const { return capturing_; }

 private:
  static LRESULT CALLBACK WindowProc(HWND, UINT, WPARAM, LPARAM);
  static LRESULT CALLBACK PanelProc(HWND, UINT, WPARAM, LPARAM);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  void Form_MouseMove(int x, int y);
  void Form_MouseDown(int x, int y);
  void Form_MouseUp(int x, int y);
  void Form_KeyUp(WPARAM key);
  void TimerCrosshairsRedraw_Timer();
  void cmdScreenPrint_Click();
  void cmdCancel_Click();
  void CloseOverlay();
  void Paint();
  void SetTimerEnabled(bool on);
  // The button panel with its buttons and tooltips, made once.
  void CreatePanel();
  // Invalidates what changed between two looks of the overlay.
  void InvalidateChanges(const frmCaptureRules::Overlay& before);
  void SendCallBack(const std::wstring& path);
  int Scaled(int pixelsAt96) const;

  HINSTANCE instance_;
  Owner owner_;
  HWND hwnd_ = nullptr;
  HWND picButtons_ = nullptr, cmdScreenPrint_ = nullptr, cmdCancel_ = nullptr, tooltip_ = nullptr;
  std::unique_ptr<clsMonitors> monitors_;  // made with the panel, right after the first show
  frmCaptureRules::Overlay o_;
  int32_t callBack_ = 0;
  bool timerRunning_ = false;
  bool onTicker_ = false;  // TimerCrosshairsRedraw runs on the ticker, not on SetTimer
  win::Ticker ticker_;
  bool capturing_ = false;
  bool keyed_ = true;  // the colour key is on (only while a selection shows its hole)
  win::unique_hbitmap picSnapshot_;
  win::unique_hfont glyphFont_;
  win::unique_hbrush panelBrush_;
};
