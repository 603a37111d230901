// The main window's side of a capture: the overlay made and shown, the main window hidden
// meanwhile and back with the captured file open.
#include "editor/frmMain.h"

void frmMain::HideCaptureOverlay() {
  if (CaptureForm) CaptureForm->Hide();
}

void frmMain::ShowMainWindow() {
  ::ShowWindow(hwnd(), everShown_ ? SW_SHOW : SW_SHOWMAXIMIZED);
  everShown_ = true;
  ::SetForegroundWindow(hwnd());
  ::UpdateWindow(hwnd());
}

bool frmMain::CreateCaptureForm(bool show) {
  frmCapture::Owner owner;
  owner.imagesFolder = [this] { return saveImgsLoc; };
  owner.showMainWindow = [this] { ShowMainWindow(); };
  owner.capturedFile = [this](const std::wstring& path) { CaptureForm_CapturedFile(path); };
  owner.captureEnded = [this] {
    if (closeAfterCapture_) ::PostMessageW(hwnd(), WM_CLOSE, 0, 0);
  };
  auto form = std::make_unique<frmCapture>(std::move(owner));
  if (!form->Load(show)) return false;
  CaptureForm = std::move(form);
  return true;
}

void frmMain::ShowCaptureOverlay() {
  if (!CaptureForm && !CreateCaptureForm()) return;
  ::ShowWindow(hwnd(), SW_HIDE);
  CaptureForm->ActivateCapture();
}

void frmMain::cmdCapture_Click() {
  // The main window goes first: the overlay shows once the desktop beneath it is settled, so
  // that the magnifier shows the desktop and not the window that just left.
  if (!CaptureForm && !CreateCaptureForm(false)) return;
  CaptureForm->Rearm();
  ::ShowWindow(hwnd(), SW_HIDE);
  CaptureForm->ActivateAfterSettling();
}

void frmMain::CaptureForm_CapturedFile(const std::wstring& path) {
  CreateControls();  // made already, unless the capture came before the first message
  LoadImageFile(path);  // on failure the message is shown and the picture before stays
  ::ShowWindow(hwnd(), SW_SHOWMAXIMIZED);
  everShown_ = true;
}

