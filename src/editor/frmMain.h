#pragma once
// The main window: owns the whole run, from start-up (Form_Load) to shutdown
// (Form_QueryUnload).
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "capture/frmCapture.h"
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

  // Layout of the bottom bar.
  void CreateControls();
  void Form_Resize(int clientWidth, int clientHeight);
  void OnDrawItem(const DRAWITEMSTRUCT& item);

  HINSTANCE instance_;
  HWND hwnd_ = nullptr;
  win::unique_handle instanceMutex_;
  bool loaded_ = false;       // start-up finished: only then may a shutdown store settings
  bool everShown_ = false;    // the first show opens the window maximised
  HWND cmdCapture_ = nullptr;  // cmdCapture(0), bottom bar
  win::unique_hfont glyphFont_;
};
