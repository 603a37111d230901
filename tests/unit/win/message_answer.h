#pragma once
// Answers the next message box with the given title from another thread: keeps its text
// and presses OK, so that a test of code that reports can run on.
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>

class MessageAnswer {
 public:
  explicit MessageAnswer(std::wstring title) : title_(std::move(title)) {
    thread_ = std::thread([this] {
      for (int i = 0; i < 1500 && !stop_; ++i) {
        HWND box = ::FindWindowW(L"#32770", title_.c_str());
        if (box && ::IsWindowVisible(box)) {
          wchar_t text[2048] = {};
          HWND label = ::GetDlgItem(box, 0xFFFF);
          ::GetWindowTextW(label, text, 2048);
          text_ = text;
          seen_ = true;
          ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
          return;
        }
        ::Sleep(10);
      }
    });
  }
  ~MessageAnswer() {
    stop_ = true;
    thread_.join();
  }
  MessageAnswer(const MessageAnswer&) = delete;
  MessageAnswer& operator=(const MessageAnswer&) = delete;
  // After the code under test returned: whether a box came, and its text.
  bool Seen() const { return seen_; }
  const std::wstring& Text() const { return text_; }

 private:
  std::wstring title_;
  std::wstring text_;
  std::atomic<bool> seen_{false}, stop_{false};
  std::thread thread_;
};
