#include "win/dib.h"

#include <utility>

namespace win {

DibSection::DibSection(int width, int height) {
  if (width <= 0 || height <= 0) return;
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB};
  void* bits = nullptr;
  unique_hbitmap bitmap(::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  unique_hdc dc(::CreateCompatibleDC(nullptr));
  if (!bitmap || !dc || !bits) return;
  oldBitmap_ = ::SelectObject(dc.get(), bitmap.get());
  if (!oldBitmap_ || oldBitmap_ == HGDI_ERROR) return;
  dc_ = std::move(dc);
  bitmap_ = std::move(bitmap);
  bits_ = static_cast<uint32_t*>(bits);
  width_ = width;
  height_ = height;
}

void DibSection::Release() noexcept {
  if (dc_ && oldBitmap_) ::SelectObject(dc_.get(), oldBitmap_);
  dc_.reset();
  bitmap_.reset();
  oldBitmap_ = nullptr;
  bits_ = nullptr;
  width_ = height_ = 0;
}

DibSection::~DibSection() { Release(); }

DibSection::DibSection(DibSection&& o) noexcept { *this = std::move(o); }

DibSection& DibSection::operator=(DibSection&& o) noexcept {
  if (this != &o) {
    Release();
    dc_ = std::move(o.dc_);
    bitmap_ = std::move(o.bitmap_);
    oldBitmap_ = std::exchange(o.oldBitmap_, nullptr);
    bits_ = std::exchange(o.bits_, nullptr);
    width_ = std::exchange(o.width_, 0);
    height_ = std::exchange(o.height_, 0);
  }
  return *this;
}

DibSection CopyScreen(const RECT& r) {
  DibSection dib(r.right - r.left, r.bottom - r.top);
  window_dc screen(nullptr);
  if (!dib || !screen || !::BitBlt(dib.dc(), 0, 0, dib.width(), dib.height(), screen.get(), r.left, r.top, SRCCOPY))
    return {};
  ::GdiFlush();
  return dib;
}

}  // namespace win
