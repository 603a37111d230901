#pragma once
// The clipboard as another program uses it.
#include <windows.h>

#include <cstring>
#include <string>

namespace testclipboard {

// Puts the bytes on the clipboard, alone, in that format.
inline bool Put(UINT format, const void* data, size_t size) {
  if (!::OpenClipboard(nullptr)) return false;
  ::EmptyClipboard();
  HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, size);
  std::memcpy(::GlobalLock(mem), data, size);
  ::GlobalUnlock(mem);
  const bool ok = ::SetClipboardData(format, mem) != nullptr;
  ::CloseClipboard();
  return ok;
}

// What the clipboard holds in that format, "" when nothing.
inline std::string Bytes(UINT format) {
  std::string bytes;
  if (!::OpenClipboard(nullptr)) return bytes;
  if (HANDLE h = ::GetClipboardData(format))
    if (const auto* p = static_cast<const char*>(::GlobalLock(h))) {
      bytes.assign(p, ::GlobalSize(h));
      ::GlobalUnlock(h);
    }
  ::CloseClipboard();
  return bytes;
}

inline UINT Png() { return ::RegisterClipboardFormatW(L"PNG"); }

}  // namespace testclipboard
