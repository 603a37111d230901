#pragma once
// Pictures the tests draw on and compare with: a plain canvas and a pattern in which every
// pixel differs from its neighbours.
#include <algorithm>
#include <cstdint>

#include "win/dib.h"

namespace testpictures {

inline win::DibSection Canvas(int w, int h, uint32_t fill = 0x00FFFFFF) {
  win::DibSection dib(w, h);
  std::fill(dib.pixels(), dib.pixels() + dib.pixelCount(), fill);
  return dib;
}

inline uint32_t PatternPixel(int x, int y) {
  return static_cast<uint32_t>(((x * 7) & 0xFF) << 16 | ((y * 5) & 0xFF) << 8 | 0x33);
}

inline win::DibSection Pattern(int w, int h) {
  win::DibSection dib(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) dib.pixels()[static_cast<size_t>(y) * w + x] = PatternPixel(x, y);
  return dib;
}

}  // namespace testpictures
