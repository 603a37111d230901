// The settings panel's fields: shown from and read into the settings, stored on Done.
#include "editor/frmMain.h"
#include "editor/frmMain_ids.h"
#include "shell/fatal_error.h"
#include "win/window_text.h"

namespace ids = frmMainIds;

void frmMain::ShowSettingsFields() {
  auto show = [&](int id, const std::wstring& value) {
    if (HWND box = controls_.Control(id)) ::SetWindowTextW(box, value.c_str());
  };
  show(ids::txtJiraUname, settings_.txtJiraUname);
  show(ids::txtJiraPwd, settings_.txtJiraPwd);
  show(ids::txtJiraInstance, settings_.txtJiraInstance);
  show(ids::txtMirelToken, settings_.txtMirelToken);
}

void frmMain::ReadSettingsFields() {
  if (!settingsLoaded_) return;  // the fields do not hold the stored values yet
  auto read = [&](int id, std::wstring& field) {
    if (HWND box = controls_.Control(id)) field = win::WindowText(box);  // not made yet: the loaded value stands
  };
  read(ids::txtJiraUname, settings_.txtJiraUname);
  read(ids::txtJiraPwd, settings_.txtJiraPwd);
  read(ids::txtJiraInstance, settings_.txtJiraInstance);
  read(ids::txtMirelToken, settings_.txtMirelToken);
}

void frmMain::cmdDoneSettings_Click() {
  using namespace modFatal;
  RunFatalOnError(SettingsTitle, SettingsSentence, nullptr, [&](int& step) {
    step = 1;
    ReadSettingsFields();
    modSettings::StoreSettings(settings_, appIniFile, false);
    step = 2;
    // Unlike at start-up, a trailing "/" of the instance stays until the next start.
    JiraUploadUrl = modSettings::JiraUploadUrlAfterDone(settings_.txtJiraInstance);
    step = 3;
    controls_.cmdSettings_Click();
  });
}
