#include "editor/frmMain.h"

#include "app/resource.h"
#include "shell/frmAbout.h"
#include "win/glyph_button.h"
#include "win/pump.h"
#include "win/window_owner.h"

namespace {
constexpr int IdCapture0 = 1001;
constexpr int IdAbout = 2001;  // menu item "About"
// Posted before the first show: the controls are made as soon as the frame is up.
constexpr UINT WM_APP_CREATECONTROLS = WM_APP + 1;
constexpr int BottomBarHeight = 50;  // 2.5 x BottomBarUnit (20)
const win::GlyphFace CaptureFace{L"Webdings", 21.75, L'`', ::GetSysColor(COLOR_BTNFACE), win::DrawCamera};
}  // namespace

LRESULT CALLBACK frmMain::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = win::WindowOwner<frmMain>(hwnd, msg, lParam);
  if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
  return self->HandleMessage(msg, wParam, lParam);
}

LRESULT frmMain::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_CLOSE:
      // Before start-up has finished (a message box of it is up) there is nothing to store.
      if (!loaded_) return 0;
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
      if (LOWORD(wParam) == IdCapture0 && HIWORD(wParam) == BN_CLICKED) cmdCapture_Click();
      if (LOWORD(wParam) == IdAbout && HIWORD(wParam) == 0) about_Click();
      return 0;
    case WM_DRAWITEM:
      OnDrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
      return TRUE;
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
  ::AppendMenuW(menu, MF_STRING, IdAbout, L"About");

  // Created hidden: the start-up runs before the window is shown, as a form's load does.
  if (!::CreateWindowExW(0, WindowClass, L"", WS_OVERLAPPEDWINDOW, CW_USEDEFAULT, CW_USEDEFAULT,
                         CW_USEDEFAULT, CW_USEDEFAULT, nullptr, menu, instance_, this))
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

void frmMain::CreateControls() {
  if (cmdCapture_) return;
  cmdCapture_ = win::CreateGlyphButton(hwnd_, IdCapture0, L"Screen Capture", 488, 640, 41, 41);
  RECT client;
  ::GetClientRect(hwnd_, &client);
  Form_Resize(client.right, client.bottom);
}

void frmMain::Form_Resize(int, int clientHeight) {
  const int barLine = clientHeight - BottomBarHeight;
  if (cmdCapture_) ::SetWindowPos(cmdCapture_, nullptr, 488, barLine + 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
}

void frmMain::OnDrawItem(const DRAWITEMSTRUCT& item) {
  // Fonts are made when first drawn, after the window shows: the font system's first use
  // is slow on some platforms and should not delay the start.
  if (!glyphFont_) glyphFont_ = win::CreateSymbolFont(CaptureFace, ::GetDpiForWindow(hwnd_));
  if (item.CtlID == IdCapture0) win::DrawGlyphButton(item, CaptureFace, glyphFont_.get());
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

void frmMain::CaptureForm_CapturedFile(const std::wstring&) {
  // The editor opens the picture; until then the window simply comes back maximised.
  ::ShowWindow(hwnd_, SW_SHOWMAXIMIZED);
  everShown_ = true;
}

void frmMain::about_Click() {
  frmAbout::ShowModal(instance_, hwnd_, reinterpret_cast<HICON>(::GetClassLongPtrW(hwnd_, GCLP_HICON)));
}
