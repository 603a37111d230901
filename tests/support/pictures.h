#pragma once
// Pictures the tests draw on and compare with.
#include <algorithm>
#include <cstdint>
#include <random>

#include "win/dib.h"

namespace testpictures {

inline win::DibSection Canvas(int w, int h, uint32_t fill = 0x00FFFFFF) {
  win::DibSection dib(w, h);
  std::fill(dib.pixels(), dib.pixels() + dib.pixelCount(), fill);
  return dib;
}

// Every pixel differs from its neighbours.
inline win::DibSection Pattern(int w, int h) {
  win::DibSection dib(w, h);
  uint32_t* pixel = dib.pixels();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) *pixel++ = ((x * 7) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 | 0x33;
  return dib;
}

// Random colours, the same for the same seed.
inline win::DibSection Noise(int w, int h, unsigned seed) {
  win::DibSection dib(w, h);
  std::mt19937 random(seed);
  for (size_t i = 0; i < dib.pixelCount(); ++i) dib.pixels()[i] = random() & 0x00FFFFFF;
  return dib;
}

// The colour at (x, y), once GDI has finished drawing.
inline uint32_t At(const win::DibSection& dib, int x, int y) {
  ::GdiFlush();
  return dib.pixels()[static_cast<size_t>(y) * dib.width() + x] & 0x00FFFFFF;
}

}  // namespace testpictures
