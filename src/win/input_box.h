#pragma once
// A modal input box: a prompt, a title and a default reply. Tells Cancel (nothing) from an
// empty OK (an empty text).
#include <windows.h>

#include <optional>
#include <string>

namespace win {

inline constexpr const wchar_t* InputBoxClass = L"MirelLumo.InputBox";
enum InputBoxId { InputPrompt = 301, InputReply = 302 };

std::optional<std::wstring> InputBox(HWND owner, const std::wstring& prompt, const std::wstring& title,
                                     const std::wstring& defaultReply);

}  // namespace win
