// The main window's hand-offs: copy, the clipboard watcher and paste, the e-mail command,
// the JIRA and web buttons.
#include <ctime>

#include "base/resource_ids.h"

#include "capture/modSaveImages.h"
#include "capture/modScreenshot.h"
#include "editor/frmMain.h"
#include "editor/frmMain_ids.h"
#include "editor/picture_io.h"
#include "sharing/attachment_file.h"
#include "sharing/modCBFiles.h"
#include "sharing/modEmail.h"
#include "sharing/modExport.h"
#include "sharing/modJira.h"
#include "sharing/sharing_rules.h"
#include "base/text.h"
#include "win/input_box.h"
#include "win/message_box.h"
#include "win/window_text.h"

namespace ids = frmMainIds;

namespace {

void ShowFileError(HWND owner) {
  win::ShowMessage(owner,
                   L"There was an error saving the attatchment file. Please retry. Ensure filename contains no invalid "
                   L"characters",
                   L"File Error", MB_OK | MB_ICONSTOP);
}

std::tm LocalNow() {
  SYSTEMTIME st;
  ::GetLocalTime(&st);
  std::tm t{};
  t.tm_year = st.wYear - 1900;
  t.tm_mon = st.wMonth - 1;
  t.tm_mday = st.wDay;
  t.tm_hour = st.wHour;
  t.tm_min = st.wMinute;
  t.tm_sec = st.wSecond;
  return t;
}

// What the clipboard offers to paste: a bitmap, or the first of the copied files when it is a
// picture that loads.
struct ClipboardOffer {
  std::optional<editor::Image> picture;
  bool fromFile = false;
  bool held = false;       // another program keeps the clipboard open
  bool notLoaded = false;  // a copied picture file that did not load
};

ClipboardOffer LookAtClipboard(HWND owner) {
  ClipboardOffer offer;
  if (::IsClipboardFormatAvailable(CF_BITMAP)) {
    offer.picture = editor::ReadClipboardBitmap(owner, &offer.held);
    return offer;
  }
  std::vector<std::wstring> files;
  if (!modCBFiles::GetClipboardFiles(files, &offer.held) || !modCBFiles::IsPictureFileName(files.front()))
    return offer;
  offer.fromFile = true;
  std::wstring why;
  offer.picture = editor::LoadPictureFile(text::TrimBlanks(files.front()), why);
  offer.notLoaded = !offer.picture;
  return offer;
}

}  // namespace

const win::DibSection& frmMain::ComposeExportImage() {
  if (!footer_)
    footer_.reset(static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDB_FOOTER), IMAGE_BITMAP, 0, 0,
                                                    LR_CREATEDIBSECTION)));
  ::GdiFlush();
  modExport::ComposeExportImage(Picture1.BackPixels(), footer_.get(), pbxHidden_);
  return pbxHidden_;
}

std::optional<std::wstring> frmMain::SaveNewAttachment(const std::wstring& name) {
  const win::DibSection& composite = ComposeExportImage();
  if (!composite) return std::nullopt;
  win::DibSection::Unselected forEncoder(composite);
  return modAttachments::WriteNewAttachment(saveImgsLoc, name, [&](const std::wstring& temp) {
    return modSaveImages::WriteImageFile(composite.bitmap(), temp, L".jpg", 100, 24, 6);
  });
}

void frmMain::cmdCopyImage_Click() {
  const win::DibSection& composite = ComposeExportImage();
  modCBFiles::CopyPictureToClipboard(hwnd(), composite);  // no message either way
}

void frmMain::SetPreview(std::optional<editor::Image> picture) {
  preview_ = std::move(picture);
  if (HWND h = controls_.Control(ids::Picture2)) ::InvalidateRect(h, nullptr, TRUE);
}

void frmMain::DrawPreview(const DRAWITEMSTRUCT& item) {
  // Unscaled from the top-left corner, cut to the control.
  ::FillRect(item.hDC, &item.rcItem, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
  if (!preview_) return;
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), preview_->width, -preview_->height, 1, 32, BI_RGB};
  const int w = std::min<int>(preview_->width, item.rcItem.right - item.rcItem.left);
  const int h = std::min<int>(preview_->height, item.rcItem.bottom - item.rcItem.top);
  ::SetDIBitsToDevice(item.hDC, item.rcItem.left, item.rcItem.top, static_cast<DWORD>(w), static_cast<DWORD>(h), 0,
                      static_cast<int>(preview_->height - h), 0, static_cast<UINT>(preview_->height),
                      preview_->pixels.data(), &bi, DIB_RGB_COLORS);
}

