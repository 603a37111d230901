#pragma once
// A new e-mail with a file attached: through Outlook's automation object when it is
// there, otherwise through the default mail program's Simple MAPI, and as a last resort a
// "mailto:" request with the file's path left on the clipboard.
#include <windows.h>
#include <oaidl.h>

#include <string>

namespace modEmail {

// MailToWithoutPath: "mailto:" was opened but the path could not be put on the clipboard.
enum class MailRoute { Outlook, SimpleMapi, MailTo, MailToWithoutPath };

// Opens the mail; blank fields are left unset. Returns the route taken; shows nothing.
MailRoute SendMailWithAttachment(HWND owner, const std::wstring& path, const std::wstring& to,
                                 const std::wstring& subject, const std::wstring& body);

// The mail item of an Outlook application object: CreateItem(0), To, Subject and Body
// where not blank, Attachments.Add(path, 1, 1) and Display, each called by name.
void ComposeOutlookMail(IDispatch* outlook, const std::wstring& path, const std::wstring& to,
                        const std::wstring& subject, const std::wstring& body);

}  // namespace modEmail
