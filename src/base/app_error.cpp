#include "base/app_error.h"

namespace {
std::wstring SignedNumberText(long long n) {
  return (n < 0 ? L"" : L" ") + std::to_wstring(n);
}
}  // namespace

std::wstring AppErrors::FormatFatalMessage(std::wstring_view sentence, const AppError& error) {
  std::wstring text(sentence);
  text += L"\r\n\r\nError: ";
  text += error.description;
  text += L"\r\nNumber: ";
  text += SignedNumberText(error.number);
  text += L"\r\nLine: ";
  text += SignedNumberText(error.line);
  return text;
}
