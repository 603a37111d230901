#include "base/numbers.h"

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

#include "base/app_error.h"

namespace {
bool IsDigit(wchar_t c) { return c >= L'0' && c <= L'9'; }
bool IsBlank(wchar_t c) { return c == L' ' || c == L'\t'; }

template <class Int>
std::optional<Int> RoundTo(double value) {
  if (!std::isfinite(value)) return std::nullopt;
  const double r = std::nearbyint(value);  // the default rounding mode: halves to even
  if (r < static_cast<double>(std::numeric_limits<Int>::min()) ||
      r > static_cast<double>(std::numeric_limits<Int>::max()))
    return std::nullopt;
  return static_cast<Int>(r);
}

[[noreturn]] void ThrowOverflow(int line) { throw AppError{AppErrors::Overflow, L"Overflow", line}; }
}  // namespace

std::optional<double> numbers::ParseDecimal(std::wstring_view text) {
  size_t i = 0, n = text.size();
  while (i < n && IsBlank(text[i])) ++i;
  while (n > i && IsBlank(text[n - 1])) --n;
  std::string ascii;  // the validated number, for from_chars
  if (i < n && (text[i] == L'+' || text[i] == L'-')) {
    if (text[i] == L'-') ascii += '-';
    ++i;
  }
  size_t digits = 0;
  auto take_digits = [&] {
    size_t count = 0;
    while (i < n && IsDigit(text[i])) { ascii += static_cast<char>(text[i++]); ++count; }
    return count;
  };
  digits += take_digits();
  if (i < n && text[i] == L'.') {
    ascii += '.';
    ++i;
    digits += take_digits();
  }
  if (digits == 0) return std::nullopt;
  if (i < n && (text[i] == L'e' || text[i] == L'E')) {
    ascii += 'e';
    ++i;
    if (i < n && (text[i] == L'+' || text[i] == L'-')) ascii += static_cast<char>(text[i++]);
    if (take_digits() == 0) return std::nullopt;
  }
  if (i != n) return std::nullopt;

  double value = 0;
  const auto [end, ec] = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
  if (ec == std::errc::result_out_of_range) {
    // strtod gives infinity for a value too large and (about) zero for one too small; the
    // program never changes the C locale, so its decimal point is ".".
    return std::strtod(ascii.c_str(), nullptr);
  }
  if (ec != std::errc() || end != ascii.data() + ascii.size()) return std::nullopt;
  return value;
}

std::optional<int16_t> numbers::RoundToInt16(double value) { return RoundTo<int16_t>(value); }
std::optional<int32_t> numbers::RoundToInt32(double value) { return RoundTo<int32_t>(value); }

int16_t numbers::RoundToInt16OrThrow(double value, int line) {
  if (auto r = RoundToInt16(value)) return *r;
  ThrowOverflow(line);
}
int32_t numbers::RoundToInt32OrThrow(double value, int line) {
  if (auto r = RoundToInt32(value)) return *r;
  ThrowOverflow(line);
}
