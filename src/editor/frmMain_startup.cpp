// frmMain's start-up (Form_Load) and shutdown (Form_QueryUnload), the settings they load
// and store, and the About box.
#include "base/app_error.h"
#include "editor/frmMain.h"
#include "editor/frmMain_ids.h"
#include "shell/command_line.h"
#include "shell/fatal_error.h"
#include "shell/frmAbout.h"
#include "shell/modFileOps.h"
#include "shell/run_entry.h"
#include "shell/single_instance.h"
#include "win/message_box.h"

namespace ids = frmMainIds;

void frmMain::Form_Load(std::wstring_view args) {
  using namespace modFatal;
  RunFatalOnError(StartupTitle, StartupSentence, [this] { HideCaptureOverlay(); }, [&](int& step) {
    step = 1;
    ::SetWindowTextW(hwnd(), Title);

    step = 2;
    const modCommandLine::StartupSwitches sw = modCommandLine::ParseCommandLine(args);
    CallBackHandle = sw.callBackHandle;
    if (sw.screenCapture) {
      // The overlay is up at once (made before the window when it could be); the rest of
      // the start-up goes on behind it.
      if (CaptureForm || CreateCaptureForm()) {
        CaptureForm->CallBack(CallBackHandle);
        ShowCaptureOverlay();
      }
    }
    purgeImgs = sw.purgeImgs;
    purgeImgRecycle = sw.purgeImgRecycle;
    if (sw.purgeImageAgeDays != 0) PurgeImageAgeDays = sw.purgeImageAgeDays;
    AllowMultiInstance = sw.allowMultiInstance;
    step = 3;
    for (const auto& folder : sw.imageFolders)
      if (modFileOps::EnsureFolderExists(folder)) saveImgsLoc = folder;

    step = 4;
    EnforceSingleInstance();
    MakeFolders(step);

    step = 7;
    if (PurgeImageAgeDays == 0) PurgeImageAgeDays = 90;
    step = 9;
    settings_ = modSettings::LoadSettings(appIniFile);
    settingsLoaded_ = true;
    ShowSettingsFields();
    step = 10;
    JiraUploadUrl = modSettings::JiraUploadUrl(settings_.txtJiraInstance);
    step = 11;
    modSettings::StoreSettings(settings_, appIniFile, true);
    step = 12;
    modRunEntry::RegisterRunEntry();
  });
}

void frmMain::EnforceSingleInstance() {
  bool alreadyRunning = false;
  instanceMutex_ = modSingleInstance::ClaimInstanceMutex(alreadyRunning);
  if (!alreadyRunning || AllowMultiInstance) return;
  HideCaptureOverlay();
  win::ShowMessage(nullptr,
                   L"Another instance of this app has been detected. This instance must close. "
                   L"If this is an issue, please contact your administrator",
                   L"Multi Instance", MB_OK | MB_ICONSTOP);
  ::ExitProcess(0);
}

void frmMain::MakeFolders(int& step) {
  const std::wstring appData = modFileOps::GetSpecialFolder(modFileOps::CSIDL_AppData);
  // Without it every path below would land at the root of the current drive.
  if (appData.empty()) throw AppError{76, L"Path not found: the application data folder", 5};
  step = 5;
  if (saveImgsLoc.empty()) {
    const std::wstring folder = appData + L"\\Mirel Lumo\\images\\";
    if (modFileOps::EnsureFolderExists(folder)) saveImgsLoc = folder;
  }
  step = 6;
  const std::wstring configFolder = appData + L"\\Mirel Lumo\\config\\";
  modFileOps::EnsureFolderExists(configFolder);
  appIniFile = configFolder + L"config.ini";
}

void frmMain::Form_QueryUnload() {
  using namespace modFatal;
  RunFatalOnError(ShutdownTitle, ShutdownSentence, [this] { HideCaptureOverlay(); }, [&](int& step) {
    step = 1;
    // At the end of a session a capture may be under way beneath this call: the overlay
    // then lives on until the process ends.
    if (!CaptureForm || !CaptureForm->Capturing()) CaptureForm.reset();
    step = 3;
    // Texts edited in the panel and not confirmed with Done are stored too.
    ReadSettingsFields();
    modSettings::StoreSettings(settings_, appIniFile, false);
    step = 4;
    if (purgeImgs) modFileOps::PurgeOldImages(saveImgsLoc, PurgeImageAgeDays, purgeImgRecycle);
  });
}

void frmMain::about_Click() {
  frmAbout::ShowModal(hwnd(), reinterpret_cast<HICON>(::GetClassLongPtrW(hwnd(), GCLP_HICON)));
}

