#pragma once
#include "win/handles.h"

namespace modSaveImages {

template <class Write>
bool WriteFileWhole(const std::wstring& target, bool replace, Write write) {
  // The temporary name does not start like any numbered file, so that a file left by a
  // crash is never counted or handed on.
  const std::wstring folder = target.substr(0, target.find_last_of(L"\\/") + 1);
  const std::wstring temp = folder + L"~lumo-" + std::to_wstring(::GetCurrentProcessId()) + L".tmp";
  bool ok = write(temp);
  if (ok) ok = ::MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0));
  if (!ok) {
    const DWORD err = ::GetLastError();
    ::DeleteFileW(temp.c_str());
    ::SetLastError(err);
  }
  return ok;
}

}  // namespace modSaveImages
