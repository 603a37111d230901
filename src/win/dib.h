#pragma once
// A top-down 32-bit DIB section selected into its own memory DC: GDI draws on it and the
// program reads and writes its pixels directly (0x00RRGGBB per pixel).
#include <windows.h>

#include <cstdint>

#include "win/gdi.h"

namespace win {

class DibSection {
 public:
  DibSection() = default;
  // An empty section when the size is not positive or memory is short; check with bool.
  DibSection(int width, int height);
  ~DibSection();
  DibSection(DibSection&& o) noexcept;
  DibSection& operator=(DibSection&& o) noexcept;
  DibSection(const DibSection&) = delete;
  DibSection& operator=(const DibSection&) = delete;

  explicit operator bool() const { return bits_ != nullptr; }
  HDC dc() const { return dc_.get(); }
  HBITMAP bitmap() const { return bitmap_.get(); }
  int width() const { return width_; }
  int height() const { return height_; }
  uint32_t* pixels() const { return bits_; }
  size_t pixelCount() const { return static_cast<size_t>(width_) * static_cast<size_t>(height_); }

 private:
  void Release() noexcept;

  unique_hdc dc_;
  unique_hbitmap bitmap_;
  HGDIOBJ oldBitmap_ = nullptr;
  uint32_t* bits_ = nullptr;
  int width_ = 0, height_ = 0;
};

}  // namespace win
