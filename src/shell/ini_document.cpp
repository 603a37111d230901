#include "shell/ini_document.h"

#include "base/text.h"

namespace {
// The name of a "[name]" line, or nothing for other lines.
std::optional<std::string> SectionName(std::string_view line) {
  const std::string t = text::TrimSpace(line);
  if (t.empty() || t.front() != '[') return std::nullopt;
  const size_t close = t.find(']');
  return text::TrimSpace(std::string_view(t).substr(1, close == t.npos ? t.npos : close - 1));
}

// Key and raw value of a "key=value" line.
std::optional<std::pair<std::string, std::string_view>> KeyValue(std::string_view line) {
  const size_t eq = line.find('=');
  if (eq == line.npos) return std::nullopt;
  return std::make_pair(text::TrimSpace(line.substr(0, eq)), line.substr(eq + 1));
}
}  // namespace

modINI::IniDocument modINI::IniDocument::Parse(std::string_view bytes) {
  IniDocument doc;
  // A byte-order mark left by an editor would hide the first section.
  while (bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  size_t start = 0;
  while (start < bytes.size()) {
    size_t nl = bytes.find('\n', start);
    std::string_view line = bytes.substr(start, nl == bytes.npos ? bytes.npos : nl - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    doc.lines_.emplace_back(line);
    if (nl == bytes.npos) break;
    start = nl + 1;
  }
  return doc;
}

std::string modINI::IniDocument::Serialize() const {
  std::string out;
  for (const auto& line : lines_) {
    out += line;
    out += "\r\n";
  }
  return out;
}

std::optional<modINI::IniDocument::Span> modINI::IniDocument::FindSection(
    std::string_view section) const {
  for (size_t i = 0; i < lines_.size(); ++i) {
    const auto name = SectionName(lines_[i]);
    if (!name || !text::EqualsNoCase(*name, text::TrimSpace(section))) continue;
    size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end])) ++end;
    return Span{i, end};
  }
  return std::nullopt;
}

std::optional<size_t> modINI::IniDocument::FindKey(const Span& span, std::string_view key) const {
  for (size_t i = span.header + 1; i < span.end; ++i) {
    const auto kv = KeyValue(lines_[i]);
    if (kv && text::EqualsNoCase(kv->first, text::TrimSpace(key))) return i;
  }
  return std::nullopt;
}

std::optional<std::string> modINI::IniDocument::Get(std::string_view section,
                                                    std::string_view key) const {
  const auto span = FindSection(section);
  if (!span) return std::nullopt;
  const auto at = FindKey(*span, key);
  if (!at) return std::nullopt;
  return text::TrimSpace(KeyValue(lines_[*at])->second);
}

void modINI::IniDocument::Set(std::string_view section, std::string_view key,
                              std::string_view value) {
  const std::string keyName = text::TrimSpace(key);
  const auto span = FindSection(section);
  if (!span) {
    lines_.push_back("[" + text::TrimSpace(section) + "]");
    lines_.push_back(keyName + "=" + std::string(value));
    return;
  }
  if (const auto at = FindKey(*span, key)) {
    lines_[*at] = KeyValue(lines_[*at])->first + "=" + std::string(value);
    return;
  }
  // After the section's last non-blank line, so that a blank line before the next
  // section stays where it is.
  size_t insert = span->end;
  while (insert > span->header + 1 && text::TrimSpace(lines_[insert - 1]).empty()) --insert;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insert), keyName + "=" + std::string(value));
}
