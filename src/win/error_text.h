#pragma once
#include <cstdint>
#include <string>

namespace win {
// "[code] " + the system's message for the code, without its trailing line break.
std::wstring SystemErrorText(uint32_t code);
}  // namespace win
