// The capture sequence of the overlay: the panel and the overlay get out of the way, the
// windows beneath repaint, the selection is grabbed and saved, the caller is told, and the
// main window opens the file. Each step runs from a posted message or a timer.
#include <algorithm>

#include "capture/frmCapture.h"
#include "capture/modScreenshot.h"
#include "capture/modTopmost.h"
#include "win/dib.h"
#include "win/error_text.h"
#include "win/library.h"
#include "win/message_box.h"

namespace {

constexpr auto RepaintLimit = std::chrono::milliseconds(250);
constexpr UINT RepaintPollMs = 5;

// Waits for the desktop composition to show the overlay hidden, where there is one.
void WaitForComposition() {
  static const win::Library dwmapi(L"dwmapi.dll");
  static const auto flush = dwmapi.Function<HRESULT(WINAPI*)()>("DwmFlush");
  if (flush) flush();
}

uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// No pixel of the screen in the rectangle shows the panel's orange or the overlay's key
// colour any more: the windows beneath have repainted the place the panel left. Where the
// desktop is composed, or screen copies leave the overlay out, that is so at once.
bool RepaintedUnder(const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  win::DibSection seen(w, h);
  win::window_dc screen(nullptr);
  if (!seen || !screen || !::BitBlt(seen.dc(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY)) return true;
  ::GdiFlush();
  const uint32_t panel = Rgb(RGB(255, 128, 0)), key = Rgb(modTransparency::ColourKey);
  const uint32_t* px = seen.pixels();
  return std::none_of(px, px + seen.pixelCount(), [&](uint32_t p) {
    p &= 0xFFFFFF;
    return p == panel || p == key;
  });
}

}  // namespace

void frmCapture::cmdScreenPrint_Click() {
  if (Capturing()) return;
  RECT window;
  ::GetWindowRect(hwnd(), &window);
  captureArea_ = RECT{o_.recordArea.left, o_.recordArea.top, o_.recordArea.left + o_.recordArea.width,
                      o_.recordArea.top + o_.recordArea.height};
  ::OffsetRect(&captureArea_, window.left, window.top);
  // Released near the desktop's top or bottom, the panel stands over the selection.
  const RECT panel = picButtons_.ScreenRect();
  if (!::IntersectRect(&underPanel_, &panel, &captureArea_)) underPanel_ = RECT{};
  picButtons_.Hide();
  step_ = CaptureStep::HideOverlay;
  ::PostMessageW(hwnd(), WM_APP_CAPTURESTEP, 0, 0);
}

void frmCapture::NextCaptureStep() {
  switch (step_) {
    case CaptureStep::HideOverlay:
      // Out of the way before the grab: layered windows are not left out of a screen copy on
      // every platform (Wine, some remote sessions), and the picture must hold only the
      // desktop. The selection is all colour-key hole (the bars stop at it), so what lies
      // beneath it is on the screen already; only the place of a panel that stood over it
      // may need a repaint.
      ::ShowWindow(hwnd(), SW_HIDE);
      step_ = CaptureStep::Settle;
      ::PostMessageW(hwnd(), WM_APP_CAPTURESTEP, 0, 0);
      return;
    case CaptureStep::Settle:
      WaitForComposition();
      if (::IsRectEmpty(&underPanel_) || RepaintedUnder(underPanel_)) return GrabAndFinish();
      step_ = CaptureStep::WaitForRepaint;
      repaintDeadline_ = std::chrono::steady_clock::now() + RepaintLimit;
      if (!::SetTimer(hwnd(), RepaintTimer, RepaintPollMs, nullptr)) GrabAndFinish();
      return;
    case CaptureStep::WaitForRepaint:
    case CaptureStep::None:
      return;
  }
}

void frmCapture::CheckRepaint() {
  if (step_ != CaptureStep::WaitForRepaint) return;
  if (!RepaintedUnder(underPanel_) && std::chrono::steady_clock::now() < repaintDeadline_) return;
  ::KillTimer(hwnd(), RepaintTimer);
  GrabAndFinish();
}

void frmCapture::GrabAndFinish() {
  // Whatever happens below, the capture is over when this returns.
  struct Ended {
    frmCapture& form;
    ~Ended() {
      form.step_ = CaptureStep::None;
      if (form.owner_.captureEnded) form.owner_.captureEnded();
    }
  } ended{*this};
  const std::wstring folder = owner_.imagesFolder ? owner_.imagesFolder() : std::wstring();
  const auto result = modScreenshot::CaptureScreenArea(picSnapshot_, captureArea_, folder);
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

void frmCapture::SendCallBack(const std::wstring& path) const {
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
