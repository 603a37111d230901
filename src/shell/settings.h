#pragma once
// The four stored values of config.ini (the settings panel's fields): read and decrypted
// at start-up, encrypted and written at start-up, on Done and at shutdown.
#include <string>
#include <string_view>

namespace modSettings {

struct SettingsFields {
  std::wstring txtJiraUname, txtJiraPwd, txtJiraInstance, txtMirelToken;
};

// The stored values, decrypted; one trailing "/" of the instance is dropped. Throws
// AppError when the file cannot be read or a value not decrypted.
SettingsFields LoadSettings(const std::wstring& appIniFile);

// The four values trimmed, encrypted and written in their order; with freshFile the file
// holds nothing else afterwards. Throws AppError when the file cannot be written (it is
// then untouched).
void StoreSettings(const SettingsFields& fields, const std::wstring& appIniFile, bool freshFile);

// The upload address of a JIRA instance: at start-up from the loaded instance (its trailing
// "/" gone), after Done from the field trimmed of blanks (a trailing "/" stays until the
// next start).
std::wstring JiraUploadUrl(std::wstring_view instance);
std::wstring JiraUploadUrlAfterDone(std::wstring_view instanceField);

}  // namespace modSettings
