#pragma once
// The common controls, loaded on first use rather than with every start, and tooltips.
#include <windows.h>

namespace win {
void InitCommonControlsOnce();
// A tooltip window for the controls of `owner`.
HWND CreateTooltipWindow(HWND owner);
// Shows `text` while the mouse rests on `tool`, a child of `parent`.
void AddTooltip(HWND tooltip, HWND parent, HWND tool, const wchar_t* text);
}  // namespace win
