#pragma once
#include <windows.h>

namespace win {
// The hourglass for the guard's lifetime, then the pointer before it.
class WaitCursor {
 public:
  WaitCursor() : old_(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { ::SetCursor(old_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR old_;
};
}  // namespace win
