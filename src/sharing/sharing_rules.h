#pragma once
// The hand-offs' rules apart from the platform: where the export composite puts the
// picture, the separator and the footer; the names and paths of attachment files; the JIRA
// address; the multipart body of an upload and its Base64 credentials.
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace modExport {

inline constexpr int FooterOuterWidth = 181;   // Fw: the footer control's outer width at 96 dpi
inline constexpr int FooterInnerHeight = 37;   // Fi: its inner height
inline constexpr int FooterBitmapWidth = 178, FooterBitmapHeight = 37;

struct Layout {
  int width = 0, height = 0;  // the composite
  int separatorRow = 0;       // one pixel high, across the whole width
  int footerLeft = 0, footerTop = 0;  // where the footer bitmap's top-left corner lands
  int footerRows = 0;         // how many of its rows are inside the composite
};
// The composite of a W x H picture.
Layout ExportLayout(int pictureWidth, int pictureHeight, int footerOuterWidth = FooterOuterWidth,
                    int footerInnerHeight = FooterInnerHeight);

}  // namespace modExport

namespace modAttachments {

// "YYYY-MM-DDTHH-M": the minute without a leading zero.
std::wstring DefaultAttachmentName(const std::tm& local);

// What the e-mail command does with the name typed: the name to use ("testsaveimg" for a
// blank one), or nothing when it cannot be a file name in the images folder
// (\ / : * ? " < > |, a control character, a reserved device name such as CON or LPT1).
std::optional<std::wstring> MailAttachmentName(std::wstring_view typed);

// Whether a file name (with or without extension) names a device instead of a file: CON,
// PRN, AUX, NUL, CONIN$, CONOUT$, COM0-9 and LPT0-9 (also with superscript digits).
bool IsReservedFileName(std::wstring_view fileName);

// The first number to try for an attachment of a name, given what follows the name in each
// file of the folder whose name begins with it (compared as the file system compares
// names): none, the bare name, when no file does; otherwise one above the highest number
// that follows the name directly, before the file's extension (0 when none does).
std::optional<int64_t> FirstAttachmentNumber(const std::vector<std::wstring>& rests);

// folder + name (+ number) + ".jpg".
std::wstring NumberedAttachmentPath(const std::wstring& folder, const std::wstring& name, std::optional<int64_t> number);

// The JIRA command's name rules: blank gives "issue_image"; trimmed, lower-cased, without
// ' \ / &, without anything else a file name cannot hold, ending in ".jpg".
std::wstring JiraAttachmentName(std::wstring_view typed);

// Seconds since 1970-01-01 00:00:00 of a local date and time, without time-zone conversion.
int64_t UnixTimeFromDate(const std::tm& local);

// The upload address: "!!ISSUE!!" replaced by the issue key, percent-encoded so that it
// stays one path segment, then "?nonce=" and the nonce.
std::wstring JiraAddress(std::wstring_view uploadUrl, std::wstring_view issueKey, int64_t nonce);

}  // namespace modAttachments

namespace modUpload {

inline constexpr std::string_view DefaultBoundary = "JIRA+SLACK-are-massively-overrated-there's-a-better-way";
inline constexpr std::string_view SuccessMarker = "[{\"self\":";

// Base64 in 72-column lines (CRLF after every 72 characters, also after the last full line).
std::string Base64Encode(std::string_view bytes);
// "Basic " and the Base64 of user:token on one line.
std::string BasicAuthorization(std::string_view userAndToken);

// Rows 2 to 5 of the body and CRLF "--" boundary; empty when the file is empty or blank.
std::string BuildFilePart(std::string_view fieldName, std::string_view fileName, std::string_view content,
                          std::string_view boundary);
std::string BuildFieldPart(std::string_view fieldName, std::string_view value, std::string_view boundary);
std::string PrefixOpeningDelimiter(std::string_view body, std::string_view boundary);
// The whole body of an upload of `content` named `fileName` (text in the ANSI code page).
std::string BuildUploadBody(std::string_view fileName, std::string_view content, std::string_view boundary);

// The answer of an upload: 200 when the status is 200 and the text holds the marker, else 0.
int32_t JudgeAnswer(int status, std::string_view responseText);

}  // namespace modUpload

namespace modCBFiles {

// The paths of a CF_HDROP block: nothing when the block is malformed (too short, offsets
// outside it, a name without its terminator) or holds no file. `ansiToWide` converts
// names of a block whose wide flag is zero.
std::optional<std::vector<std::wstring>> ParseDropFiles(const uint8_t* block, size_t size,
                                                        std::wstring (*ansiToWide)(std::string_view));

// Whether a copied file can be previewed and pasted as a picture: by its extension, in any
// letter case (.jpg, .jpeg, .bmp, .png, .gif).
bool IsPictureFileName(std::wstring_view path);

}  // namespace modCBFiles
