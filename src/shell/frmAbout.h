#pragma once
// The About box: title, version, description, maker and web link, modal over the main window.
#include <windows.h>

#include <string>

#include "shell/about_texts.h"

namespace frmAbout {

inline constexpr const wchar_t* WindowClass = L"MirelLumo.frmAbout";
enum ControlId { lblTitle = 201, lblVersion, lblDescription, Label1, Label2, Label3, cmdOK = IDOK };

// The program's title and version from its own version information.
std::wstring ProgramTitle();
frmAboutTexts::Version ProgramVersion();

// Shows the box; the owner takes no input until it is closed. Returns then.
void ShowModal(HWND owner, HICON icon);

}  // namespace frmAbout
