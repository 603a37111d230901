#pragma once
// Movable global memory, the currency of the clipboard: owned until the clipboard takes it.
#include <windows.h>

#include <cstring>

#include "win/unique_resource.h"

namespace win {

inline void FreeGlobal(HGLOBAL h) noexcept { ::GlobalFree(h); }
using unique_hglobal = unique_resource<null_traits<HGLOBAL, FreeGlobal>>;

// A global block locked for the guard's lifetime.
class global_lock {
 public:
  explicit global_lock(HGLOBAL h) : h_(h), p_(h ? ::GlobalLock(h) : nullptr) {}
  ~global_lock() {
    if (p_) ::GlobalUnlock(h_);
  }
  global_lock(const global_lock&) = delete;
  global_lock& operator=(const global_lock&) = delete;
  void* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  HGLOBAL h_;
  void* p_;
};

// A new movable block holding a copy of the bytes; empty when memory is short.
inline unique_hglobal GlobalCopy(const void* data, size_t size) {
  unique_hglobal block(::GlobalAlloc(GMEM_MOVEABLE, size ? size : 1));
  global_lock lock(block.get());
  if (!lock) return {};
  if (size) std::memcpy(lock.get(), data, size);
  return block;
}

}  // namespace win
