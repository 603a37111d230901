#pragma once
// Small text rules shared by the portable layer.
#include <string>
#include <string_view>

namespace text {
// Removes leading and trailing blanks (spaces only), as the settings fields are trimmed.
std::wstring TrimBlanks(std::wstring_view s);
std::string TrimBlanks(std::string_view s);
// Removes leading and trailing spaces and tabs, as profile values are read.
std::string TrimSpace(std::string_view s);
// ASCII-only case folding: the switch and INI names are ASCII, and the result must not
// depend on the C library's locale.
std::wstring LowerAscii(std::wstring_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool EqualsNoCase(std::wstring_view a, std::wstring_view b);
}  // namespace text
