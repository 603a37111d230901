#pragma once
// The clipboard, open for the guard's lifetime: closed on every path.
#include <windows.h>

namespace win {

class clipboard_open {
 public:
  // Another program may hold the clipboard for a moment: a few short tries.
  explicit clipboard_open(HWND owner) {
    for (int attempt = 0; attempt < 5 && !open_; ++attempt) {
      open_ = ::OpenClipboard(owner) != FALSE;
      if (!open_) ::Sleep(10);
    }
  }
  ~clipboard_open() {
    if (open_) ::CloseClipboard();
  }
  clipboard_open(const clipboard_open&) = delete;
  clipboard_open& operator=(const clipboard_open&) = delete;
  explicit operator bool() const { return open_; }

 private:
  bool open_ = false;
};

}  // namespace win
