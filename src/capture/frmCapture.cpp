#include "capture/frmCapture.h"

#include <commctrl.h>

#include <algorithm>
#include <chrono>
#include <initializer_list>

#include "capture/modScreenshot.h"
#include "capture/modTopmost.h"
#include "win/common_controls.h"
#include "win/dib.h"
#include "win/error_text.h"
#include "win/glyph_button.h"
#include "win/message_box.h"
#include "win/pump.h"
#include "win/window_owner.h"
#include "win/window_text.h"

namespace {

constexpr UINT_PTR TimerCrosshairsRedraw = 1;
constexpr UINT CrosshairsInterval = 10;
constexpr COLORREF Shade = RGB(64, 64, 64);
constexpr COLORREF Orange = RGB(255, 128, 0);
constexpr int BarThickness = 5;
constexpr int PanelWidth = 73, PanelHeight = 35;  // 1095 x 525 twips
constexpr int ButtonSize = 25;                     // 375 twips
// Waits for the desktop composition to show the overlay hidden, where there is one.
void WaitForComposition() {
  static const auto flush = [] {
    HRESULT(WINAPI * fn)() = nullptr;
    win::GetProc(::LoadLibraryW(L"dwmapi.dll"), fn, "DwmFlush");
    return fn;
  }();
  if (flush) flush();
}

uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// Waits, up to a quarter second, until no pixel of the screen in the rectangle (screen
// pixels) shows the panel's orange or the overlay's key colour any more: the windows
// beneath repaint the place the panel left, ours among them. Where the desktop is composed,
// or screen copies leave the overlay out, that is so at once.
void WaitForRepaintUnder(const RECT& r) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(250);
  const int w = r.right - r.left, h = r.bottom - r.top;
  win::DibSection seen(w, h);
  win::window_dc screen(nullptr);
  if (!seen || !screen) return;
  const uint32_t panel = Rgb(Orange), key = Rgb(modTransparency::ColourKey);
  while (std::chrono::steady_clock::now() < end) {
    if (!::BitBlt(seen.dc(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY)) return;
    ::GdiFlush();
    const uint32_t* px = seen.pixels();
    if (std::none_of(px, px + seen.pixelCount(), [&](uint32_t p) { p &= 0xFFFFFF; return p == panel || p == key; }))
      return;
    win::PumpFor(5);
  }
}

const win::GlyphFace ScreenPrintFace{L"Wingdings", 15.75, L'!', RGB(255, 255, 255), win::DrawPencil};
const win::GlyphFace CancelFace{L"Wingdings", 15.75, L'x', RGB(255, 255, 255), win::DrawBoxedCross};

RECT ToRect(const frmCaptureRules::Rect& r) { return RECT{r.left, r.top, r.left + r.width, r.top + r.height}; }

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
  ::SetBkColor(dc, colour);
  ::ExtTextOutW(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
}

void RegisterClasses(HINSTANCE instance, WNDPROC overlay, WNDPROC panel) {
  static bool done = false;
  if (done) return;
  WNDCLASSEXW wc{sizeof wc};
  wc.lpfnWndProc = overlay;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_CROSS);
  wc.lpszClassName = frmCapture::WindowClass;
  ::RegisterClassExW(&wc);
  wc.lpfnWndProc = panel;
  wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  wc.lpszClassName = L"MirelLumo.picButtons";
  ::RegisterClassExW(&wc);
  done = true;
}

// Posted when the overlay first shows: the panel is made right after, off the start's path.
constexpr UINT WM_APP_CREATEPANEL = WM_APP + 1;
// TimerCrosshairsRedraw's tick from the ticker thread.
constexpr UINT WM_APP_TICK = WM_APP + 2;

// Microseconds of a steady high-resolution clock: the throttle's interval is not rounded to
// the system clock's 15.6 ms.
int64_t NowUs() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

frmCapture::frmCapture(HINSTANCE instance, Owner owner) : instance_(instance), owner_(std::move(owner)) {}

frmCapture::~frmCapture() {
  if (hwnd_) ::DestroyWindow(hwnd_);
}

int frmCapture::Scaled(int pixelsAt96) const {
  const UINT dpi = hwnd_ ? ::GetDpiForWindow(hwnd_) : 96;
  return ::MulDiv(pixelsAt96, dpi ? static_cast<int>(dpi) : 96, 96);
}

