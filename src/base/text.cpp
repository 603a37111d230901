#include "base/text.h"

namespace {
template <class Char>
std::basic_string<Char> Trim(std::basic_string_view<Char> s, std::basic_string_view<Char> set) {
  const auto first = s.find_first_not_of(set);
  if (first == s.npos) return {};
  const auto last = s.find_last_not_of(set);
  return std::basic_string<Char>(s.substr(first, last - first + 1));
}
template <class Char>
Char Lower(Char c) { return (c >= 'A' && c <= 'Z') ? static_cast<Char>(c - 'A' + 'a') : c; }
template <class Char>
bool SameNoCase(std::basic_string_view<Char> a, std::basic_string_view<Char> b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (Lower(a[i]) != Lower(b[i])) return false;
  return true;
}
}  // namespace

std::wstring text::TrimBlanks(std::wstring_view s) { return Trim<wchar_t>(s, L" "); }
std::string text::TrimBlanks(std::string_view s) { return Trim<char>(s, " "); }
std::string text::TrimSpace(std::string_view s) { return Trim<char>(s, " \t"); }

std::wstring text::LowerAscii(std::wstring_view s) {
  std::wstring out(s);
  for (auto& c : out) c = Lower(c);
  return out;
}
bool text::EqualsNoCase(std::string_view a, std::string_view b) { return SameNoCase(a, b); }
bool text::EqualsNoCase(std::wstring_view a, std::wstring_view b) { return SameNoCase(a, b); }
