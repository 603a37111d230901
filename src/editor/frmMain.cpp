#include "editor/frmMain.h"

#include "app/resource.h"
#include "editor/frmMain_ids.h"
#include "shell/frmAbout.h"
#include "win/guarded.h"
#include "win/pump.h"
#include "win/window_owner.h"

namespace {
namespace ids = frmMainIds;
// Posted before the first show: the controls are made as soon as the frame is up.
constexpr UINT WM_APP_CREATECONTROLS = WM_APP + 1;
constexpr int RestoredClientWidth = 956, RestoredClientHeight = 684;

int ShiftState() {
  return (::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
         (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}
constexpr UINT_PTR CloseRetryTimer = 3;  // Timer1 and Timer2 are 1 and 2

}  // namespace

LRESULT CALLBACK frmMain::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = win::WindowOwner<frmMain>(hwnd, msg, lParam);
  if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
  return win::Guarded(hwnd, [&] { return self->HandleMessage(msg, wParam, lParam); });
}

LRESULT frmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      // Before start-up has finished (a message box of it is up) there is nothing to store.
      if (!loaded_) return 0;
      // A capture under way finishes first: the close is tried again shortly.
      if (CaptureForm && CaptureForm->Capturing()) {
        ::SetTimer(hwnd_, CloseRetryTimer, 50, nullptr);
        return 0;
      }
      Form_QueryUnload();
      ::DestroyWindow(hwnd_);
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // Logging off closes the program like its close box: the settings are written.
      if (wParam && loaded_) Form_QueryUnload();
      return 0;
    case WM_APP_CREATECONTROLS:
      CreateControls();
      return 0;
    case WM_SIZE:
      Form_Resize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
    case WM_TIMER:
      if (wParam == 1) Timer1_Timer();
      if (wParam == 2) Timer2_Timer();
      if (wParam == CloseRetryTimer) {
        ::KillTimer(hwnd_, CloseRetryTimer);
        ::PostMessageW(hwnd_, WM_CLOSE, 0, 0);
      }
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // Keys reach the window itself only while none of its controls has the focus.
      Picture1_KeyUp(static_cast<int>(wParam), ShiftState());
      if (msg == WM_SYSKEYUP) return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
      return 0;
    case WM_DPICHANGED:
      OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
}

int frmMain::Run(std::wstring_view args) {
  // A capture asked for on the command line is up before anything else: the caller's user
  // is waiting for it. The start-up (which hands it the call-back) goes on behind it.
  if (args.find(L"screencapture") != std::wstring_view::npos) CreateCaptureForm();

  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = &frmMain::WindowProc;
  wc.hInstance = instance_;
  wc.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(IDI_APP));
  wc.hIconSm = static_cast<HICON>(::LoadImageW(instance_, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                ::GetSystemMetrics(SM_CXSMICON),
                                                ::GetSystemMetrics(SM_CYSMICON), 0));
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = WindowClass;
  if (!::RegisterClassExW(&wc)) return 1;

  // The menu bar.
  HMENU menu = ::CreateMenu();
  ::AppendMenuW(menu, MF_STRING, ids::toolscolors, L"Tools");
  ::AppendMenuW(menu, MF_STRING, ids::about, L"About");

  // Created hidden: the start-up runs before the window is shown, as a form's load does.
  // Restored, its client area is 956 x 684 at 96 dpi, where the system puts new windows.
  const UINT dpi = ::GetDpiForSystem();
  RECT frame{0, 0, ::MulDiv(RestoredClientWidth, static_cast<int>(dpi), 96),
             ::MulDiv(RestoredClientHeight, static_cast<int>(dpi), 96)};
  ::AdjustWindowRectExForDpi(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0, dpi);
  if (!::CreateWindowExW(0, WindowClass, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT,
                         frame.right - frame.left, frame.bottom - frame.top, nullptr, menu, instance_, this))
    return 1;
  // The bar's buttons load the common controls, which is slow on some platforms: the window
  // shows first and gets them with the next message.
  ::PostMessageW(hwnd_, WM_APP_CREATECONTROLS, 0, 0);
  Form_Load(args);
  loaded_ = true;
  // With a capture under way the main window stays hidden until the overlay closes.
  if (!CaptureForm || !CaptureForm->Visible()) ShowMainWindow();

  MSG m;
  while (::GetMessageW(&m, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&m);
    ::DispatchMessageW(&m);
  }
  return static_cast<int>(m.wParam);
}

