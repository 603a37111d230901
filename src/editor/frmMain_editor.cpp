// The editor of the main window: thin adapters from the window's events onto the editor
// model, and the picture's way in from files and the clipboard.
#include <string>
#include <utility>

#include "base/text.h"
#include "editor/frmMain.h"
#include "editor/frmMain_ids.h"
#include "editor/picture_io.h"
#include "win/input_box.h"
#include "win/message_box.h"
#include "win/window_text.h"

namespace ids = frmMainIds;
using editor::PointF;

bool frmMain::LoadImageFile(const std::wstring& path) {
  std::wstring why;
  auto image = editor::LoadPictureFile(path, why);
  if (image) {
    if (editor_.ReplacePicture(std::move(*image))) {
      EnableSharing();
      return true;
    }
    why = L"There is not enough memory for it.";
  }
  win::ShowMessage(hwnd(), L"The picture could not be opened.\r\n\r\n" + path + L"\r\n\r\n" + why, L"Mirel Lumo",
                   MB_OK | MB_ICONEXCLAMATION);
  return false;
}

void frmMain::ReplacePicture(editor::Image picture) {
  // Without memory for it, the picture and its history stay as they are.
  if (editor_.ReplacePicture(std::move(picture))) EnableSharing();
}

void frmMain::EnableSharing() {
  for (int id : {ids::cmdSend2JIRA, ids::cmdSend2Mirel})
    if (HWND h = controls_.Control(id)) ::EnableWindow(h, TRUE);
}

void frmMain::Commandback_Click() { editor_.Undo(); }
void frmMain::Commandfwd_Click() { editor_.Redo(); }

void frmMain::ZoomPicture(double zoom) {
  // Only the shown size changes; a step beyond the bounds is not taken.
  if (const auto size = editor::ZoomedSize(Picture1.ShownSize(), zoom)) Picture1.SetShownSize(*size);
}

void frmMain::OptionClick(int32_t toolMode) {
  editor_.SetToolMode(toolMode);
  Picture1.SetSizeAllPointer(editor_.PansPicture());
  controls_.ShowChosenTool(toolMode);
}

void frmMain::Picture1_MouseDown(int button, int, PointF shown) {
  if (editor_.MouseDown(button, Picture1.ToPicture(shown))) EnableSharing();
}

void frmMain::Picture1_MouseMove(int button, int, PointF shown) {
  editor_.MouseMove(button, Picture1.ToPicture(shown), shown);
}

void frmMain::Picture1_MouseUp(int button, int, PointF shown) {
  if (editor_.MouseUp(button, Picture1.ToPicture(shown))) EnableSharing();
}

void frmMain::Picture1_CaptureLost() {
  if (editor_.CaptureLost()) EnableSharing();
}

void frmMain::Picture1_TextDone(bool keep) {
  if (editor_.FinishText(keep)) EnableSharing();
}

void frmMain::Command3_Click() {
  editor_.ToggleNumbering();
  const wchar_t* caption = editor_.IsNumberingOn() ? L"u" : L"j";
  for (int id : {ids::Command3_0, ids::Command3_1})
    if (HWND h = controls_.Control(id)) {
      ::SetWindowTextW(h, caption);
      ::InvalidateRect(h, nullptr, FALSE);
    }
}

std::wstring frmMain::GetNumberPrefix() {
  HWND box = controls_.Control(ids::txtPrefix);
  if (!box) return {};
  const std::wstring typed = win::WindowText(box);
  const std::wstring trimmed = text::TrimBlanks(typed);
  if (trimmed != typed) ::SetWindowTextW(box, trimmed.c_str());
  return trimmed;
}

void frmMain::cmdSetNextNumber_Click() {
  const auto reply = win::InputBox(hwnd(), L"Enter number to be used for next numbered annotation",
                                   L"Numbered Annotation", L"");
  if (!reply) return;
  wchar_t decimal[4] = L".", thousands[4] = L",";
  ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_SDECIMAL, decimal, 4);
  ::GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_STHOUSAND, thousands, 4);
  if (const auto n = editor::ParseNextNumber(*reply, decimal[0], thousands[0])) editor_.SetNextNumber(*n);
}

void frmMain::Picture1_KeyUp(int keyCode, int shift) {
  using editor::KeyCommand;
  const KeyCommand command = editor::KeyUpCommand(keyCode, shift);
  switch (command) {
    case KeyCommand::Undo:
      return Commandback_Click();
    case KeyCommand::Paste:
      return PasteClipboardBitmap();
    case KeyCommand::None:
      return;
    default:
      break;
  }
  // A tool's letter only while the picture or its viewport has the focus: the window itself
  // gets the keys that no control takes.
  if (!Picture1.HasFocus()) return;
  // The tool commands are in the order of the tool modes.
  static_assert(static_cast<int>(KeyCommand::Redact) - static_cast<int>(KeyCommand::NoDraw) == modAnnotations::Redact);
  OptionClick(static_cast<int32_t>(command) - static_cast<int32_t>(KeyCommand::NoDraw));
}

void frmMain::PasteClipboardBitmap() {
  // Without a readable bitmap the picture and its history stay as they are.
  if (auto image = editor::ReadClipboardBitmap(hwnd())) ReplacePicture(std::move(*image));
}
