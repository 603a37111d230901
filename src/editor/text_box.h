#pragma once
// The text tool's one-line box, over the picture control where the label will go: a framed
// host window with an edit control in it, red bold text on white in the label font at the
// shown size. Enter and Escape go to `done`; the box never closes itself.
#include <windows.h>

#include <functional>
#include <string>

#include "win/gdi.h"
#include "win/window.h"

namespace editor {

class TextBox : public win::Window<TextBox> {
 public:
  static constexpr const wchar_t* ClassName = L"MirelLumo.TextBox";
  static win::WindowClass ClassInfo() { return {ClassName, IDC_IBEAM}; }

  TextBox() = default;
  // Enter (keep) or Escape (not) in the box.
  void OnDone(std::function<void(bool keep)> done) { done_ = std::move(done); }

  // Shows the box, empty, over `shown` (the parent's client pixels, frame included) with
  // the text `scale` times the label's size, and puts the focus in it. False when the
  // platform refused it.
  bool Open(HWND parent, const RECT& shown, double scale);
  // Moves it (the zoom changed).
  void Place(const RECT& shown, double scale);
  // Hides it, the focus back on its parent if it had it; what was typed.
  std::wstring Close();
  bool IsOpen() const { return hwnd() && ::IsWindowVisible(hwnd()); }

 private:
  friend class win::Window<TextBox>;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  HWND edit_ = nullptr;
  win::unique_hfont font_;
  double fontScale_ = 0;
  std::function<void(bool keep)> done_;
};

}  // namespace editor