void frmMain::ShowMainWindow() {
  ::ShowWindow(hwnd_, everShown_ ? SW_SHOW : SW_SHOWMAXIMIZED);
  everShown_ = true;
  ::SetForegroundWindow(hwnd_);
  ::UpdateWindow(hwnd_);
}

bool frmMain::CreateCaptureForm() {
  frmCapture::Owner owner;
  owner.imagesFolder = [this] { return saveImgsLoc; };
  owner.showMainWindow = [this] { ShowMainWindow(); };
  owner.capturedFile = [this](const std::wstring& path) { CaptureForm_CapturedFile(path); };
  auto form = std::make_unique<frmCapture>(instance_, std::move(owner));
  if (!form->Load()) return false;
  CaptureForm = std::move(form);
  return true;
}

void frmMain::ShowCaptureOverlay() {
  if (!CaptureForm) CreateCaptureForm();
  win::DoEvents();
  if (!CaptureForm) return;
  ::ShowWindow(hwnd_, SW_HIDE);
  CaptureForm->ActivateCapture();
}

void frmMain::cmdCapture_Click() {
  if (!CaptureForm) CreateCaptureForm();
  else if (!CaptureForm->Visible()) CaptureForm->Show();
  if (CaptureForm) CaptureForm->Rearm();
  ShowCaptureOverlay();
}

void frmMain::about_Click() {
  frmAbout::ShowModal(instance_, hwnd_, reinterpret_cast<HICON>(::GetClassLongPtrW(hwnd_, GCLP_HICON)));
}

void frmMain::OnCommand(int id, int code) {
  if (id == ids::about || id == ids::toolscolors) {
    if (code != 0) return;  // menu items only
    if (id == ids::about) about_Click();
    else toolscolors_Click();
    return;
  }
  // A quick second click on a button comes as a double click: it is a click all the same.
  if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return;
  switch (id) {
    case ids::cmdCapture0:
    case ids::cmdCapture1:
      cmdCapture_Click();
      break;
    case ids::cmdZoomIn:
      ZoomPicture(editor::ZoomInFactor);
      break;
    case ids::cmdZoomOut:
      ZoomPicture(editor::ZoomOutFactor);
      break;
    case ids::Commandback:
      Commandback_Click();
      break;
    case ids::Commandfwd:
      Commandfwd_Click();
      break;
    case ids::Command3_0:
    case ids::Command3_1:
      Command3_Click();
      break;
    case ids::Option1:
    case ids::Option2:
    case ids::Option3:
    case ids::Option4:
      OptionClick(id - ids::Option1);
      break;
    case ids::cmdSettings:
      cmdSettings_Click();
      break;
    case ids::cmdSetNextNumber:
      cmdSetNextNumber_Click();
      break;
    case ids::cmdCopyImage0:
    case ids::cmdCopyImage1:
      cmdCopyImage_Click();
      break;
    case ids::cmdPaste:
      cmdPaste_Click();
      break;
    case ids::Command2_0:
    case ids::Command2_1:
      Command2_Click();
      break;
    case ids::cmdSend2JIRA:
      cmdSend2JIRA_Click();
      break;
    case ids::cmdSend2Mirel:
      cmdSend2Mirel_Click();
      break;
    case ids::cmdDoneSettings:
      cmdDoneSettings_Click();
      break;
    default:
      break;
  }
}
