#pragma once
#include <windows.h>

namespace win {
// Lets the pending window messages of this thread run, as a form's DoEvents does.
void DoEvents();
// Lets messages run for the given time, without busy waiting.
void PumpFor(DWORD milliseconds);
}  // namespace win
