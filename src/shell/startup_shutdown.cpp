// frmMain's start-up (Form_Load) and shutdown (Form_QueryUnload), and the settings they
// load and store.
#include <new>

#include "editor/frmMain.h"
#include "editor/frmMain_ids.h"
#include "shell/app_error.h"
#include "shell/command_line.h"
#include "shell/modAES.h"
#include "shell/modFileOps.h"
#include "shell/modINI.h"
#include "shell/run_entry.h"
#include "shell/single_instance.h"
#include "shell/text.h"
#include "win/message_box.h"
#include "win/window_text.h"

namespace {

constexpr const wchar_t* StartupSentence =
    L"There was an error starting the application. If this persists, contact support";
constexpr const wchar_t* ShutdownSentence =
    L"There was an error during application closure. If this persists, contact support";
constexpr const wchar_t* SettingsSentence =
    L"There was an error starting the saving config settings. If this persists, contact support";
constexpr const wchar_t* UploadPathTemplate = L"/rest/api/2/issue/!!ISSUE!!/attachments";

[[noreturn]] void FailAndExit(const wchar_t* title, const wchar_t* sentence, const AppError& error) {
  win::ShowMessage(nullptr, AppErrors::FormatFatalMessage(sentence, error), title, MB_OK | MB_ICONSTOP);
  ::ExitProcess(1);
}

// Runs body; any failure becomes the fatal message with the step that was running.
template <class Body>
void RunFatalOnError(const wchar_t* title, const wchar_t* sentence, Body body) {
  int step = 0;
  try {
    body(step);
  } catch (AppError& e) {
    if (e.line == 0) e.line = step;
    FailAndExit(title, sentence, e);
  } catch (const std::bad_alloc&) {
    FailAndExit(title, sentence, AppError{7, L"Out of memory", step});
  } catch (const std::exception& e) {
    std::wstring what;
    for (const char* p = e.what(); *p; ++p) what += static_cast<wchar_t>(static_cast<unsigned char>(*p));
    FailAndExit(title, sentence, AppError{51, L"Internal error: " + what, step});
  } catch (...) {
    FailAndExit(title, sentence, AppError{51, L"Internal error", step});
  }
}

std::wstring StoredValue(const std::wstring& field) {
  return text::TrimBlanks(modAES::AesEncryptText(text::TrimBlanks(field), modAES::CredentialPassphrase));
}

}  // namespace

void frmMain::Form_Load(std::wstring_view args) {
  RunFatalOnError(L"Startup Error", StartupSentence, [&](int& step) {
    step = 1;
    ::SetWindowTextW(hwnd_, Title);

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
    bool alreadyRunning = false;
    instanceMutex_ = modSingleInstance::ClaimInstanceMutex(alreadyRunning);
    if (alreadyRunning && !AllowMultiInstance) {
      win::ShowMessage(nullptr,
                       L"Another instance of this app has been detected. This instance must close. "
                       L"If this is an issue, please contact your administrator",
                       L"Multi Instance", MB_OK | MB_ICONSTOP);
      ::ExitProcess(0);
    }

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

    step = 7;
    if (PurgeImageAgeDays == 0) PurgeImageAgeDays = 90;

    step = 9;
    LoadSettings();
    step = 10;
    JiraUploadUrl = txtJiraInstance + UploadPathTemplate;
    step = 11;
    StoreSettings(true);
    step = 12;
    modRunEntry::RegisterRunEntry();
  });
}

void frmMain::Form_QueryUnload() {
  RunFatalOnError(L"Shutdown Error", ShutdownSentence, [&](int& step) {
    step = 1;
    // At the end of a session a capture may be under way beneath this call: the overlay
    // then lives on until the process ends.
    if (!CaptureForm || !CaptureForm->Capturing()) CaptureForm.reset();
    step = 3;
    // Texts edited in the panel and not confirmed with Done are stored too.
    ReadSettingsFields();
    StoreSettings(false);
    step = 4;
    if (purgeImgs) modFileOps::PurgeOldImages(saveImgsLoc, PurgeImageAgeDays, purgeImgRecycle);
  });
}

void frmMain::LoadSettings() {
  auto load = [&](std::string_view section, std::string_view key) {
    return modAES::AesDecryptText(modINI::ReadIniValue(section, key, appIniFile), modAES::CredentialPassphrase);
  };
  txtMirelToken = load("Mirel", "token");
  std::wstring instance = load("JIRA", "instance");
  if (!instance.empty() && instance.back() == L'/') instance.pop_back();
  txtJiraInstance = instance;
  txtJiraUname = load("JIRA", "username");
  txtJiraPwd = load("JIRA", "token");
  settingsLoaded_ = true;
  ShowSettingsFields();
}

void frmMain::ShowSettingsFields() {
  auto show = [&](int id, const std::wstring& value) {
    if (HWND box = Control(id)) ::SetWindowTextW(box, value.c_str());
  };
  show(frmMainIds::txtJiraUname, txtJiraUname);
  show(frmMainIds::txtJiraPwd, txtJiraPwd);
  show(frmMainIds::txtJiraInstance, txtJiraInstance);
  show(frmMainIds::txtMirelToken, txtMirelToken);
}

void frmMain::cmdDoneSettings_Click() {
  RunFatalOnError(L"Settings Error", SettingsSentence, [&](int& step) {
    step = 1;
    ReadSettingsFields();
    StoreSettings(false);
    step = 2;
    // Unlike at start-up, a trailing "/" of the instance stays until the next start.
    JiraUploadUrl = text::TrimBlanks(txtJiraInstance) + UploadPathTemplate;
    step = 3;
    cmdSettings_Click();
  });
}

void frmMain::ReadSettingsFields() {
  if (!settingsLoaded_) return;  // the fields do not hold the stored values yet
  auto read = [&](int id, std::wstring& field) {
    HWND box = Control(id);
    if (!box) return;  // not made yet: the value loaded at start-up stands
    field = win::WindowText(box);
  };
  read(frmMainIds::txtJiraUname, txtJiraUname);
  read(frmMainIds::txtJiraPwd, txtJiraPwd);
  read(frmMainIds::txtJiraInstance, txtJiraInstance);
  read(frmMainIds::txtMirelToken, txtMirelToken);
}

void frmMain::StoreSettings(bool freshFile) {
  modINI::WriteIniValues({{"Mirel", "token", StoredValue(txtMirelToken)},
                          {"JIRA", "username", StoredValue(txtJiraUname)},
                          {"JIRA", "instance", StoredValue(txtJiraInstance)},
                          {"JIRA", "token", StoredValue(txtJiraPwd)}},
                         appIniFile, freshFile);
}