bool frmCapture::Load() {
  RegisterClasses(instance_, &frmCapture::WindowProc, &frmCapture::PanelProc);
  // Made layered and at the desktop's size at once: every later change of either costs a
  // new window surface on some platforms.
  const int32_t left = clsMonitors::DesktopLeft(), top = clsMonitors::DesktopTop();
  const int32_t width = clsMonitors::DesktopWidth(), height = clsMonitors::DesktopHeight();
  hwnd_ = ::CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_LAYERED, WindowClass, L"Mirel Lumo Capture",
                            WS_POPUP, left, top, width, height, nullptr, nullptr, instance_, this);
  if (!hwnd_) return false;
  // The colour key is on only while a selection shows its hole: a keyed layered window
  // costs every redraw of the crosshairs more on some platforms.
  modTransparency::SetTranslucency(hwnd_, OverlayAlpha, false);
  keyed_ = false;
  CoverDesktop(left, top, width, height);
  win::DoEvents();
  o_.mUpdateCrosshairs = true;
  modTopmost::MakeTopmost(hwnd_, true);
  SetTimerEnabled(true);
  Show();
  ::PostMessageW(hwnd_, WM_APP_CREATEPANEL, 0, 0);
  return true;
}

void frmCapture::CreatePanel() {
  if (picButtons_) return;
  // The monitor list asks the taskbar for its place, a round trip to the shell: it is made
  // here, after the overlay is up, with the panel.
  if (!monitors_) monitors_ = std::make_unique<clsMonitors>();
  // Common controls (the tooltips) are loaded with the panel, not with every start.
  win::InitCommonControlsOnce();
  panelBrush_.reset(::CreateSolidBrush(Orange));
  picButtons_ = ::CreateWindowExW(0, L"MirelLumo.picButtons", L"", WS_CHILD, 0, 0, Scaled(PanelWidth),
                                  Scaled(PanelHeight), hwnd_, nullptr, instance_, this);
  // The captions are the symbol characters; the tooltips say what they do.
  cmdScreenPrint_ = win::CreateGlyphButton(picButtons_, IdScreenPrint, L"!", Scaled(8), Scaled(6), Scaled(ButtonSize),
                                           Scaled(ButtonSize));
  cmdCancel_ = win::CreateGlyphButton(picButtons_, IdCancel, L"x", Scaled(41), Scaled(6), Scaled(ButtonSize),
                                      Scaled(ButtonSize));
  glyphFont_ = win::CreateSymbolFont(ScreenPrintFace, ::GetDpiForWindow(hwnd_));
  tooltip_ = win::CreateTooltipWindow(hwnd_);
  win::AddTooltip(tooltip_, picButtons_, cmdScreenPrint_, L"  Capture Screenshot");
  win::AddTooltip(tooltip_, picButtons_, cmdCancel_, L"  Cancel  ");
}

