#pragma once
// Control, menu, timer and message identifiers of the main window. Pairs of the same name
// are one control array: index 0 in the bottom bar, index 1 on the tool panel.
#include <windows.h>

namespace frmMainIds {
enum : int {
  cmdCapture0 = 1001,
  cmdZoomIn = 1010,
  cmdZoomOut,
  Commandback,
  Commandfwd,
  Command3_0,
  cmdCopyImage0,
  Command2_0,
  cmdSend2Mirel,
  cmdSend2JIRA,
  cmdSettings,
  pic_mainview,
  FrameTools,
  frameSettings,
  cmdArrow,   // the bar's tool buttons
  cmdText,
  cmdRedact,
  Option1 = 1031,  // "No Draw"
  Option2,         // "Free Draw"
  Option3,         // "Box Draw"
  Option4,         // "Line"
  cmdPaste,
  Picture2,
  Command3_1,
  txtPrefix,
  cmdCopyImage1,
  Command2_1,
  cmdCapture1,
  cmdSetNextNumber = 1050,
  txtJiraUname,
  txtJiraPwd,
  txtJiraInstance,
  txtMirelToken,
  cmdDoneSettings,
  lblJiraUname,
  lblJiraPwd,
  lblJiraInstance,
  lblMirelToken,
  about = 2001,        // menu item "About"
  toolscolors = 2002,  // menu item "Tools"
};

// Timers of the main window.
enum : UINT_PTR {
  Timer1 = 1,  // the tool panel's slide, 25 ms
  Timer2 = 2,  // the clipboard watcher, 1500 ms
};

// Messages the main window posts to itself.
enum : UINT {
  WM_APP_CREATECONTROLS = WM_APP + 1,  // the controls, as soon as the frame is up
};
}  // namespace frmMainIds
