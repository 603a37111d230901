#pragma once
// The numeric test and the rounding used for switch values and file numbers: ordinary
// decimal notation (optional sign, digits with an optional point, optional exponent,
// blanks around it), rounded to the nearest integer with halves to even.
#include <cstdint>
#include <optional>
#include <string_view>

namespace numbers {
// The value when the text is a number in ordinary decimal notation; infinity when it is
// one but too large for a double.
std::optional<double> ParseDecimal(std::wstring_view text);

// Rounds half to even; nothing when the result does not fit.
std::optional<int16_t> RoundToInt16(double value);
std::optional<int32_t> RoundToInt32(double value);
// Same, raising the "Overflow" error (number 6) when it does not fit; line is the start-up
// step to report.
int16_t RoundToInt16OrThrow(double value, int line);
int32_t RoundToInt32OrThrow(double value, int line);
}  // namespace numbers
