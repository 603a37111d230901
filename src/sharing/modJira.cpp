#include "sharing/modJira.h"

#include "sharing/modUpload.h"
#include "sharing/sharing_rules.h"
#include "shell/text.h"
#include "win/message_box.h"

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
  if (modAttachments::IsReservedFileName(out.fileName) || !c.saveComposite ||
      !c.saveComposite(c.imagesFolder + out.fileName)) {
    win::ShowMessage(c.owner,
                     L"There was an error saving the attatchment file. Please retry. Ensure filename contains no invalid "
                     L"characters",
                     L"File Error", MB_OK | MB_ICONSTOP);
    return out;
  }
  std::string boundary;
  out.result = modUpload::UploadAttachment(c.owner, out.address, c.imagesFolder, out.fileName, c.user, c.token, boundary);
  if (out.result == 200)
    win::ShowMessage(c.owner, L"Upload of file: " + out.fileName + L" - response: Success", L"Upload Result",
                     MB_OK | MB_ICONINFORMATION);
  return out;
}
