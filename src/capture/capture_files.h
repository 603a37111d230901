#pragma once
// Numbered file names in the images folder: prefix, a decimal number, an extension.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace modScreenshot {

// The file's number for that prefix, when it has one: the extension runs from the first
// ".", every occurrence of it and then of the prefix (case-sensitive) is removed, and the
// rest must be a number in ordinary decimal notation. Numbers that do not fit a positive
// 32-bit integer are not counted.
bool FileNumber(std::wstring_view name, std::wstring_view prefix, int32_t& number);

// The highest number among the names (0 when none has one).
int32_t HighestNumber(const std::vector<std::wstring>& names, std::wstring_view prefix);

// The number after highest, never beyond the largest positive 32-bit number.
int32_t NextNumber(int32_t highest);

// Removes every "*.*" from a listing prefix.
std::wstring StripWildcard(std::wstring_view prefix);

}  // namespace modScreenshot
