#pragma once
// The main window: owns the whole run, from start-up (Form_Load) to shutdown
// (Form_QueryUnload).
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "capture/frmCapture.h"
#include "editor/history.h"
#include "editor/picture_view.h"
#include "win/dib.h"
#include "win/gdi.h"
#include "win/handles.h"

class frmMain {
 public:
  static constexpr const wchar_t* WindowClass = L"MirelLumo.frmMain";
  static constexpr const wchar_t* Title = L"Mirel Lumo (Beta)";

  explicit frmMain(HINSTANCE instance) : instance_(instance) {}
  frmMain(const frmMain&) = delete;
  frmMain& operator=(const frmMain&) = delete;

  // Creates the window, runs the start-up, shows the window and runs the message loop.
  int Run(std::wstring_view args);

  // State shared with the other windows and commands.
  std::wstring appIniFile;
  std::wstring saveImgsLoc;  // always ends in a backslash once set
  bool purgeImgs = false;
  bool purgeImgRecycle = false;
  int16_t PurgeImageAgeDays = 0;
  bool AllowMultiInstance = false;
  int32_t CallBackHandle = 0;
  std::wstring JiraUploadUrl;
  std::unique_ptr<frmCapture> CaptureForm;  // the overlay, once created

  // The settings fields.
  std::wstring txtJiraUname, txtJiraPwd, txtJiraInstance, txtMirelToken;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT HandleMessage(UINT msg, WPARAM wParam, LPARAM lParam);

  // Start-up and shutdown; on any failure they show the stop-icon message and end the process.
  void Form_Load(std::wstring_view args);
  void Form_QueryUnload();
  void LoadSettings();
  void StoreSettings(bool freshFile);

  // The menu item "About": the About box, modal.
  void about_Click();

  // Capture.
  void cmdCapture_Click();
  void ShowCaptureOverlay();
  void CaptureForm_CapturedFile(const std::wstring& path);
  bool CreateCaptureForm();
  void ShowMainWindow();

  // The picture and its history.
  bool LoadImageFile(const std::wstring& path);
  void ClearHistory();
  void RecordHistory();  // the picture as it is, after the empty state
  void BakeAndRecord();  // the back buffer becomes the picture and a new state
  void EnableSharing();
  void Commandback_Click();
  void Commandfwd_Click();
  void ZoomPicture(double zoom);

  // Drawing tools and markers.
  void OptionClick(int32_t toolMode);
  void Picture1_MouseDown(int button, int shift, editor::PointF shown);
  void Picture1_MouseMove(int button, int shift, editor::PointF shown);
  void Picture1_MouseUp(int button, int shift, editor::PointF shown);
  void pic_mainview_MouseMove(int button, int shift, editor::PointF shown);
  void DrawRubberBand(editor::PointF from, editor::PointF to);
  void CancelDrag();
  void Picture1_CaptureLost();
  void Command3_Click();
  std::wstring GetNumberPrefix();
  void cmdSetNextNumber_Click();

  // Keys.
  void Picture1_KeyUp(int keyCode, int shift);
  void PasteClipboardBitmap();

  // Hand-offs: copy, the clipboard watcher and paste, e-mail, the JIRA and web buttons,
  // the settings panel.
  const win::DibSection& ComposeExportImage();  // into pbxHidden
  void cmdCopyImage_Click();
  void Timer2_Timer();
  void cmdPaste_Click();
  void Command2_Click();
  void cmdSend2JIRA_Click();
  void cmdSend2Mirel_Click();
  void cmdDoneSettings_Click();
  void ReadSettingsFields();
  void ShowSettingsFields();
  void SetPreview(std::optional<editor::Image> picture);
  void DrawPreview(const DRAWITEMSTRUCT& item);

  // Layout, the bar and the panels.
  void CreateControls();
  void PlaceControls();
  void Form_Resize(int clientWidth, int clientHeight);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  void OnCommand(int id, int code);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  void toolscolors_Click();
  void Timer1_Timer();
  void cmdSettings_Click();
  int Scaled(int pixelsAt96) const;
  HWND Control(int id) const;
  HFONT GlyphFont(const wchar_t* face, double points);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  win::unique_handle instanceMutex_;
  bool loaded_ = false;       // start-up finished: only then may a shutdown store settings
  bool everShown_ = false;    // the first show opens the window maximised
  bool controlsMade_ = false;
  bool settingsLoaded_ = false;  // the settings fields hold the stored values
  UINT dpi_ = 96;

  // Editor state.
  editor::PictureView Picture1;  // with its viewport pic_mainview
  editor::PictureHistory history_;
  int32_t AnnotationCounter = 0;
  int32_t ToolMode = 0;
  bool NumberingOn = false;
  editor::PointF LastStrokePoint, RubberStart, RubberEnd, DragAnchor;
  bool RubberShown = false;
  bool pressedOnPicture_ = false;  // the left button went down on Picture1: a drag of its own
  int16_t BottomBarUnit = 20;
  bool ToolsPanelShown = false;
  bool timer1Running_ = false;

  // Hand-off state.
  bool PasteFromPreview = false;
  std::optional<editor::Image> preview_;  // what Picture2 shows
  DWORD clipboardSequence_ = 0;           // the clipboard as last looked at
  int clipboardTries_ = 0;                // reads of a copied picture that failed
  const bool JiraUploadEnabled = false;
  const bool WebPushEnabled = false;
  win::unique_hbitmap footer_;            // pbxFooter's picture
  win::DibSection pbxHidden_;             // the export composite, kept until the next

  HWND FrameTools_ = nullptr;
  HWND frameSettings_ = nullptr;
  HWND tooltip_ = nullptr;
  win::unique_hbitmap checkerTile_, send2MirelPicture_, send2JiraPicture_;
  win::unique_hfont controlFont_;
  struct CachedFont {
    const wchar_t* face;
    double points;
    win::unique_hfont font;
  };
  std::vector<CachedFont> glyphFonts_;
};
