#pragma once
// Text between UTF-16 and the 8-bit encodings the program meets: UTF-8 (stored values) and
// the ANSI code page (config.ini, ANSI file lists, the upload's names).
#include <windows.h>

#include <string>
#include <string_view>

namespace win {

std::string Narrow(std::wstring_view text, UINT codePage);
std::wstring Widen(std::string_view bytes, UINT codePage);

inline std::string ToUtf8(std::wstring_view text) { return Narrow(text, CP_UTF8); }
inline std::wstring FromUtf8(std::string_view bytes) { return Widen(bytes, CP_UTF8); }
inline std::string ToAnsi(std::wstring_view text) { return Narrow(text, CP_ACP); }
inline std::wstring FromAnsi(std::string_view bytes) { return Widen(bytes, CP_ACP); }

}  // namespace win