void frmMain::Timer2_Timer() {
  // Only a changed clipboard is read again (reading a large bitmap every tick costs), or
  // one that could not be read last time.
  const DWORD sequence = ::GetClipboardSequenceNumber();
  if (sequence != 0 && sequence == clipboardSequence_) return;
  if (sequence != clipboardSeen_) {  // a change of its own: its own tries
    clipboardSeen_ = sequence;
    clipboardTries_ = 0;
  }
  // The watcher never reports: whatever fails offers nothing, and a paste never inserts a
  // picture the clipboard no longer holds.
  ClipboardOffer offer;
  try {
    offer = LookAtClipboard(hwnd());
  } catch (...) {
    offer = {};  // too large to show
  }
  const bool any = offer.picture.has_value();
  PasteFromPreview = any && offer.fromFile;
  SetPreview(std::move(offer.picture));
  if (HWND paste = controls_.Control(ids::cmdPaste)) ::EnableWindow(paste, any);
  // A clipboard another program holds is looked at again at the next tick; a copied picture
  // that did not load (still being written, say) a few times; anything else once a change.
  if (!offer.held && !(offer.notLoaded && ++clipboardTries_ < 3)) clipboardSequence_ = sequence;
}

void frmMain::cmdPaste_Click() {
  std::optional<editor::Image> picture = PasteFromPreview ? preview_ : editor::ReadClipboardBitmap(hwnd());
  // Without a picture to paste, the picture and its history stay.
  if (picture) ReplacePicture(std::move(*picture));
}

void frmMain::Command2_Click() {
  const auto reply = win::InputBox(hwnd(), L"Attachment name ?", L"Attachment",
                                   modAttachments::DefaultAttachmentName(LocalNow()));
  if (!reply) return;
  std::optional<std::wstring> path;
  try {
    // A name that cannot be a file in the images folder writes nothing, and no mail is
    // opened for a file that was not written.
    const auto name = modAttachments::MailAttachmentName(*reply);
    if (name) path = SaveNewAttachment(*name);
  } catch (...) {
    path.reset();
  }
  if (!path) return ShowFileError(hwnd());
  switch (modEmail::SendMailWithAttachment(hwnd(), *path, L"", L"", L"")) {
    case modEmail::MailRoute::MailTo:
      win::ShowMessage(hwnd(), L"Attachment filepath on clipboard", L"Attachment", MB_OK | MB_ICONINFORMATION);
      break;
    case modEmail::MailRoute::MailToWithoutPath:
      win::ShowMessage(hwnd(), L"The attachment's path could not be put on the clipboard:\r\n\r\n" + *path,
                       L"Attachment", MB_OK | MB_ICONEXCLAMATION);
      break;
    case modEmail::MailRoute::Outlook:
    case modEmail::MailRoute::SimpleMapi:
      break;
  }
}

void frmMain::cmdSend2Mirel_Click() {
  if (!WebPushEnabled)
    win::ShowMessage(hwnd(), L"Mirel Web Push functionality is coming soon", L"Info", MB_OK | MB_ICONINFORMATION);
}

void frmMain::cmdSend2JIRA_Click() {
  if (!JiraUploadEnabled) {
    win::ShowMessage(hwnd(), L"JIRA upload functionality is coming soon", L"Info", MB_OK | MB_ICONINFORMATION);
    return;
  }
  modJira::JiraCommand command;
  command.instance = win::WindowText(controls_.Control(ids::txtJiraInstance));
  command.user = win::WindowText(controls_.Control(ids::txtJiraUname));
  command.token = win::WindowText(controls_.Control(ids::txtJiraPwd));
  command.uploadUrl = JiraUploadUrl;
  command.imagesFolder = saveImgsLoc;
  command.now = LocalNow();
  command.ask = [this](const std::wstring& prompt, const std::wstring& title, const std::wstring& reply) {
    return win::InputBox(hwnd(), prompt, title, reply);
  };
  command.toggleSettings = [this] { controls_.cmdSettings_Click(); };
  command.saveAttachment = [this](const std::wstring& name) -> std::optional<std::wstring> {
    const auto path = SaveNewAttachment(name);
    if (!path) return std::nullopt;
    return path->substr(saveImgsLoc.size());
  };
  command.showFields = [this](const std::wstring& instance, const std::wstring& user, const std::wstring& token) {
    ::SetWindowTextW(controls_.Control(ids::txtJiraInstance), instance.c_str());
    ::SetWindowTextW(controls_.Control(ids::txtJiraUname), user.c_str());
    ::SetWindowTextW(controls_.Control(ids::txtJiraPwd), token.c_str());
  };
  const modJira::JiraOutcome out = modJira::RunJiraUpload(command);
  switch (out.report) {
    case modJira::JiraOutcome::Report::FileError:
      return ShowFileError(hwnd());
    case modJira::JiraOutcome::Report::UploadError:
      win::ShowMessage(hwnd(), out.uploadError, L"Upload Error", MB_OK | MB_ICONSTOP);
      return;
    case modJira::JiraOutcome::Report::Success:
      win::ShowMessage(hwnd(), L"Upload of file: " + out.fileName + L" - response: Success", L"Upload Result",
                       MB_OK | MB_ICONINFORMATION);
      return;
    case modJira::JiraOutcome::Report::None:
      return;
  }
}
