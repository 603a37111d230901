// The editor of the main window: the picture and its history, zoom, the drawing tools,
// numbered markers and the keys.
#include <algorithm>
#include <cmath>
#include <string>
#include <utility>

#include "editor/drawing.h"
#include "editor/frmMain.h"
#include "editor/frmMain_ids.h"
#include "editor/marker_rules.h"
#include "editor/modAnnotations.h"
#include "editor/picture_io.h"
#include "shell/text.h"
#include "win/input_box.h"
#include "win/message_box.h"
#include "win/window_text.h"

namespace ids = frmMainIds;
using editor::PointF;

// ---- The picture and its history.

void frmMain::CaptureForm_CapturedFile(const std::wstring& path) {
  CreateControls();
  LoadImageFile(path);  // on failure the message is shown and the picture before stays
  ::ShowWindow(hwnd_, SW_SHOWMAXIMIZED);
  everShown_ = true;
}

bool frmMain::LoadImageFile(const std::wstring& path) {
  CreateControls();
  std::wstring why;
  auto image = editor::LoadPictureFile(path, why);
  if (!image) {
    win::ShowMessage(hwnd_, L"The picture could not be opened.\r\n\r\n" + path + L"\r\n\r\n" + why,
                     L"Mirel Lumo", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  CancelDrag();  // an outline belongs to the picture it was drawn on
  if (!Picture1.ReplacePicture(std::move(*image))) {
    win::ShowMessage(hwnd_, L"The picture could not be opened.\r\n\r\n" + path + L"\r\n\r\nThere is not enough memory for it.",
                     L"Mirel Lumo", MB_OK | MB_ICONEXCLAMATION);
    return false;
  }
  ClearHistory();
  RecordHistory();
  return true;
}

void frmMain::ClearHistory() {
  history_.Clear();
  AnnotationCounter = 0;
}

void frmMain::RecordHistory() {
  history_.RecordFirst(AnnotationCounter);
  EnableSharing();
}

void frmMain::BakeAndRecord() {
  ::GdiFlush();  // every drawing call has reached the pixels
  history_.Record(Picture1.StoredPicture(), Picture1.BackPixels(), AnnotationCounter);
  Picture1.MarkBaked();
  EnableSharing();
}

void frmMain::EnableSharing() {
  for (int id : {ids::cmdSend2JIRA, ids::cmdSend2Mirel})
    if (HWND h = Control(id)) ::EnableWindow(h, TRUE);
}

void frmMain::CancelDrag() {
  // An outline on the screen belongs to the picture it was drawn on.
  if (RubberShown) DrawRubberBand(RubberStart, RubberEnd);
  RubberShown = false;
}

void frmMain::Picture1_CaptureLost() {
  // The drag ends without a release (another window took the mouse): what it showed goes.
  CancelDrag();
  Picture1.DiscardUnbaked();
  pressedOnPicture_ = false;
}

void frmMain::Commandback_Click() {
  CancelDrag();
  if (const auto area = history_.Undo(Picture1.StoredPicture())) {
    Picture1.AssignChangedPicture(*area);
    AnnotationCounter = history_.CounterAtCursor();
  }
}

void frmMain::Commandfwd_Click() {
  CancelDrag();
  if (const auto area = history_.Redo(Picture1.StoredPicture())) {
    Picture1.AssignChangedPicture(*area);
    AnnotationCounter = history_.CounterAtCursor();
  }
}

void frmMain::ZoomPicture(double zoom) {
  // Only the shown size changes; a step beyond the bounds is not taken.
  if (const auto size = editor::ZoomedSize(Picture1.ShownSize(), zoom)) Picture1.SetShownSize(*size);
}

// ---- Drawing tools.

void frmMain::OptionClick(int32_t toolMode) {
  ToolMode = toolMode;
  Picture1.SetSizeAllPointer(toolMode == modAnnotations::NoDraw);
}

void frmMain::Picture1_MouseDown(int button, int, PointF shown) {
  const PointF at = Picture1.ToPicture(shown);
  if (button == 1) pressedOnPicture_ = true;
  if ((ToolMode == modAnnotations::BoxDraw || ToolMode == modAnnotations::LineDraw) && button == 1) {
    RubberStart = RubberEnd = at;
    RubberShown = false;
  }
  // A stroke starts where it is pressed, even when no move came before the press.
  if (ToolMode == modAnnotations::FreeDraw && button == 1) LastStrokePoint = at;
  // The picture before the first drawing is a state of its own.
  if (!Picture1.SizeAllPointer() && ToolMode != modAnnotations::NoDraw && history_.Count() == 0) RecordHistory();
}

void frmMain::DrawRubberBand(PointF from, PointF to) {
  using namespace editor::draw;
  const RECT r = ToolMode == modAnnotations::BoxDraw ? BoxOutline(Picture1.BackBuffer(), from, to, RubberColour, Mode::Invert)
                                                     : Segment(Picture1.BackBuffer(), from, to, RubberColour, Mode::Invert);
  Picture1.BackBufferDrawn(r);
}

void frmMain::Picture1_MouseMove(int button, int shift, PointF shown) {
  if (Picture1.SizeAllPointer()) {
    // Only a press on the picture drags it; a button held from elsewhere only hovers.
    pic_mainview_MouseMove(pressedOnPicture_ ? button : (button & ~1), -1, shown);
    return;
  }
  (void)shift;
  const PointF at = Picture1.ToPicture(shown);
  // A drag draws only when it began on the picture: one that comes in from elsewhere has no
  // start here.
  const bool dragging = button == 1 && pressedOnPicture_;
  if (ToolMode == modAnnotations::FreeDraw) {
    if (dragging) {
      using namespace editor::draw;
      Picture1.BackBufferDrawn(Segment(Picture1.BackBuffer(), LastStrokePoint, at, Red, Mode::CopyPen));
    }
    LastStrokePoint = at;
  } else if ((ToolMode == modAnnotations::BoxDraw || ToolMode == modAnnotations::LineDraw) && dragging) {
    if (RubberShown) DrawRubberBand(RubberStart, RubberEnd);  // inverting again restores the pixels
    DrawRubberBand(RubberStart, at);
    RubberEnd = at;
    RubberShown = true;
  }
}

void frmMain::Picture1_MouseUp(int button, int, PointF shown) {
  using namespace editor::draw;
  if (button != 1) return;
  // A release whose press was elsewhere (a double click on the title bar, say) draws nothing.
  if (!std::exchange(pressedOnPicture_, false) || Picture1.SizeAllPointer()) return;
  const PointF at = Picture1.ToPicture(shown);
  const bool drawing = ToolMode >= modAnnotations::FreeDraw && ToolMode <= modAnnotations::LineDraw;
  PointF marker = at;
  if (ToolMode == modAnnotations::BoxDraw || ToolMode == modAnnotations::LineDraw) {
    // The last outline goes first, wherever the release is: no inverted remnant stays.
    if (RubberShown) DrawRubberBand(RubberStart, RubberEnd);
    RubberShown = false;
    HDC dc = Picture1.BackBuffer();
    Picture1.BackBufferDrawn(ToolMode == modAnnotations::BoxDraw ? BoxOutline(dc, RubberStart, at, Red, Mode::CopyPen)
                                                                 : Segment(dc, RubberStart, at, Red, Mode::CopyPen));
    marker = modAnnotations::MarkerPoint(ToolMode, RubberStart, at);
  }
  const int32_t counterBefore = AnnotationCounter;
  if (drawing && NumberingOn) {
    AnnotationCounter += 1;
    const std::wstring text = modAnnotations::MarkerText(GetNumberPrefix(), AnnotationCounter);
    Picture1.BackBufferDrawn(modAnnotations::DrawNumberedAnnotation(Picture1.BackBuffer(), text, marker.x, marker.y,
                                                                   modAnnotations::MarkerPoints, 0xFFFFFF, Red));
  }
  if (!drawing) return;
  try {
    BakeAndRecord();
  } catch (...) {
    // Not recorded: the shape and its number are taken back with it.
    AnnotationCounter = counterBefore;
    Picture1.DiscardUnbaked();
    throw;
  }
}

void frmMain::pic_mainview_MouseMove(int button, int shift, PointF shown) {
  if (shift != -1) return;  // only the moves Picture1 hands on in no-draw mode
  if (button == 0) {
    DragAnchor = shown;
  } else if (button == 1) {
    const POINT pos = Picture1.Position();
    Picture1.MoveTo(pos.x + static_cast<int>(std::lround(shown.x - DragAnchor.x)),
                    pos.y + static_cast<int>(std::lround(shown.y - DragAnchor.y)));
  }
}

// ---- Numbered markers.

void frmMain::Command3_Click() {
  NumberingOn = !NumberingOn;
  const wchar_t* caption = NumberingOn ? L"u" : L"j";
  for (int id : {ids::Command3_0, ids::Command3_1})
    if (HWND h = Control(id)) {
      ::SetWindowTextW(h, caption);
      ::InvalidateRect(h, nullptr, FALSE);
    }
}

std::wstring frmMain::GetNumberPrefix() {
  HWND box = Control(ids::txtPrefix);
  if (!box) return {};
  const std::wstring text = win::WindowText(box);
  const std::wstring trimmed = text::TrimBlanks(text);
  if (trimmed != text) ::SetWindowTextW(box, trimmed.c_str());
  return trimmed;
}

void frmMain::cmdSetNextNumber_Click() {
  const auto reply = win::InputBox(hwnd_, L"Enter number to be used for next numbered annotation",
                                   L"Numbered Annotation", L"");
  if (!reply) return;
  wchar_t decimal[4] = L".", thousands[4] = L",";
  ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 4);
  ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, thousands, 4);
  if (const auto n = editor::ParseNextNumber(*reply, decimal[0], thousands[0])) AnnotationCounter = *n - 1;
}

// ---- Keys.

void frmMain::Picture1_KeyUp(int keyCode, int shift) {
  switch (editor::KeyUpCommand(keyCode, shift)) {
    case editor::KeyCommand::Undo:
      Commandback_Click();
      break;
    case editor::KeyCommand::Paste:
      PasteClipboardBitmap();
      break;
    case editor::KeyCommand::None:
      break;
  }
}

void frmMain::PasteClipboardBitmap() {
  // Without a readable bitmap the picture and its history stay as they are.
  auto image = editor::ReadClipboardBitmap(hwnd_);
  if (!image) return;
  CancelDrag();  // an outline belongs to the picture it was drawn on
  if (!Picture1.ReplacePicture(std::move(*image))) return;
  ClearHistory();
  EnableSharing();
  RecordHistory();
}
