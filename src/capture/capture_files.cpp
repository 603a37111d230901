#include "capture/capture_files.h"

#include <limits>

#include "base/numbers.h"

namespace {
void RemoveAll(std::wstring& s, std::wstring_view what) {
  if (what.empty()) return;
  for (size_t at = s.find(what); at != std::wstring::npos; at = s.find(what, at)) s.erase(at, what.size());
}
}  // namespace

bool modScreenshot::FileNumber(std::wstring_view name, std::wstring_view prefix, int32_t& number) {
  const size_t dot = name.find(L'.');
  if (dot == std::wstring_view::npos) return false;
  std::wstring rest(name);
  RemoveAll(rest, name.substr(dot));
  RemoveAll(rest, prefix);
  const auto value = numbers::ParseDecimal(rest);
  if (!value) return false;
  const auto rounded = numbers::RoundToInt32(*value);
  if (!rounded) return false;
  number = *rounded;
  return true;
}

int32_t modScreenshot::HighestNumber(const std::vector<std::wstring>& names, std::wstring_view prefix) {
  int32_t highest = 0;
  for (const auto& name : names) {
    int32_t n = 0;
    if (FileNumber(name, prefix, n) && n > highest) highest = n;
  }
  return highest;
}

int32_t modScreenshot::NextNumber(int32_t highest) {
  if (highest < 0) return 1;
  return highest == std::numeric_limits<int32_t>::max() ? highest : highest + 1;
}

std::wstring modScreenshot::StripWildcard(std::wstring_view prefix) {
  std::wstring p(prefix);
  RemoveAll(p, L"*.*");
  return p;
}
