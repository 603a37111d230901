#pragma once
// The JIRA attachment command behind its switch: the settings check, the issue and name
// prompts, the JPEG attachment in the images folder and its upload.
#include <ctime>
#include <functional>
#include <optional>
#include <string>

namespace modJira {

struct JiraCommand {
  std::wstring instance, user, token;  // the settings fields as they stand
  std::wstring uploadUrl;              // JiraUploadUrl
  std::wstring imagesFolder;           // saveImgsLoc, ending in a backslash
  std::tm now{};                       // the local time of the click
  std::function<std::optional<std::wstring>(const std::wstring& prompt, const std::wstring& title,
                                            const std::wstring& reply)>
      ask;                                 // a modal input box; nothing when cancelled
  std::function<void()> toggleSettings;    // cmdSettings_Click
  // The export composite as a new JPEG attachment of that name (without ".jpg") in the images
  // folder: the file name written (the name may take a number), or nothing.
  std::function<std::optional<std::wstring>(const std::wstring& name)> saveAttachment;
  std::function<void(const std::wstring& instance, const std::wstring& user, const std::wstring& token)> showFields;
};

struct JiraOutcome {
  int32_t result = 0;       // of the upload; 0 when none was made
  std::wstring address;     // where it went
  std::wstring fileName;    // the attachment in the images folder
  // What the caller tells the user: nothing (a cancel, missing settings), the "File Error"
  // (nothing was written), the "Upload Error" with its text, or the success.
  enum class Report { None, FileError, UploadError, Success } report = Report::None;
  std::wstring uploadError;
};

// Runs the command; the fields are trimmed in place (and shown so through showFields).
// Shows nothing itself.
JiraOutcome RunJiraUpload(JiraCommand& command);

}  // namespace modJira
