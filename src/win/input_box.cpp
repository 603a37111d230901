#include "win/input_box.h"

#include "win/gdi.h"
#include "win/modal_box.h"
#include "win/window_text.h"

namespace win {

namespace {

class InputBoxWindow : public ModalBox<InputBoxWindow> {
 public:
  static WindowClass ClassInfo() {
    return {InputBoxClass, IDC_ARROW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
  }

  std::optional<std::wstring> Ask(HWND owner, const std::wstring& prompt, const std::wstring& title,
                                  const std::wstring& defaultReply) {
    if (!Open(owner, title, 372, 124)) return std::nullopt;
    NONCLIENTMETRICSW metrics{sizeof metrics};
    ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, Dpi());
    font_.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
    const HWND controls[] = {
        AddChild(L"STATIC", prompt, SS_LEFT | SS_NOPREFIX, InputPrompt, 10, 10, 264, 70),
        AddChild(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 288, 10, 74, 24),
        AddChild(L"BUTTON", L"Cancel", WS_TABSTOP, IDCANCEL, 288, 40, 74, 24),
        AddChild(L"EDIT", defaultReply, WS_TABSTOP | ES_AUTOHSCROLL, InputReply, 10, 88, 352, 24, WS_EX_CLIENTEDGE)};
    for (HWND c : controls) ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    ::SendMessageW(controls[3], EM_SETSEL, 0, -1);
    RunModalLoop(controls[3]);
    return reply_;
  }

 private:
  friend class Window<InputBoxWindow>;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
      if (LOWORD(wParam) == IDOK) reply_ = WindowText(::GetDlgItem(hwnd(), InputReply));
      ::DestroyWindow(hwnd());
      return 0;
    }
    return BoxDefault(msg, wParam, lParam);
  }

  unique_hfont font_;
  std::optional<std::wstring> reply_;
};

}  // namespace

std::optional<std::wstring> InputBox(HWND owner, const std::wstring& prompt, const std::wstring& title,
                                     const std::wstring& defaultReply) {
  InputBoxWindow box;
  return box.Ask(owner, prompt, title, defaultReply);
}

}  // namespace win
