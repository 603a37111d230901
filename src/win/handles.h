#pragma once
// Owners of the kernel, registry and GDI handles the program uses.
#include <windows.h>

#include "win/unique_resource.h"

namespace win {

inline void CloseKernelHandle(HANDLE h) noexcept { ::CloseHandle(h); }
inline void CloseRegKey(HKEY k) noexcept { ::RegCloseKey(k); }

struct file_handle_traits {
  using handle_type = HANDLE;
  static HANDLE empty() noexcept { return INVALID_HANDLE_VALUE; }
  static bool is_empty(HANDLE h) noexcept { return h == INVALID_HANDLE_VALUE || h == nullptr; }
  static void close(HANDLE h) noexcept { ::CloseHandle(h); }
};

struct find_handle_traits {
  using handle_type = HANDLE;
  static HANDLE empty() noexcept { return INVALID_HANDLE_VALUE; }
  static bool is_empty(HANDLE h) noexcept { return h == INVALID_HANDLE_VALUE; }
  static void close(HANDLE h) noexcept { ::FindClose(h); }
};

using unique_handle = unique_resource<null_traits<HANDLE, CloseKernelHandle>>;  // events, mutexes, processes
using unique_file = unique_resource<file_handle_traits>;                       // CreateFile results
using unique_hkey = unique_resource<null_traits<HKEY, CloseRegKey>>;
using unique_find = unique_resource<find_handle_traits>;                       // FindFirstFile results

}  // namespace win
