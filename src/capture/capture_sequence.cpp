#include "capture/capture_sequence.h"

#include "capture/modTopmost.h"

namespace {

constexpr auto RepaintLimit = std::chrono::milliseconds(250);
constexpr UINT RepaintPollMs = 5;

}  // namespace

void CaptureSequence::Start(HWND overlay, Request request, Finished finished) {
  if (Busy()) return;
  overlay_ = overlay;
  request_ = std::move(request);
  finished_ = std::move(finished);
  step_ = Step::HideOverlay;
  ::PostMessageW(overlay_, stepMessage_, 0, 0);
}

bool CaptureSequence::OnMessage(UINT msg, WPARAM wParam) {
  if (msg == stepMessage_) {
    Next();
    return true;
  }
  if (msg != WM_TIMER || wParam != repaintTimer_) return false;
  if (step_ == Step::WaitForRepaint && (Repainted() || std::chrono::steady_clock::now() >= repaintDeadline_)) {
    ::KillTimer(overlay_, repaintTimer_);
    GrabAndFinish();
  }
  return true;
}

void CaptureSequence::Next() {
  switch (step_) {
    case Step::HideOverlay:
      // Out of the way before the grab: layered windows are not left out of a screen copy on
      // every platform (Wine, some remote sessions), and the picture must hold only the
      // desktop. The selection is all colour-key hole (the bars stop at it), so what lies
      // beneath it is on the screen already; only the place of a panel that stood over it
      // may need a repaint.
      ::ShowWindow(overlay_, SW_HIDE);
      step_ = Step::Settle;
      ::PostMessageW(overlay_, stepMessage_, 0, 0);
      return;
    case Step::Settle:
      modTopmost::WaitForComposition();  // the overlay gone from a composed desktop
      if (Repainted()) return GrabAndFinish();
      step_ = Step::WaitForRepaint;
      repaintDeadline_ = std::chrono::steady_clock::now() + RepaintLimit;
      if (!::SetTimer(overlay_, repaintTimer_, RepaintPollMs, nullptr)) GrabAndFinish();
      return;
    case Step::WaitForRepaint:
    case Step::None:
      return;
  }
}

bool CaptureSequence::Repainted() const { return !request_.repainted || request_.repainted(); }

void CaptureSequence::GrabAndFinish() {
  const auto result = modScreenshot::CaptureScreenArea(picSnapshot_, request_.area, request_.folder);
  if (result.saved) SendCallBack(result.path);
  step_ = Step::None;
  const Finished finished = std::move(finished_);
  if (finished) finished(result);
}

void CaptureSequence::SendCallBack(const std::wstring& path) const {
  if (request_.callBack == 0) return;
  HWND target = reinterpret_cast<HWND>(static_cast<intptr_t>(request_.callBack));
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
