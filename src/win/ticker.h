#pragma once
// A steady tick for a window. A worker thread waits on a waitable timer (high resolution
// where the system has it) and posts a message on every expiry. Posted messages come before
// mouse input and WM_TIMER, so the ticks stay punctual under a stream of mouse moves, and the
// interval is not rounded up to the system clock's 15.6 ms as SetTimer's is.
// At most one tick waits in the queue, so a busy window is never flooded.
#include <windows.h>

#include <atomic>

#include "win/handles.h"

namespace win {

class Ticker {
 public:
  Ticker() = default;
  ~Ticker();
  Ticker(const Ticker&) = delete;
  Ticker& operator=(const Ticker&) = delete;

  // Posts `message` to `hwnd` every `intervalMs` from now on. The thread is made on the first
  // start and kept; false when the system refuses it (the caller can fall back on SetTimer).
  bool Start(HWND hwnd, UINT message, UINT intervalMs);
  void Stop();
  // The window handled a tick: the next one may be posted.
  void Handled() { posted_.store(false); }

 private:
  static DWORD WINAPI Run(void* self);

  HWND hwnd_ = nullptr;
  UINT message_ = 0;
  unique_handle timer_, quit_, thread_;
  std::atomic<bool> posted_{false};
};

}  // namespace win
