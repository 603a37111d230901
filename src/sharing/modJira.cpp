#include "sharing/modJira.h"

#include <windows.h>

#include "base/text.h"
#include "sharing/modUpload.h"
#include "sharing/sharing_rules.h"

namespace {
// Lower case in every script, not only ASCII.
std::wstring LowerCase(const std::wstring& s) {
  if (s.empty()) return s;
  const int n = ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, s.c_str(), static_cast<int>(s.size()), nullptr, 0,
                                nullptr, nullptr, 0);
  if (n <= 0) return s;
  std::wstring out(static_cast<size_t>(n), L'\0');
  ::LCMapStringEx(LOCALE_NAME_INVARIANT, LCMAP_LOWERCASE, s.c_str(), static_cast<int>(s.size()), out.data(), n, nullptr,
                  nullptr, 0);
  return out;
}
}  // namespace

modJira::JiraOutcome modJira::RunJiraUpload(JiraCommand& c) {
  JiraOutcome out;
  c.instance = text::TrimBlanks(c.instance);
  c.user = text::TrimBlanks(c.user);
  c.token = text::TrimBlanks(c.token);
  if (c.showFields) c.showFields(c.instance, c.user, c.token);
  if (c.instance.empty() || c.user.empty() || c.token.empty()) {
    if (c.toggleSettings) c.toggleSettings();  // shows a hidden panel
    return out;
  }
  const auto issue = c.ask(L"Enter JIRA Issue Number", L"JIRA Upload", L"");
  const std::wstring key = issue ? text::TrimBlanks(*issue) : std::wstring();
  if (key.empty()) return out;
  const int64_t nonce = modAttachments::UnixTimeFromDate(c.now);
  out.address = modAttachments::JiraAddress(c.uploadUrl, key, nonce);
  const auto typed = c.ask(L"Name for attachment ?", L"Attachment", std::to_wstring(nonce) + L"-" + key + L"-");
  if (!typed) return out;
  out.fileName = modAttachments::JiraAttachmentName(LowerCase(*typed));
  // Nothing is uploaded that was not written.
  const std::wstring stem = out.fileName.substr(0, out.fileName.size() - 4);  // without ".jpg"
  const auto written =
      modAttachments::IsReservedFileName(out.fileName) || !c.saveAttachment ? std::nullopt : c.saveAttachment(stem);
  if (!written) {
    out.report = JiraOutcome::Report::FileError;
    return out;
  }
  out.fileName = *written;
  std::string boundary;
  auto upload = modUpload::UploadAttachment(out.address, c.imagesFolder, out.fileName, c.user, c.token, boundary);
  out.result = upload.result;
  if (out.result == 200) out.report = JiraOutcome::Report::Success;
  else if (!upload.errorText.empty()) out.report = JiraOutcome::Report::UploadError;
  out.uploadError = std::move(upload.errorText);
  return out;
}