void frmCapture::CoverDesktop(int32_t left, int32_t top, int32_t width, int32_t height) {
  ::SetWindowPos(hwnd_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
  win::DoEvents();
}

void frmCapture::Show() {
  o_.visible = true;
  ::ShowWindow(hwnd_, SW_SHOW);
  ::SetForegroundWindow(hwnd_);
  ::SetFocus(hwnd_);
}

bool frmCapture::Visible() const { return hwnd_ && ::IsWindowVisible(hwnd_); }

void frmCapture::ActivateCapture() {
  const auto before = o_;
  frmCaptureRules::Activate(o_);
  ::ShowWindow(picButtons_, SW_HIDE);
  InvalidateChanges(before);
  Show();
}

void frmCapture::Rearm() {
  frmCaptureRules::Rearm(o_);
  SetTimerEnabled(true);
}

void frmCapture::SetTimerEnabled(bool on) {
  o_.timerEnabled = on;
  if (on && !timerRunning_) {
    // The ticker keeps the 10 ms where SetTimer's ticks come late or rounded up.
    onTicker_ = ticker_.Start(hwnd_, WM_APP_TICK, CrosshairsInterval);
    timerRunning_ = onTicker_ || ::SetTimer(hwnd_, TimerCrosshairsRedraw, CrosshairsInterval, nullptr) != 0;
  }
  if (!on && timerRunning_) {
    if (onTicker_) ticker_.Stop();
    else ::KillTimer(hwnd_, TimerCrosshairsRedraw);
    timerRunning_ = false;
  }
}

void frmCapture::InvalidateChanges(const frmCaptureRules::Overlay& before) {
  RECT client;
  ::GetClientRect(hwnd_, &client);
  // Only a bar that moved: the two bars span the desktop, and a crossing pair of them makes
  // the whole desktop's box go to the screen on some platforms.
  if (before.horizTop != o_.horizTop) {
    for (const int top : {before.horizTop, o_.horizTop}) {
      const RECT h{0, top, client.right, top + BarThickness};
      ::InvalidateRect(hwnd_, &h, FALSE);
    }
  }
  if (before.vertLeft != o_.vertLeft) {
    for (const int left : {before.vertLeft, o_.vertLeft}) {
      const RECT v{left, 0, left + BarThickness, client.bottom};
      ::InvalidateRect(hwnd_, &v, FALSE);
    }
  }
  if (before.recordArea != o_.recordArea || before.recordAreaVisible != o_.recordAreaVisible) {
    RECT a = ToRect(before.recordArea), b = ToRect(o_.recordArea), u;
    ::UnionRect(&u, &a, &b);
    ::InvalidateRect(hwnd_, &u, FALSE);
  }
}

void frmCapture::Paint() {
  // The key goes on before a hole is painted, and off only once the hole is painted over.
  if (o_.recordAreaVisible && !keyed_) keyed_ = modTransparency::SetTranslucency(hwnd_, OverlayAlpha, true);
  PAINTSTRUCT ps;
  HDC dc = ::BeginPaint(hwnd_, &ps);
  RECT client;
  ::GetClientRect(hwnd_, &client);
  const RECT h{0, o_.horizTop, client.right, o_.horizTop + BarThickness};
  const RECT v{o_.vertLeft, 0, o_.vertLeft + BarThickness, client.bottom};
  const RECT hole = o_.recordAreaVisible ? ToRect(o_.recordArea) : RECT{};
  // Every pixel is painted once, in its final colour, so nothing flickers without a back
  // buffer; the update region clips it all to what changed. The bars stop at the selection:
  // it stays all hole, so what lies beneath it is on the screen already when the overlay
  // goes for the grab.
  const int saved = ::SaveDC(dc);
  for (const RECT& r : {h, v, hole}) ::ExcludeClipRect(dc, r.left, r.top, r.right, r.bottom);
  FillSolid(dc, ps.rcPaint, Shade);
  ::RestoreDC(dc, saved);
  if (o_.recordAreaVisible) {
    FillSolid(dc, hole, modTransparency::ColourKey);
    ::ExcludeClipRect(dc, hole.left, hole.top, hole.right, hole.bottom);
  }
  FillSolid(dc, h, Orange);
  FillSolid(dc, v, Orange);
  ::EndPaint(hwnd_, &ps);
  if (!o_.recordAreaVisible && keyed_) keyed_ = !modTransparency::SetTranslucency(hwnd_, OverlayAlpha, false);
}

void frmCapture::Form_MouseMove(int x, int y) {
  const auto before = o_;
  // Painted at once: a stream of mouse messages would otherwise hold the paint back.
  if (frmCaptureRules::MouseMove(o_, {x, y}, NowUs())) {
    InvalidateChanges(before);
    ::UpdateWindow(hwnd_);
  }
}

void frmCapture::Form_MouseDown(int x, int y) {
  const auto before = o_;
  ::ShowWindow(picButtons_, SW_HIDE);
  frmCaptureRules::LeftPress(o_, {x, y});
  SetTimerEnabled(true);
  InvalidateChanges(before);
}

void frmCapture::Form_MouseUp(int x, int y) {
  const auto before = o_;
  RECT client;
  ::GetClientRect(hwnd_, &client);
  const bool completed = frmCaptureRules::LeftRelease(o_, {x, y}, Scaled(PanelWidth), Scaled(PanelHeight), client.bottom);
  InvalidateChanges(before);
  if (!completed) return;
  SetTimerEnabled(false);
  CreatePanel();
  ::SetWindowPos(picButtons_, HWND_TOP, o_.buttonsAt.x, o_.buttonsAt.y, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

void frmCapture::Form_KeyUp(WPARAM key) {
  if (key == VK_ESCAPE) CloseOverlay();
}

void frmCapture::TimerCrosshairsRedraw_Timer() {
  const auto before = o_;
  if (frmCaptureRules::Tick(o_, NowUs())) {
    InvalidateChanges(before);
    ::UpdateWindow(hwnd_);
  }
}

void frmCapture::CloseOverlay() {
  const auto before = o_;
  frmCaptureRules::Close(o_);
  SetTimerEnabled(false);
  ::ShowWindow(picButtons_, SW_HIDE);
  InvalidateChanges(before);
  win::DoEvents();
  ::ShowWindow(hwnd_, SW_HIDE);
  win::DoEvents();
  if (owner_.showMainWindow) owner_.showMainWindow();
}

void frmCapture::cmdCancel_Click() { CloseOverlay(); }

void frmCapture::cmdScreenPrint_Click() {
  // The capture lets messages run while the overlay gets out of the way: a second click, an
  // Escape or a close must not start or end anything meanwhile.
  if (capturing_) return;
  capturing_ = true;
  struct Done {
    bool& flag;
    ~Done() { flag = false; }
  } done{capturing_};
  RECT window;
  ::GetWindowRect(hwnd_, &window);
  RECT area = ToRect(o_.recordArea);
  ::OffsetRect(&area, window.left, window.top);
  // Released near the desktop's top or bottom, the panel stands over the selection.
  RECT panel{}, underPanel{};
  ::GetWindowRect(picButtons_, &panel);
  const bool panelOverSelection = ::IntersectRect(&underPanel, &panel, &area) != FALSE;
  ::ShowWindow(picButtons_, SW_HIDE);
  win::DoEvents();

  // Out of the way before the grab: layered windows are not left out of a screen copy on
  // every platform (Wine, some remote sessions), and the picture must hold only the desktop.
  // The selection is all colour-key hole (the bars stop at it), so what lies beneath it is on
  // the screen already and needs no repaint once the overlay is gone; only the place of a
  // panel that stood over it may.
  ::ShowWindow(hwnd_, SW_HIDE);
  win::DoEvents();
  WaitForComposition();
  if (panelOverSelection) WaitForRepaintUnder(underPanel);
  const std::wstring folder = owner_.imagesFolder ? owner_.imagesFolder() : std::wstring();
  const auto result = modScreenshot::CaptureScreenArea(picSnapshot_, area, folder);

  if (result.saved) SendCallBack(result.path);
  CloseOverlay();
  if (!result.saved) {
    win::ShowMessage(nullptr,
                     L"The screenshot could not be saved in the images folder \"" + folder + L"\".\r\n\r\n" +
                         win::SystemErrorText(result.error),
                     L"Mirel Lumo", MB_OK | MB_ICONSTOP);
    return;
  }
  if (owner_.capturedFile) owner_.capturedFile(result.path);
}

void frmCapture::SendCallBack(const std::wstring& path) {
  if (callBack_ == 0) return;
  HWND target = reinterpret_cast<HWND>(static_cast<intptr_t>(callBack_));
  if (!::IsWindow(target) || ::GetFileAttributesW(path.c_str()) == INVALID_FILE_ATTRIBUTES) return;
  COPYDATASTRUCT cds{};
  cds.dwData = 0;
  cds.cbData = static_cast<DWORD>(path.size() * sizeof(wchar_t));
  cds.lpData = const_cast<wchar_t*>(path.data());
  DWORD_PTR answer = 0;
  // A hung caller must not freeze the overlay.
  ::SendMessageTimeoutW(target, WM_COPYDATA, 100, reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG | SMTO_BLOCK,
                        5000, &answer);
}

LRESULT CALLBACK frmCapture::WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = win::WindowOwner<frmCapture>(hwnd, msg, lParam);
  if (!self) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  if (msg == WM_NCCREATE) self->hwnd_ = hwnd;
  return self->HandleMessage(msg, wParam, lParam);
}

LRESULT CALLBACK frmCapture::PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = win::WindowOwner<frmCapture>(hwnd, msg, lParam);
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      ::GetClientRect(hwnd, &r);
      if (self) ::FillRect(reinterpret_cast<HDC>(wParam), &r, self->panelBrush_.get());
      return 1;
    }
    case WM_COMMAND:
    case WM_DRAWITEM:
      if (self) return self->HandleMessage(msg, wParam, lParam);
      break;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

LRESULT frmCapture::HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  if (capturing_ && (msg == WM_KEYUP || msg == WM_CLOSE || msg == WM_COMMAND || msg == WM_LBUTTONDOWN ||
                     msg == WM_LBUTTONUP))
    return 0;
  switch (msg) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_APP_CREATEPANEL:
      CreatePanel();
      return 0;
    case WM_TIMER:
      if (wParam == TimerCrosshairsRedraw) TimerCrosshairsRedraw_Timer();
      return 0;
    case WM_APP_TICK:
      ticker_.Handled();
      if (timerRunning_) TimerCrosshairsRedraw_Timer();
      return 0;
    case WM_MOUSEMOVE:
      Form_MouseMove(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_LBUTTONDOWN:
      ::SetCapture(hwnd_);
      Form_MouseDown(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_LBUTTONUP:
      ::ReleaseCapture();
      Form_MouseUp(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
      return 0;
    case WM_KEYUP:
      Form_KeyUp(wParam);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) {
        if (LOWORD(wParam) == IdScreenPrint) cmdScreenPrint_Click();
        if (LOWORD(wParam) == IdCancel) cmdCancel_Click();
      }
      return 0;
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      win::DrawGlyphButton(item, item.CtlID == IdScreenPrint ? ScreenPrintFace : CancelFace, glyphFont_.get());
      return TRUE;
    }
    case WM_CLOSE:
      CloseOverlay();  // the overlay is hidden, never closed, while the program runs
      return 0;
    default:
      return ::DefWindowProcW(hwnd_, msg, wParam, lParam);
  }
}
