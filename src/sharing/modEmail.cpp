#include "sharing/modEmail.h"

#include <oaidl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cstring>
#include <vector>

#include "shell/text.h"
#include "win/clipboard.h"
#include "win/handles.h"
#include "win/message_box.h"
#include "win/window_text.h"

namespace {

// The COM and Automation calls, loaded on first use: most runs never send a mail.
struct ComApi {
  decltype(&::CoInitializeEx) initialize = nullptr;
  decltype(&::CLSIDFromProgID) clsidFromProgId = nullptr;
  decltype(&::CoCreateInstance) create = nullptr;
  decltype(&::SysAllocString) allocString = nullptr;
  decltype(&::SysFreeString) freeString = nullptr;
  decltype(&::VariantClear) variantClear = nullptr;
  bool ok = false;
};

const ComApi& Com() {
  static const ComApi api = [] {
    ComApi a;
    HMODULE ole = ::LoadLibraryW(L"ole32.dll"), aut = ::LoadLibraryW(L"oleaut32.dll");
    if (!ole || !aut) return a;
    auto get = [](HMODULE dll, auto& fn, const char* name) { return win::GetProc(dll, fn, name); };
    a.ok = get(ole, a.initialize, "CoInitializeEx") && get(ole, a.clsidFromProgId, "CLSIDFromProgID") &&
           get(ole, a.create, "CoCreateInstance") && get(aut, a.allocString, "SysAllocString") &&
           get(aut, a.freeString, "SysFreeString") && get(aut, a.variantClear, "VariantClear");
    if (a.ok) a.initialize(nullptr, COINIT_APARTMENTTHREADED);  // this thread, for the program's life
    return a;
  }();
  return api;
}

template <class T>
struct ComPtr {
  T* p = nullptr;
  ~ComPtr() {
    if (p) p->Release();
  }
  ComPtr() = default;
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;
  T** put() { return &p; }
  explicit operator bool() const { return p != nullptr; }
};

struct Variant {
  VARIANT v;
  Variant() {
    std::memset(&v, 0, sizeof v);
    v.vt = VT_EMPTY;
  }
  ~Variant() { Com().variantClear(&v); }
  Variant(const Variant&) = delete;
  Variant& operator=(const Variant&) = delete;
  static void Text(VARIANT& v, const std::wstring& s) {
    v.vt = VT_BSTR;
    v.bstrVal = Com().allocString(s.c_str());
  }
  static void Number(VARIANT& v, LONG n) {
    v.vt = VT_I4;
    v.lVal = n;
  }
};

// Calls a member by name (late bound). Arguments are given first to last.
HRESULT Call(IDispatch* object, const wchar_t* name, WORD kind, std::vector<VARIANT> args, VARIANT* result) {
  struct Cleared {  // the arguments are freed on every path
    std::vector<VARIANT>& args;
    ~Cleared() {
      for (VARIANT& v : args) Com().variantClear(&v);
    }
  } cleared{args};
  DISPID id = 0;
  LPOLESTR member = const_cast<LPOLESTR>(name);
  HRESULT hr = object->GetIDsOfNames(IID_NULL, &member, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());  // Invoke takes them last to first
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  DISPID named = DISPID_PROPERTYPUT;
  if (kind == DISPATCH_PROPERTYPUT) {
    params.rgdispidNamedArgs = &named;
    params.cNamedArgs = 1;
  }
  return object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, kind, &params, result, nullptr, nullptr);
}

bool SendWithOutlook(const std::wstring& path, const std::wstring& to, const std::wstring& subject,
                     const std::wstring& body) {
  if (!Com().ok) return false;
  CLSID clsid{};
  if (FAILED(Com().clsidFromProgId(L"Outlook.Application", &clsid))) return false;
  ComPtr<IDispatch> outlook;
  if (FAILED(Com().create(clsid, nullptr, CLSCTX_LOCAL_SERVER, IID_IDispatch, reinterpret_cast<void**>(outlook.put()))))
    return false;
  modEmail::ComposeOutlookMail(outlook.p, path, to, subject, body);
  return true;
}

}  // namespace

void modEmail::ComposeOutlookMail(IDispatch* outlook, const std::wstring& path, const std::wstring& to,
                                  const std::wstring& subject, const std::wstring& body) {
  if (!Com().ok) return;
  // Every step that fails is skipped and the next one runs.
  VARIANT type;
  Variant::Number(type, 0);  // a mail item
  Variant item;
  if (FAILED(Call(outlook, L"CreateItem", DISPATCH_METHOD, {type}, &item.v)) || item.v.vt != VT_DISPATCH ||
      !item.v.pdispVal)
    return;
  IDispatch* mail = item.v.pdispVal;
  for (auto [name, value] : {std::pair{L"To", &to}, {L"Subject", &subject}, {L"Body", &body}}) {
    if (text::TrimBlanks(*value).empty()) continue;
    VARIANT v;
    Variant::Text(v, *value);
    Call(mail, name, DISPATCH_PROPERTYPUT, {v}, nullptr);
  }
  if (!text::TrimBlanks(path).empty()) {
    Variant attachments;
    if (SUCCEEDED(Call(mail, L"Attachments", DISPATCH_PROPERTYGET, {}, &attachments.v)) &&
        attachments.v.vt == VT_DISPATCH && attachments.v.pdispVal) {
      VARIANT file, byValue, position;
      Variant::Text(file, path);
      Variant::Number(byValue, 1);   // the file is copied into the mail
      Variant::Number(position, 1);
      Variant added;
      Call(attachments.v.pdispVal, L"Add", DISPATCH_METHOD, {file, byValue, position}, &added.v);
    }
  }
  Call(mail, L"Display", DISPATCH_METHOD, {}, nullptr);
}

namespace {

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

bool SendWithSimpleMapi(HWND owner, const std::wstring& path, const std::wstring& to, const std::wstring& subject,
                        const std::wstring& body) {
  if (!HasDefaultMailProgram()) return false;
  HMODULE mapi = ::LoadLibraryExW(L"mapi32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  if (!mapi) return false;
  MapiSendMailW send = nullptr;
  if (!win::GetProc(mapi, send, "MAPISendMailW")) return false;
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

void PutTextOnClipboard(HWND owner, const std::wstring& text) {
  const size_t bytes = (text.size() + 1) * sizeof(wchar_t);
  HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
  if (!block) return;
  if (void* p = ::GlobalLock(block)) {
    std::memcpy(p, text.c_str(), bytes);
    ::GlobalUnlock(block);
  }
  win::clipboard_open clipboard(owner);
  if (!clipboard || !::EmptyClipboard() || !::SetClipboardData(CF_UNICODETEXT, block)) ::GlobalFree(block);
}

}  // namespace

modEmail::MailRoute modEmail::SendMailWithAttachment(HWND owner, const std::wstring& path, const std::wstring& to,
                                                     const std::wstring& subject, const std::wstring& body) {
  if (SendWithOutlook(path, to, subject, body)) return MailRoute::Outlook;
  if (SendWithSimpleMapi(owner, path, to, subject, body)) return MailRoute::SimpleMapi;
  // The last resort cannot carry the file: its path goes on the clipboard for the user.
  ::ShellExecuteW(owner, L"open", L"mailto:", nullptr, nullptr, SW_SHOWNORMAL);
  PutTextOnClipboard(owner, path);
  win::ShowMessage(owner, L"Attachment filepath on clipboard", L"Attachment", MB_OK | MB_ICONINFORMATION);
  return MailRoute::MailTo;
}
