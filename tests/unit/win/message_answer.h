#pragma once
// Answers the next message box with the given title from another thread: keeps its text
// and presses OK, so that a test of code that reports can run on. Given an input box's
// class, it types the reply into the box (none: the offer stands) and presses the button.
#include <windows.h>

#include <atomic>
#include <cwchar>
#include <string>
#include <thread>

#include "win/input_box.h"

class MessageAnswer {
 public:
  explicit MessageAnswer(std::wstring title, const wchar_t* cls = L"#32770", const wchar_t* reply = nullptr,
                         int button = IDOK)
      : title_(std::move(title)) {
    thread_ = std::thread([this, cls, reply, button] {
      const bool input = wcscmp(cls, win::InputBoxClass) == 0;
      for (int i = 0; i < 1500 && !stop_; ++i) {
        HWND box = ::FindWindowW(cls, title_.c_str());
        // An input box once its reply field is there.
        if (box && ::IsWindowVisible(box) && (!input || ::GetDlgItem(box, win::InputReply))) {
          wchar_t text[2048] = {};
          ::GetWindowTextW(::GetDlgItem(box, 0xFFFF), text, 2048);
          text_ = text;
          seen_ = true;
          if (reply) ::SendMessageW(::GetDlgItem(box, win::InputReply), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(reply));
          ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
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
