#include "shell/frmAbout.h"

#include <shellapi.h>

#include <vector>

#include "shell/run_entry.h"
#include "win/gdi.h"
#include "win/modal.h"

namespace {

struct AboutState {
  HWND hwnd = nullptr;
  HWND link = nullptr;
  bool done = false;
  win::unique_hfont titleFont, textFont;
  frmAboutTexts::Version version;
};

std::vector<BYTE> VersionBlock() {
  const std::wstring exe = modRunEntry::ExecutablePath();
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  std::vector<BYTE> block(size);
  if (size == 0 || !::GetFileVersionInfoW(exe.c_str(), 0, size, block.data())) block.clear();
  return block;
}

HWND Label(HWND parent, int id, const std::wstring& text, int x, int y, int w, int h, DWORD style = 0) {
  return ::CreateWindowExW(0, L"STATIC", text.c_str(), WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
}

void Label3_Click(const AboutState& state) {
  wchar_t host[256] = {};
  ::GetWindowTextW(state.link, host, 256);
  // Nothing is reported when no browser opens.
  ::ShellExecuteW(nullptr, nullptr, frmAboutTexts::LinkAddress(host, state.version).c_str(), nullptr, nullptr,
                  SW_SHOWNORMAL);
}

LRESULT CALLBACK AboutProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* state = reinterpret_cast<AboutState*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (msg == WM_NCCREATE) {
    state = static_cast<AboutState*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(state));
  }
  if (!state) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_COMMAND:
      if (LOWORD(wParam) == frmAbout::cmdOK || LOWORD(wParam) == IDCANCEL) ::DestroyWindow(hwnd);
      if (LOWORD(wParam) == frmAbout::Label3 && HIWORD(wParam) == STN_CLICKED) Label3_Click(*state);
      return 0;
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == state->link) {
        ::SetTextColor(reinterpret_cast<HDC>(wParam), RGB(0, 0, 255));
        ::SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
      }
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == state->link) {
        ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_CLOSE:
      ::DestroyWindow(hwnd);
      return 0;
    case WM_DESTROY:
      state->done = true;
      return 0;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
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

void frmAbout::ShowModal(HINSTANCE instance, HWND owner, HICON icon) {
  static bool registered = false;
  if (!registered) {
    WNDCLASSEXW wc{sizeof wc};
    wc.lpfnWndProc = AboutProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = WindowClass;
    registered = ::RegisterClassExW(&wc) != 0;
  }
  AboutState state;
  state.version = ProgramVersion();
  const std::wstring title = ProgramTitle();
  const UINT dpi = owner ? ::GetDpiForWindow(owner) : 96;
  auto px = [&](int v) { return ::MulDiv(v, static_cast<int>(dpi), 96); };

  RECT frame{0, 0, px(420), px(232)};
  ::AdjustWindowRectExForDpi(&frame, WS_CAPTION | WS_SYSMENU, FALSE, WS_EX_DLGMODALFRAME, dpi);
  const int w = frame.right - frame.left, h = frame.bottom - frame.top;
  RECT ownerRect{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  if (owner) ::GetWindowRect(owner, &ownerRect);
  const int x = (ownerRect.left + ownerRect.right - w) / 2, y = (ownerRect.top + ownerRect.bottom - h) / 2;

  HWND hwnd = ::CreateWindowExW(WS_EX_DLGMODALFRAME, WindowClass, (L"About " + title).c_str(),
                                WS_CAPTION | WS_SYSMENU, x, y, w, h, owner, nullptr, instance, &state);
  if (!hwnd) return;
  state.hwnd = hwnd;
  ::SendMessageW(hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
  ::SendMessageW(hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));

  state.titleFont.reset(::CreateFontW(-px(18), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                                      CLEARTYPE_QUALITY, 0, L"Tahoma"));
  state.textFont.reset(::CreateFontW(-px(12), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, DEFAULT_CHARSET, 0, 0,
                                     CLEARTYPE_QUALITY, 0, L"Tahoma"));
  HWND iconBox = Label(hwnd, 0, L"", px(16), px(16), px(32), px(32), SS_ICON);
  ::SendMessageW(iconBox, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
  HWND controls[] = {
      Label(hwnd, lblTitle, title, px(64), px(14), px(340), px(26)),
      Label(hwnd, lblVersion, frmAboutTexts::VersionText(state.version), px(64), px(44), px(340), px(18)),
      Label(hwnd, 0, L"", px(16), px(76), px(388), px(2), SS_ETCHEDHORZ),
      Label(hwnd, lblDescription, frmAboutTexts::Description, px(16), px(88), px(388), px(36)),
      Label(hwnd, Label1, frmAboutTexts::Maker, px(16), px(128), px(388), px(18)),
      Label(hwnd, Label2, L"Visit:", px(16), px(152), px(40), px(18)),
      state.link = Label(hwnd, Label3, frmAboutTexts::Host, px(60), px(152), px(300), px(18), SS_NOTIFY),
      Label(hwnd, 0, L"", px(16), px(182), px(388), px(2), SS_ETCHEDHORZ),
      ::CreateWindowExW(0, L"BUTTON", L"OK", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_DEFPUSHBUTTON, px(324),
                        px(194), px(80), px(26), hwnd, reinterpret_cast<HMENU>(static_cast<INT_PTR>(cmdOK)), nullptr,
                        nullptr)};
  for (HWND c : controls)
    ::SendMessageW(c, WM_SETFONT, reinterpret_cast<WPARAM>(c == controls[0] ? state.titleFont.get() : state.textFont.get()),
                   FALSE);

  // Modal: the owner takes no input until the box is gone.
  win::RunModal(hwnd, owner, ::GetDlgItem(hwnd, cmdOK), state.done);
}
