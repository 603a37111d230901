#include "shell/settings.h"

#include "base/text.h"
#include "shell/modAES.h"
#include "shell/modINI.h"

namespace {
std::wstring StoredValue(const std::wstring& field) {
  return text::TrimBlanks(modAES::AesEncryptText(text::TrimBlanks(field), modAES::CredentialPassphrase));
}
}  // namespace

modSettings::SettingsFields modSettings::LoadSettings(const std::wstring& appIniFile) {
  auto load = [&](std::string_view section, std::string_view key) {
    return modAES::AesDecryptText(modINI::ReadIniValue(section, key, appIniFile), modAES::CredentialPassphrase);
  };
  SettingsFields f;
  f.txtMirelToken = load("Mirel", "token");
  f.txtJiraInstance = load("JIRA", "instance");
  if (!f.txtJiraInstance.empty() && f.txtJiraInstance.back() == L'/') f.txtJiraInstance.pop_back();
  f.txtJiraUname = load("JIRA", "username");
  f.txtJiraPwd = load("JIRA", "token");
  return f;
}

void modSettings::StoreSettings(const SettingsFields& f, const std::wstring& appIniFile, bool freshFile) {
  modINI::WriteIniValues({{"Mirel", "token", StoredValue(f.txtMirelToken)},
                          {"JIRA", "username", StoredValue(f.txtJiraUname)},
                          {"JIRA", "instance", StoredValue(f.txtJiraInstance)},
                          {"JIRA", "token", StoredValue(f.txtJiraPwd)}},
                         appIniFile, freshFile);
}

std::wstring modSettings::JiraUploadUrl(std::wstring_view instance) {
  return std::wstring(instance) + L"/rest/api/2/issue/!!ISSUE!!/attachments";
}

std::wstring modSettings::JiraUploadUrlAfterDone(std::wstring_view instanceField) {
  return JiraUploadUrl(text::TrimBlanks(instanceField));
}
