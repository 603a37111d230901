#include "shell/frmAbout.h"

#include <shellapi.h>

#include <vector>

#include "shell/run_entry.h"
#include "win/gdi.h"
#include "win/modal_box.h"
#include "win/window_text.h"

namespace {

std::vector<BYTE> VersionBlock() {
  const std::wstring exe = modRunEntry::ExecutablePath();
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  std::vector<BYTE> block(size);
  if (size == 0 || !::GetFileVersionInfoW(exe.c_str(), 0, size, block.data())) block.clear();
  return block;
}

class AboutBox : public win::ModalBox<AboutBox> {
 public:
  static win::WindowClass ClassInfo() {
    return {frmAbout::WindowClass, IDC_ARROW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
  }
  void Show(HWND owner, HICON icon);

 private:
  friend class win::Window<AboutBox>;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void Label3_Click() const;

  HWND link_ = nullptr;
  win::unique_hfont titleFont_, textFont_;
  frmAboutTexts::Version version_;
};

void AboutBox::Label3_Click() const {
  // Nothing is reported when no browser opens.
  ::ShellExecuteW(nullptr, nullptr, frmAboutTexts::LinkAddress(win::WindowText(link_), version_).c_str(), nullptr,
                  nullptr, SW_SHOWNORMAL);
}

LRESULT AboutBox::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wParam) == frmAbout::cmdOK || LOWORD(wParam) == IDCANCEL) ::DestroyWindow(hwnd());
      if (LOWORD(wParam) == frmAbout::Label3 && HIWORD(wParam) == STN_CLICKED) Label3_Click();
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == link_) {
        ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
        ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == link_) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
  }
  return BoxDefault(msg, wParam, lParam);
}

void AboutBox::Show(HWND owner, HICON icon) {
  version_ = frmAbout::ProgramVersion();
  const std::wstring title = frmAbout::ProgramTitle();
  if (!Open(owner, L"About " + title, 420, 232)) return;
  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  titleFont_.reset(::CreateFontW(-Px(18), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                                 CLEARTYPE_QUALITY, 0, L"Tahoma"));
  textFont_.reset(::CreateFontW(-Px(12), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                                CLEARTYPE_QUALITY, 0, L"Tahoma"));
  HWND iconBox = AddChild(L"STATIC", L"", SS_ICON, 0, 16, 16, 32, 32);
  ::SendMessageW(iconBox, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  using namespace frmAbout;
  const HWND controls[] = {
      AddChild(L"STATIC", title, 0, lblTitle, 64, 14, 340, 26),
      AddChild(L"STATIC", frmAboutTexts::VersionText(version_), 0, lblVersion, 64, 44, 340, 18),
      AddChild(L"STATIC", L"", SS_ETCHEDHORZ, 0, 16, 76, 388, 2),
      AddChild(L"STATIC", frmAboutTexts::Description, 0, lblDescription, 16, 88, 388, 36),
      AddChild(L"STATIC", frmAboutTexts::Maker, 0, Label1, 16, 128, 388, 18),
      AddChild(L"STATIC", L"Visit:", 0, Label2, 16, 152, 40, 18),
      link_ = AddChild(L"STATIC", frmAboutTexts::Host, SS_NOTIFY, Label3, 60, 152, 300, 18),
      AddChild(L"STATIC", L"", SS_ETCHEDHORZ, 0, 16, 182, 388, 2),
      AddChild(L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, cmdOK, 324, 194, 80, 26)};
  for (HWND c : controls)
    ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(c == controls[0] ? titleFont_.get() : textFont_.get()), FALSE);
  RunModalLoop(::GetDlgItem(hwnd(), cmdOK));
}

}  // namespace

std::wstring frmAbout::ProgramTitle() {
  auto block = VersionBlock();
  wchar_t* name = nullptr;
  UINT length = 0;
  if (!block.empty() &&
      ::VerQueryValueW(block.data(), L"\\StringFileInfo\\040904B0\\ProductName", reinterpret_cast<void**>(&name), &length) &&
      length > 0)
    return std::wstring(name, wcsnlen(name, length));
  return L"Mirel Lumo";
}

frmAboutTexts::Version frmAbout::ProgramVersion() {
  auto block = VersionBlock();
  VS_FIXEDFILEINFO* info = nullptr;
  UINT length = 0;
  if (block.empty() || !::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&info), &length) || !info)
    return {};
  return {HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS), HIWORD(info->dwFileVersionLS)};
}

void frmAbout::ShowModal(HWND owner, HICON icon) {
  AboutBox box;
  box.Show(owner, icon);
}
