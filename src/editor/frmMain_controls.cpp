// The main window's controls, made as soon as the frame is up, and Form_Load's editor state.
#include "editor/frmMain.h"
#include "editor/frmMain_ids.h"

namespace ids = frmMainIds;

void frmMain::CreateControls() {
  if (controls_.Made()) return;
  editor::PictureView::Events events;
  events.mouseDown = [this](int b, int s, editor::PointF p) { Picture1_MouseDown(b, s, p); };
  events.mouseMove = [this](int b, int s, editor::PointF p) { Picture1_MouseMove(b, s, p); };
  events.mouseUp = [this](int b, int s, editor::PointF p) { Picture1_MouseUp(b, s, p); };
  events.keyUp = [this](int key, int shift) { Picture1_KeyUp(key, shift); };
  events.captureLost = [this] { Picture1_CaptureLost(); };
  events.textDone = [this](bool keep) { Picture1_TextDone(keep); };
  controls_.Create(hwnd(), Picture1, std::move(events));
  // The start-up picture, shown and not yet a state.
  HICON icon = reinterpret_cast<HICON>(::GetClassLongPtrW(hwnd(), GCLP_HICON));
  editor_.ShowUnrecorded(editor::PlaceholderPicture(icon, 258, 212));
  // The settings fields show the stored values, once they are loaded: with a capture asked
  // for on the command line the controls are made before the start-up reads them.
  if (settingsLoaded_) ShowSettingsFields();
  // The clipboard watcher runs from now on.
  ::SetTimer(hwnd(), ids::Timer2, 1500, nullptr);
  // The tool that matches ToolMode is checked, which runs its click handler.
  OptionClick(editor_.Tool());
}
