#pragma once
// An error that ends start-up, shutdown or Done: shown as the stop-icon message with its
// description, number and line, after which the process ends.
#include <cstdint>
#include <string>
#include <string_view>

struct AppError {
  int32_t number = 0;
  std::wstring description;
  int line = 0;  // the start-up or shutdown step that failed; 0 when none is recorded
};

namespace AppErrors {
inline constexpr int32_t Overflow = 6;
inline constexpr int32_t FirstObjectError = static_cast<int32_t>(0x80040000u);  // cipher failures

// The fixed message layout: sentence, an empty line, then "Error: ", "Number: " and "Line: ".
// Numbers are written with one leading blank when not negative, a minus sign otherwise.
std::wstring FormatFatalMessage(std::wstring_view sentence, const AppError& error);
}  // namespace AppErrors
