#include "win/ticker.h"

#ifndef CREATE_WAITABLE_TIMER_HIGH_RESOLUTION
#define CREATE_WAITABLE_TIMER_HIGH_RESOLUTION 0x00000002
#endif

namespace win {

Ticker::~Ticker() {
  if (!thread_) return;
  ::SetEvent(quit_.get());
  ::WaitForSingleObject(thread_.get(), INFINITE);
}

bool Ticker::Start(HWND hwnd, UINT message, UINT intervalMs) {
  if (!thread_) {
    // High resolution exists from Windows 10 1803 on; elsewhere the flag is refused.
    timer_.reset(::CreateWaitableTimerExW(nullptr, nullptr, CREATE_WAITABLE_TIMER_HIGH_RESOLUTION, TIMER_ALL_ACCESS));
    if (!timer_) timer_.reset(::CreateWaitableTimerExW(nullptr, nullptr, 0, TIMER_ALL_ACCESS));
    quit_.reset(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
    if (!timer_ || !quit_) return false;
    hwnd_ = hwnd;
    message_ = message;
    thread_.reset(::CreateThread(nullptr, 64 * 1024, &Ticker::Run, this, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr));
    if (!thread_) return false;
  }
  if (hwnd != hwnd_ || message != message_) return false;  // one window and message per ticker
  LARGE_INTEGER due;
  due.QuadPart = -static_cast<LONGLONG>(intervalMs) * 10000;  // relative, in 100 ns
  return ::SetWaitableTimer(timer_.get(), &due, static_cast<LONG>(intervalMs), nullptr, nullptr, FALSE) != FALSE;
}

void Ticker::Stop() {
  if (timer_) ::CancelWaitableTimer(timer_.get());
}

DWORD WINAPI Ticker::Run(void* param) {
  auto* self = static_cast<Ticker*>(param);
  const HANDLE waits[] = {self->quit_.get(), self->timer_.get()};
  while (::WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
    if (!self->posted_.exchange(true) && !::PostMessageW(self->hwnd_, self->message_, 0, 0)) self->posted_.store(false);
  }
  return 0;
}

}  // namespace win
