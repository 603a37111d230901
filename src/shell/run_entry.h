#pragma once
#include <string>

namespace modRunEntry {
// The program's own full path.
std::wstring ExecutablePath();
// Registers the program to start with Windows: a value named after the executable (without
// extension) under HKCU\Software\Microsoft\Windows\CurrentVersion\Run, holding the quoted
// path. Throws AppError when the registry refuses.
void RegisterRunEntry();
}  // namespace modRunEntry
