#pragma once
// The main window: owns the whole run, from start-up (Form_Load) to shutdown
// (Form_QueryUnload). Its handlers keep the program's names; the editor's state and rules
// live in the editor model, the capture's in the overlay.
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/frmCapture.h"
#include "editor/editor_model.h"
#include "editor/main_controls.h"
#include "editor/picture_view.h"
#include "shell/settings.h"
#include "win/dib.h"
#include "win/gdi.h"
#include "win/handles.h"
#include "win/window.h"

class frmMain : public win::Window<frmMain> {
 public:
  static constexpr const wchar_t* WindowClass = L"MirelLumo.frmMain";
  static constexpr const wchar_t* Title = L"Mirel Lumo (Beta)";
  static win::WindowClass ClassInfo();

  frmMain();

  // Creates the window, runs the start-up, shows the window and runs the message loop.
  int Run(std::wstring_view args);

 private:
  friend class win::Window<frmMain>;
  LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void OnCommand(int id, int code);
  void OnClose();

  // The handlers are in files layered so that each calls only into the ones listed
  // after it: frmMain.cpp (the messages), frmMain_startup.cpp, frmMain_capture.cpp and
  // frmMain_sharing.cpp, frmMain_controls.cpp, frmMain_settings.cpp and frmMain_editor.cpp.

  // ---- Start-up and shutdown; a failure shows the stop-icon message and ends the process.
  void Form_Load(std::wstring_view args);
  void Form_QueryUnload();
  void EnforceSingleInstance();  // start-up step 4: a second instance ends here
  void MakeFolders(int& step);   // steps 5 and 6: the images and configuration folders
  void about_Click();            // the menu item "About": the About box, modal

  // ---- Capture.
  void cmdCapture_Click();
  void ShowCaptureOverlay();
  void CaptureForm_CapturedFile(const std::wstring& path);
  bool CreateCaptureForm(bool show = true);
  void ShowMainWindow();
  void HideCaptureOverlay();  // before a start-up message: nothing stands over it

  // ---- Hand-offs: copy, the clipboard watcher and paste, e-mail, the JIRA and web buttons.
  const win::DibSection& ComposeExportImage();  // into pbxHidden
  // The composite as a new JPEG attachment in the images folder: the path written, or nothing.
  std::optional<std::wstring> SaveNewAttachment(const std::wstring& name);
  void cmdCopyImage_Click();
  void Timer2_Timer();  // the clipboard watcher
  void cmdPaste_Click();
  void Command2_Click();  // sends the picture by e-mail
  void cmdSend2JIRA_Click();
  void cmdSend2Mirel_Click();
  void SetPreview(std::optional<editor::Image> picture);
  void DrawPreview(const DRAWITEMSTRUCT& item);

  // ---- The controls, made as soon as the frame is up, with Form_Load's editor state.
  void CreateControls();

  // ---- The settings panel's fields.
  void cmdDoneSettings_Click();
  void ReadSettingsFields();  // the panel's texts into the settings
  void ShowSettingsFields();  // the settings into the panel

  // ---- The editor: thin adapters onto the editor model.
  bool LoadImageFile(const std::wstring& path);
  void ReplacePicture(editor::Image picture);
  void EnableSharing();
  void Commandback_Click();  // Undo
  void Commandfwd_Click();   // Redo
  void ZoomPicture(double zoom);
  // Option1_Click ... Option4_Click, the bar's tool buttons and the tool keys: the tool, with
  // its option checked or its button pressed.
  void OptionClick(int32_t toolMode);
  void Picture1_MouseDown(int button, int shift, editor::PointF shown);
  void Picture1_MouseMove(int button, int shift, editor::PointF shown);
  void Picture1_MouseUp(int button, int shift, editor::PointF shown);
  void Picture1_CaptureLost();
  void Picture1_TextDone(bool keep);  // Enter (keep) or Escape in the text box
  void Command3_Click();  // toggles numbering
  std::wstring GetNumberPrefix();
  void cmdSetNextNumber_Click();
  void Picture1_KeyUp(int keyCode, int shift);
  void PasteClipboardBitmap();  // Ctrl+V

  // Shared with the other windows and commands.
  std::wstring appIniFile;
  std::wstring saveImgsLoc;  // always ends in a backslash once set
  bool purgeImgs = false;
  bool purgeImgRecycle = false;
  int16_t PurgeImageAgeDays = 0;
  bool AllowMultiInstance = false;
  int32_t CallBackHandle = 0;
  std::wstring JiraUploadUrl;
  std::unique_ptr<frmCapture> CaptureForm;  // the overlay, once created
  modSettings::SettingsFields settings_;     // txtJiraUname, txtJiraPwd, txtJiraInstance, txtMirelToken

  win::unique_handle instanceMutex_;
  bool loaded_ = false;          // start-up finished: only then may a shutdown store settings
  bool everShown_ = false;       // the first show opens the window maximised
  bool settingsLoaded_ = false;  // the settings hold the stored values
  bool closeAfterCapture_ = false;  // a close came while a capture was under way

  // The editor.
  editor::PictureView Picture1;  // with its viewport pic_mainview
  editor::EditorModel editor_;
  MainControls controls_;

  // Hand-offs.
  bool PasteFromPreview = false;
  std::optional<editor::Image> preview_;  // what Picture2 shows
  DWORD clipboardSequence_ = 0;           // the clipboard as last looked at for good
  DWORD clipboardSeen_ = 0;               // the change the tries below belong to
  int clipboardTries_ = 0;                // reads of a copied picture that failed
  const bool JiraUploadEnabled = false;
  const bool WebPushEnabled = false;
  win::unique_hbitmap footer_;            // pbxFooter's picture
  win::DibSection pbxHidden_;             // the export composite, kept until the next
};
