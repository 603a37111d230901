#pragma once
// When the images folder purge removes a file, and which folders it may touch at all.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace modFileOps {

struct CivilDate {
  int year = 1970, month = 1, day = 1;
};

// Calendar-day boundaries between two local dates: modified yesterday at 23:59 is 1 at
// 00:01 today.
int64_t AgeInDays(const CivilDate& modified, const CivilDate& today);

// Days below 1 mean the default of 90.
int16_t EffectiveAgeDays(int16_t days);

// A file goes when it is older than `days`; a file whose date cannot be read is kept.
bool IsTooOld(const std::optional<CivilDate>& modified, const CivilDate& today, int16_t days);

// The folder with "/" read as "\", as the file system reads it.
std::wstring WithBackslashes(std::wstring_view folder);

// The purge works only on an images folder of the program: a full path ending in
// "Mirel Lumo\images\" (any case; "/" counts as "\"). Anything else (an empty text, a relative path, a drive
// root, another folder) is refused, so that nothing anywhere else is ever removed.
bool IsPurgeableFolder(std::wstring_view folder);

}  // namespace modFileOps
