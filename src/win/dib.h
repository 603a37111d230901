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

  // While one lives, the bitmap is out of the section's DC: GDI+ must not be given a bitmap
  // that is selected into a DC.
  class Unselected {
   public:
    explicit Unselected(const DibSection& d) : d_(d) {
      if (d_.dc_ && d_.oldBitmap_) ::SelectObject(d_.dc_.get(), d_.oldBitmap_);
    }
    ~Unselected() {
      if (d_.dc_ && d_.bitmap_) ::SelectObject(d_.dc_.get(), d_.bitmap_.get());
    }
    Unselected(const Unselected&) = delete;
    Unselected& operator=(const Unselected&) = delete;

   private:
    const DibSection& d_;
  };

 private:
  void Release() noexcept;

  unique_hdc dc_;
  unique_hbitmap bitmap_;
  HGDIOBJ oldBitmap_ = nullptr;
  uint32_t* bits_ = nullptr;
  int width_ = 0, height_ = 0;
};

// The screen's pixels in the rectangle (screen coordinates), as a DIB of its size; empty when
// the copy failed.
DibSection CopyScreen(const RECT& r);

}  // namespace win
