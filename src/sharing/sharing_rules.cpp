#include "sharing/sharing_rules.h"

#include <algorithm>
#include <cstring>
#include <cwchar>
#include <cwctype>

#include "base/numbers.h"
#include "base/text.h"

// ---- Export composite.

modExport::Layout modExport::ExportLayout(int w, int h, int footerOuterWidth, int footerInnerHeight) {
  Layout l;
  l.width = w;
  l.height = h + footerInnerHeight - 3;
  l.separatorRow = h + 1;
  l.footerLeft = w - footerOuterWidth;
  l.footerTop = h + 2;
  l.footerRows = std::clamp(l.height - l.footerTop, 0, FooterBitmapHeight);
  return l;
}

// ---- Attachment names.

namespace {

bool IsInvalidInFileName(wchar_t c) { return c < 0x20 || std::wcschr(L"\\/:*?\"<>|", c) != nullptr; }

}  // namespace

bool modAttachments::IsReservedFileName(std::wstring_view name) {
  // The part before the first dot decides: "con.jpg" is the console as much as "con".
  std::wstring stem = text::LowerAscii(name.substr(0, name.find(L'.')));
  while (!stem.empty() && (stem.back() == L' ')) stem.pop_back();
  for (const wchar_t* d : {L"con", L"prn", L"aux", L"nul", L"conin$", L"conout$"})
    if (stem == d) return true;
  if (stem.size() == 4 && (stem.starts_with(L"com") || stem.starts_with(L"lpt"))) {
    const wchar_t digit = stem[3];
    return (digit >= L'0' && digit <= L'9') || digit == L'\u00b9' || digit == L'\u00b2' || digit == L'\u00b3';
  }
  return false;
}

