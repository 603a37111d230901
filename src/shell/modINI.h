#pragma once
// config.ini on disk. Reads take the whole value; every write replaces the file atomically
// (a complete file beside it, then a rename), so a kill or power loss at any moment leaves
// either the old file or the new one.
#include <string>
#include <string_view>
#include <vector>

namespace modINI {

struct IniEntry {
  std::string_view section, key;
  std::wstring value;
};

// The trimmed value, or "" when the file, section or key is missing. Throws AppError when
// the file exists but cannot be read.
std::wstring ReadIniValue(std::string_view section, std::string_view key, const std::wstring& file);

// Writes the entries in order. With fresh, the file is rebuilt from nothing (only these
// entries remain); otherwise they are set in the file's current text. Throws AppError
// when the file cannot be written; the old file is then untouched.
void WriteIniValues(const std::vector<IniEntry>& entries, const std::wstring& file, bool fresh);

}  // namespace modINI
