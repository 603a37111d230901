#include "sharing/modEmail.h"

#include <shellapi.h>

#include "base/text.h"
#include "win/clipboard.h"
#include "win/com.h"
#include "win/global.h"
#include "win/library.h"

namespace {

bool SendWithOutlook(const std::wstring& path, const std::wstring& to, const std::wstring& subject,
                     const std::wstring& body) {
  const win::ComApi& com = win::Com();
  if (!com.ok) return false;
  CLSID clsid{};
  if (FAILED(com.clsidFromProgId(L"Outlook.Application", &clsid))) return false;
  win::ComPtr<IDispatch> outlook;
  if (FAILED(com.create(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, outlook.put_void()))) return false;
  modEmail::ComposeOutlookMail(outlook.get(), path, to, subject, body);
  return true;
}

// Simple MAPI's wide structures (Windows 8 and later), as the platform defines them.
struct MapiRecipDescW {
  ULONG ulReserved, ulRecipClass;
  PWSTR lpszName, lpszAddress;
  ULONG ulEIDSize;
  PVOID lpEntryID;
};
struct MapiFileDescW {
  ULONG ulReserved, flFlags, nPosition;
  PWSTR lpszPathName, lpszFileName;
  PVOID lpFileType;
};
struct MapiMessageW {
  ULONG ulReserved;
  PWSTR lpszSubject, lpszNoteText, lpszMessageType, lpszDateReceived, lpszConversationID;
  ULONG flFlags;
  MapiRecipDescW* lpOriginator;
  ULONG nRecipCount;
  MapiRecipDescW* lpRecips;
  ULONG nFileCount;
  MapiFileDescW* lpFiles;
};
using MapiSendMailW = ULONG(WINAPI*)(ULONG_PTR session, ULONG_PTR uiParam, MapiMessageW* message, ULONG flags,
                                     ULONG reserved);
constexpr ULONG MapiLogonUi = 0x1, MapiDialog = 0x8, MapiDialogModeless = 0x4 | MapiDialog, MapiRecipientTo = 1;
constexpr ULONG MapiSuccess = 0, MapiUserAbort = 1, MapiNotSupported = 26;

// A default mail program is registered: without one, Simple MAPI has nobody to ask.
bool HasDefaultMailProgram() {
  for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE}) {
    wchar_t name[256] = {};
    DWORD size = sizeof name;
    if (::RegGetValueW(root, L"Software\\Clients\\Mail", nullptr, RRF_RT_REG_SZ, nullptr, name, &size) ==
            ERROR_SUCCESS &&
        name[0] != 0)
      return true;
  }
  return false;
}

MapiSendMailW SendMailFunction() {
  // Kept loaded until the program ends: a mail program's modeless window may run in this
  // process and go on using the library after the call has returned.
  static const win::Library mapi(L"mapi32.dll");
  static const auto send = mapi.Function<MapiSendMailW>("MAPISendMailW");
  return send;
}

bool SendWithSimpleMapi(HWND owner, const std::wstring& path, const std::wstring& to, const std::wstring& subject,
                        const std::wstring& body) {
  if (!HasDefaultMailProgram()) return false;
  const MapiSendMailW send = SendMailFunction();
  if (!send) return false;
  std::wstring file = path, fileName = path.substr(path.find_last_of(L'\\') + 1), subjectText = subject,
               bodyText = body, address = L"SMTP:" + to, recipientName = to;
  MapiFileDescW attachment{0, 0, static_cast<ULONG>(-1), file.data(), fileName.data(), nullptr};
  MapiRecipDescW recipient{0, MapiRecipientTo, recipientName.data(), address.data(), 0, nullptr};
  MapiMessageW message{};
  if (!text::TrimBlanks(subject).empty()) message.lpszSubject = subjectText.data();
  if (!text::TrimBlanks(body).empty()) message.lpszNoteText = bodyText.data();
  if (!text::TrimBlanks(to).empty()) {
    message.nRecipCount = 1;
    message.lpRecips = &recipient;
  }
  if (!text::TrimBlanks(path).empty()) {
    message.nFileCount = 1;
    message.lpFiles = &attachment;
  }
  // Modeless where the mail program can, so that the main window stays usable meanwhile.
  ULONG result = send(0, reinterpret_cast<ULONG_PTR>(owner), &message, MapiLogonUi | MapiDialogModeless, 0);
  if (result == MapiNotSupported) result = send(0, reinterpret_cast<ULONG_PTR>(owner), &message, MapiLogonUi | MapiDialog, 0);
  // The user closing the mail without sending it is an answer, not a reason for mailto.
  return result == MapiSuccess || result == MapiUserAbort;
}

// The text goes on the clipboard only when it could be written whole.
bool PutTextOnClipboard(HWND owner, const std::wstring& text) {
  win::unique_hglobal block = win::GlobalCopy(text.c_str(), (text.size() + 1) * sizeof(wchar_t));
  if (!block) return false;
  win::clipboard_open clipboard(owner);
  if (!clipboard || !::EmptyClipboard() || !::SetClipboardData(CF_UNICODETEXT, block.get())) return false;
  block.release();  // the clipboard's now
  return true;
}

}  // namespace

void modEmail::ComposeOutlookMail(IDispatch* outlook, const std::wstring& path, const std::wstring& to,
                                  const std::wstring& subject, const std::wstring& body) {
  using win::CallByName;
  using win::Variant;
  // Every step that fails is skipped and the next one runs.
  Variant item;
  if (FAILED(CallByName(outlook, L"CreateItem", DISPATCH_METHOD, {*Variant::Number(0)}, &item)) || !item.Object())
    return;
  IDispatch* mail = item.Object();
  for (auto [name, value] : {std::pair{L"To", &to}, {L"Subject", &subject}, {L"Body", &body}}) {
    if (text::TrimBlanks(*value).empty()) continue;
    const Variant v = Variant::Text(*value);
    CallByName(mail, name, DISPATCH_PROPERTYPUT, {*v}, nullptr);
  }
  if (!text::TrimBlanks(path).empty()) {
    Variant attachments;
    if (SUCCEEDED(CallByName(mail, L"Attachments", DISPATCH_PROPERTYGET, {}, &attachments)) && attachments.Object()) {
      // The file is copied into the mail (1), at the first position.
      const Variant file = Variant::Text(path), byValue = Variant::Number(1), position = Variant::Number(1);
      Variant added;
      CallByName(attachments.Object(), L"Add", DISPATCH_METHOD, {*file, *byValue, *position}, &added);
    }
  }
  CallByName(mail, L"Display", DISPATCH_METHOD, {}, nullptr);
}

modEmail::MailRoute modEmail::SendMailWithAttachment(HWND owner, const std::wstring& path, const std::wstring& to,
                                                     const std::wstring& subject, const std::wstring& body) {
  if (SendWithOutlook(path, to, subject, body)) return MailRoute::Outlook;
  if (SendWithSimpleMapi(owner, path, to, subject, body)) return MailRoute::SimpleMapi;
  // The last resort cannot carry the file: its path goes on the clipboard for the user.
  ::ShellExecuteW(owner, L"open", L"mailto:", nullptr, nullptr, SW_SHOWNORMAL);
  return PutTextOnClipboard(owner, path) ? MailRoute::MailTo : MailRoute::MailToWithoutPath;
}
