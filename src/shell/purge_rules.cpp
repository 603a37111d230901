#include "shell/purge_rules.h"

#include "base/text.h"

namespace {
// Days since 1970-01-01 of a proleptic Gregorian date.
int64_t DaysFromCivil(int64_t y, int m, int d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const int64_t yoe = y - era * 400;
  const int64_t doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}
}  // namespace

int64_t modFileOps::AgeInDays(const CivilDate& modified, const CivilDate& today) {
  return DaysFromCivil(today.year, today.month, today.day) - DaysFromCivil(modified.year, modified.month, modified.day);
}

int16_t modFileOps::EffectiveAgeDays(int16_t days) { return days < 1 ? 90 : days; }

bool modFileOps::IsTooOld(const std::optional<CivilDate>& modified, const CivilDate& today, int16_t days) {
  return modified && AgeInDays(*modified, today) > days;
}

std::wstring modFileOps::WithBackslashes(std::wstring_view folder) {
  std::wstring out(folder);
  for (wchar_t& c : out)
    if (c == L'/') c = L'\\';
  return out;
}

bool modFileOps::IsPurgeableFolder(std::wstring_view given) {
  const std::wstring folder = WithBackslashes(given);
  constexpr std::wstring_view tail = L"\\Mirel Lumo\\images\\";
  if (folder.size() <= tail.size()) return false;
  const bool absolute = (folder.size() > 2 && folder[1] == L':' && folder[2] == L'\\') || folder.substr(0, 2) == L"\\\\";
  return absolute && text::EqualsNoCase(std::wstring_view(folder).substr(folder.size() - tail.size()), tail) &&
         folder.find(L"\\..\\") == std::wstring::npos;
}