std::wstring modAttachments::DefaultAttachmentName(const std::tm& t) {
  wchar_t name[64];
  std::swprintf(name, 64, L"%04d-%02d-%02dT%02d-%d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min);
  return name;
}

std::optional<std::wstring> modAttachments::MailAttachmentName(std::wstring_view typed) {
  if (text::TrimBlanks(typed).empty()) return std::wstring(L"testsaveimg");
  if (std::any_of(typed.begin(), typed.end(), IsInvalidInFileName)) return std::nullopt;
  if (IsReservedFileName(typed)) return std::nullopt;
  return std::wstring(typed);  // as typed, blanks and all
}

std::optional<int64_t> modAttachments::FirstAttachmentNumber(const std::vector<std::wstring>& rests) {
  if (rests.empty()) return std::nullopt;
  int64_t highest = 0;
  for (const std::wstring& rest : rests) {
    const auto value = numbers::ParseDecimal(std::wstring_view(rest).substr(0, rest.find(L'.')));
    const auto n = value ? numbers::RoundToInt32(*value) : std::nullopt;
    if (n && *n > highest) highest = *n;
  }
  return highest + 1;
}

std::wstring modAttachments::NumberedAttachmentPath(const std::wstring& folder, const std::wstring& name,
                                                    std::optional<int64_t> number) {
  return folder + name + (number ? std::to_wstring(*number) : L"") + L".jpg";
}

std::wstring modAttachments::JiraAttachmentName(std::wstring_view typed) {
  std::wstring name = text::TrimBlanks(typed);
  if (name.empty()) name = L"issue_image";
  for (wchar_t& c : name) c = static_cast<wchar_t>(std::towlower(c));
  for (wchar_t gone : {L'\'', L'\\', L'/', L'&'}) std::erase(name, gone);
  // Whatever else a file name cannot hold goes too: the name stays in the images folder.
  std::erase_if(name, IsInvalidInFileName);
  if (!name.ends_with(L".jpg")) name += L".jpg";
  return name;
}

int64_t modAttachments::UnixTimeFromDate(const std::tm& t) {
  // Days from the civil date (proleptic Gregorian calendar), then the time of day.
  const int64_t y = static_cast<int64_t>(t.tm_year) + 1900 - (t.tm_mon < 2 ? 1 : 0);
  const int64_t m = t.tm_mon + 1;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + t.tm_mday - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  const int64_t days = era * 146097 + doe - 719468;
  return days * 86400 + t.tm_hour * 3600 + t.tm_min * 60 + t.tm_sec;
}

std::wstring modAttachments::JiraAddress(std::wstring_view uploadUrl, std::wstring_view issueKey, int64_t nonce) {
  // The key's UTF-8 bytes, everything but the unreserved characters as %XX.
  std::wstring key;
  std::string utf8;
  for (size_t i = 0; i < issueKey.size(); ++i) {
    uint32_t c = issueKey[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < issueKey.size() && issueKey[i + 1] >= 0xDC00 && issueKey[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (issueKey[++i] - 0xDC00);
    else if (c >= 0xD800 && c < 0xE000)
      c = 0xFFFD;
    if (c < 0x80) utf8 += static_cast<char>(c);
    else if (c < 0x800) utf8 += {static_cast<char>(0xC0 | (c >> 6)), static_cast<char>(0x80 | (c & 0x3F))};
    else if (c < 0x10000)
      utf8 += {static_cast<char>(0xE0 | (c >> 12)), static_cast<char>(0x80 | ((c >> 6) & 0x3F)),
               static_cast<char>(0x80 | (c & 0x3F))};
    else
      utf8 += {static_cast<char>(0xF0 | (c >> 18)), static_cast<char>(0x80 | ((c >> 12) & 0x3F)),
               static_cast<char>(0x80 | ((c >> 6) & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
  }
  static const char hex[] = "0123456789ABCDEF";
  for (unsigned char b : utf8) {
    if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9') || b == '-' || b == '.' || b == '_' ||
        b == '~') {
      key += static_cast<wchar_t>(b);
    } else {
      key += L'%';
      key += static_cast<wchar_t>(hex[b >> 4]);
      key += static_cast<wchar_t>(hex[b & 15]);
    }
  }
  std::wstring address(uploadUrl);
  const std::wstring_view placeholder = L"!!ISSUE!!";
  for (size_t at = address.find(placeholder); at != std::wstring::npos; at = address.find(placeholder, at + key.size()))
    address.replace(at, placeholder.size(), key);
  return address + L"?nonce=" + std::to_wstring(nonce);
}

// ---- Multipart upload.

std::string modUpload::Base64Encode(std::string_view bytes) {
  static const char alphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string out;
  size_t column = 0;
  auto put = [&](char c) {
    out += c;
    if (++column == 72) {
      out += "\r\n";
      column = 0;
    }
  };
  for (size_t i = 0; i < bytes.size(); i += 3) {
    const size_t n = std::min<size_t>(3, bytes.size() - i);
    uint32_t group = static_cast<uint32_t>(static_cast<unsigned char>(bytes[i])) << 16;
    if (n > 1) group |= static_cast<uint32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8;
    if (n > 2) group |= static_cast<unsigned char>(bytes[i + 2]);
    put(alphabet[(group >> 18) & 63]);
    put(alphabet[(group >> 12) & 63]);
    put(n > 1 ? alphabet[(group >> 6) & 63] : '=');
    put(n > 2 ? alphabet[group & 63] : '=');
  }
  return out;
}

std::string modUpload::BasicAuthorization(std::string_view userAndToken) {
  std::string encoded = Base64Encode(userAndToken);
  std::erase(encoded, '\r');
  std::erase(encoded, '\n');
  return "Basic " + encoded;
}

std::string modUpload::BuildFilePart(std::string_view fieldName, std::string_view fileName, std::string_view content,
                                     std::string_view boundary) {
  if (fileName.empty()) return {};
  if (content.find_first_not_of(' ') == std::string_view::npos) return {};  // empty, or spaces only
  std::string header = "Content-Disposition: form-data; name=\"!!!\"; filename=\"" + std::string(fileName) +
                       "\"\r\nContent-Type: form-data\r\n\r\n";
  for (size_t at = header.find("!!!"); at != std::string::npos; at = header.find("!!!", at + fieldName.size()))
    header.replace(at, 3, fieldName);
  return header + std::string(content) + "\r\n--" + std::string(boundary);
}

std::string modUpload::BuildFieldPart(std::string_view fieldName, std::string_view value, std::string_view boundary) {
  if (fieldName.empty() || value.empty()) return {};
  return "Content-Disposition: form-data; name=\"" + std::string(fieldName) + "\"\r\n\r\n" + std::string(value) +
         "\r\n--" + std::string(boundary);
}

std::string modUpload::PrefixOpeningDelimiter(std::string_view body, std::string_view boundary) {
  const std::string opening = "--" + std::string(boundary);
  if (body.starts_with(opening)) return std::string(body);
  return opening + "\r\n" + std::string(body);
}

std::string modUpload::BuildUploadBody(std::string_view fileName, std::string_view content, std::string_view boundary) {
  const std::string filePart = BuildFilePart("file", fileName, content, boundary);
  const std::string fieldPart = BuildFieldPart("age", "69", boundary);
  return PrefixOpeningDelimiter(filePart + "\r\n" + fieldPart + "--", boundary);
}

int32_t modUpload::JudgeAnswer(int status, std::string_view responseText) {
  return status == 200 && responseText.find(SuccessMarker) != std::string_view::npos ? 200 : 0;
}

// ---- Copied files.

std::optional<std::vector<std::wstring>> modCBFiles::ParseDropFiles(const uint8_t* block, size_t size,
                                                                   std::wstring (*ansiToWide)(std::string_view)) {
  constexpr size_t HeaderSize = 20;
  if (!block || size < HeaderSize) return std::nullopt;
  uint32_t offset = 0, wide = 0;
  std::memcpy(&offset, block, 4);
  std::memcpy(&wide, block + 16, 4);
  if (offset >= size) return std::nullopt;
  std::vector<std::wstring> names;
  size_t at = offset;
  for (;;) {
    // The list's own terminator may be missing at the very end: the whole names read stand.
    if (at + (wide ? 2 : 1) > size) break;
    if (wide) {
      std::wstring name;
      for (;;) {
        if (at + 2 > size) return std::nullopt;  // no terminator inside the block
        const wchar_t c = static_cast<wchar_t>(block[at] | (block[at + 1] << 8));
        at += 2;
        if (c == 0) break;
        name += c;
      }
      if (name.empty()) break;  // the extra zero ends the list
      names.push_back(std::move(name));
    } else {
      const auto* start = reinterpret_cast<const char*>(block + at);
      const void* zero = std::memchr(start, 0, size - at);
      if (!zero) return std::nullopt;
      const size_t length = static_cast<size_t>(static_cast<const char*>(zero) - start);
      at += length + 1;
      if (length == 0) break;
      names.push_back(ansiToWide ? ansiToWide(std::string_view(start, length)) : std::wstring(start, start + length));
    }
  }
  if (names.empty()) return std::nullopt;
  return names;
}

bool modCBFiles::IsPictureFileName(std::wstring_view path) {
  const std::wstring trimmed = text::TrimBlanks(path);
  const size_t dot = trimmed.rfind(L'.');
  if (trimmed.empty() || dot == std::wstring::npos) return false;
  const std::wstring ext = text::LowerAscii(std::wstring_view(trimmed).substr(dot + 1));
  return ext == L"jpg" || ext == L"jpeg" || ext == L"bmp" || ext == L"png" || ext == L"gif";
}
