#pragma once
// The capture sequence, an explicit state machine: the overlay gets out of the way, the
// windows beneath repaint the places of our windows that stood over the selection, the selection
// is grabbed and saved, and the caller is told the file's path. Each step runs from a
// message posted to the overlay or from its timer, so that the windows beneath repaint in
// between; nothing waits in a message loop of its own.
#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <string>

#include "capture/modScreenshot.h"
#include "win/gdi.h"

class CaptureSequence {
 public:
  struct Request {
    RECT area{};             // the selection on the screen
    // True once the places our windows left over the selection (the panel's, the loupe's)
    // show the desktop again; asked until then, for at most a quarter second.
    std::function<bool()> repainted;
    std::wstring folder;     // the images folder
    int32_t callBack = 0;    // the window told the file's path; 0 for none
  };
  using Finished = std::function<void(const modScreenshot::CaptureResult&)>;

  // The overlay's message for the next step and its timer for the repaint.
  CaptureSequence(UINT stepMessage, UINT_PTR repaintTimer) : stepMessage_(stepMessage), repaintTimer_(repaintTimer) {}

  // Starts a capture with the overlay (already without its panel); `finished` runs once,
  // when it is over, saved or not. Nothing when one is under way.
  void Start(HWND overlay, Request request, Finished finished);
  bool Busy() const { return step_ != Step::None; }
  // The overlay hands on its step message and timer ticks; true when they were the capture's.
  bool OnMessage(UINT msg, WPARAM wParam);

 private:
  enum class Step { None, HideOverlay, Settle, WaitForRepaint };
  void Next();
  bool Repainted() const;
  void GrabAndFinish();
  void SendCallBack(const std::wstring& path) const;

  UINT stepMessage_;
  UINT_PTR repaintTimer_;
  Step step_ = Step::None;
  HWND overlay_ = nullptr;
  Request request_;
  Finished finished_;
  std::chrono::steady_clock::time_point repaintDeadline_;
  win::unique_hbitmap picSnapshot_;  // the grabbed pixels
};
