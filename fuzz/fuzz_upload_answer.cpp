// Any answer of an upload server, and any attachment name or issue key typed: the answer
// is 200 or 0 and 200 only with status 200 and the marker; names never leave the images
// folder; the address keeps the key inside its path segment.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "sharing/sharing_rules.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 2) return 0;
  const int status = 150 + data[0];
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  const int32_t result = modUpload::JudgeAnswer(status, text);
  if (result != 0 && result != 200) std::abort();
  if (result == 200 && (status != 200 || text.find(modUpload::SuccessMarker) == std::string_view::npos)) std::abort();

  std::wstring typed;
  for (size_t i = 1; i + 1 < size; i += 2) typed += static_cast<wchar_t>(data[i] | (data[i + 1] << 8));
  const std::wstring jira = modAttachments::JiraAttachmentName(typed);
  if (!jira.ends_with(L".jpg") || jira.find_first_of(L"\\/:*?\"<>|") != std::wstring::npos) std::abort();
  for (wchar_t c : jira)
    if (c < 0x20) std::abort();
  if (const auto mail = modAttachments::MailAttachmentName(typed)) {
    if (mail->find_first_of(L"\\/:*?\"<>|") != std::wstring::npos) std::abort();
    for (wchar_t c : *mail)
      if (c < 0x20) std::abort();
    if (modAttachments::IsReservedFileName(*mail + L".jpg")) std::abort();
  }
  const std::wstring address = modAttachments::JiraAddress(L"https://h/rest/api/2/issue/!!ISSUE!!/attachments", typed, 1);
  const std::wstring_view path(address);
  const size_t keyStart = 27, keyEnd = path.rfind(L"/attachments?nonce=1");
  if (keyEnd == std::wstring_view::npos || keyEnd < keyStart) std::abort();
  if (path.substr(keyStart, keyEnd - keyStart).find_first_of(L"/?#") != std::wstring_view::npos) std::abort();
  return 0;
}
