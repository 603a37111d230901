#include "editor/frmMain.h"

#include "base/resource_ids.h"
#include "editor/frmMain_ids.h"

namespace {
namespace ids = frmMainIds;
constexpr int RestoredClientWidth = 956, RestoredClientHeight = 684;

int ShiftState() {
  return (::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
         (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}
}  // namespace

win::WindowClass frmMain::ClassInfo() {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  win::WindowClass c{WindowClass, IDC_ARROW, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)};
  c.icon = ::LoadIconW(instance, MAKEINTRESOURCEW(IDI_APP));
  // Shared: the system frees it.
  c.smallIcon = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(IDI_APP), IMAGE_ICON,
                                                ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                                LR_SHARED));
  return c;
}

frmMain::frmMain() : editor_(Picture1, [this] { return GetNumberPrefix(); }) {}

LRESULT frmMain::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      OnClose();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      // Logging off closes the program like its close box: the settings are written.
      if (wParam && loaded_) Form_QueryUnload();
      return 0;
    case ids::WM_APP_CREATECONTROLS:
      CreateControls();
      return 0;
    case WM_SIZE:
      controls_.Form_Resize(LOWORD(lParam), HIWORD(lParam));
      return 0;
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      if (!controls_.DrawItem(item) && item.CtlID == ids::Picture2) DrawPreview(item);
      return TRUE;
    }
    case WM_TIMER:
      if (wParam == ids::Timer1) controls_.Timer1_Timer();
      if (wParam == ids::Timer2) Timer2_Timer();
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      // Keys reach the window itself only while none of its controls has the focus.
      Picture1_KeyUp(static_cast<int>(wParam), ShiftState());
      return msg == WM_SYSKEYUP ? Default(msg, wParam, lParam) : 0;
    case WM_DPICHANGED:
      controls_.OnDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return Default(msg, wParam, lParam);
  }
}

void frmMain::OnClose() {
  // Before start-up has finished (a message box of it is up) there is nothing to store.
  if (!loaded_) return;
  // A capture under way finishes first; its end closes the window.
  if (CaptureForm && CaptureForm->Capturing()) {
    closeAfterCapture_ = true;
    return;
  }
  Form_QueryUnload();
  ::DestroyWindow(hwnd());
}

int frmMain::Run(std::wstring_view args) {
  // A capture asked for on the command line is up before anything else: the caller's user
  // is waiting for it. The start-up (which hands it the call-back) goes on behind it.
  if (args.find(L"screencapture") != std::wstring_view::npos) CreateCaptureForm();

  HMENU menu = ::CreateMenu();
  ::AppendMenuW(menu, MF_STRING, ids::toolscolors, L"Tools");
  ::AppendMenuW(menu, MF_STRING, ids::about, L"About");

  // Created hidden: the start-up runs before the window is shown, as a form's load does.
  // Restored, its client area is 956 x 684 at 96 dpi, where the system puts new windows.
  const UINT dpi = ::GetDpiForSystem();
  RECT frame{0, 0, ::MulDiv(RestoredClientWidth, static_cast<int>(dpi), 96),
             ::MulDiv(RestoredClientHeight, static_cast<int>(dpi), 96)};
  ::AdjustWindowRectExForDpi(&frame, WS_OVERLAPPEDWINDOW, TRUE, 0, dpi);
  if (!Create(0, L"", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, CW_USEDEFAULT, CW_USEDEFAULT, frame.right - frame.left,
              frame.bottom - frame.top, nullptr, menu)) {
    ::DestroyMenu(menu);
    return 1;
  }
  // The bar's buttons load the common controls, which is slow on some platforms: the window
  // shows first and gets them with the next message.
  ::PostMessageW(hwnd(), ids::WM_APP_CREATECONTROLS, 0, 0);
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

void frmMain::OnCommand(int id, int code) {
  if (id == ids::about || id == ids::toolscolors) {
    if (code != 0) return;  // menu items only
    if (id == ids::about) about_Click();
    else controls_.toolscolors_Click();
    return;
  }
  // A quick second click on a button comes as a double click: it is a click all the same.
  if (code != BN_CLICKED && code != BN_DOUBLECLICKED) return;
  switch (id) {
    case ids::cmdCapture0:
    case ids::cmdCapture1:
      return cmdCapture_Click();
    case ids::cmdZoomIn:
      return ZoomPicture(editor::ZoomInFactor);
    case ids::cmdZoomOut:
      return ZoomPicture(editor::ZoomOutFactor);
    case ids::Commandback:
      return Commandback_Click();
    case ids::Commandfwd:
      return Commandfwd_Click();
    case ids::Command3_0:
    case ids::Command3_1:
      return Command3_Click();
    case ids::Option1:
    case ids::Option2:
    case ids::Option3:
    case ids::Option4:
      return OptionClick(id - ids::Option1);
    case ids::cmdArrow:
    case ids::cmdText:
    case ids::cmdRedact:
      return OptionClick(modAnnotations::ArrowDraw + (id - ids::cmdArrow));
    case ids::cmdSettings:
      return controls_.cmdSettings_Click();
    case ids::cmdSetNextNumber:
      return cmdSetNextNumber_Click();
    case ids::cmdCopyImage0:
    case ids::cmdCopyImage1:
      return cmdCopyImage_Click();
    case ids::cmdPaste:
      return cmdPaste_Click();
    case ids::Command2_0:
    case ids::Command2_1:
      return Command2_Click();
    case ids::cmdSend2JIRA:
      return cmdSend2JIRA_Click();
    case ids::cmdSend2Mirel:
      return cmdSend2Mirel_Click();
    case ids::cmdDoneSettings:
      return cmdDoneSettings_Click();
    default:
      return;
  }
}
