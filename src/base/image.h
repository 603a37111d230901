#pragma once
// Pictures as the program holds them: 32-bit pixels 0x00RRGGBB, rows top to bottom without
// padding, as a top-down 32-bit DIB holds them.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace base {

// Pixels held elsewhere (a DIB section, say).
struct ImageView {
  int width = 0, height = 0;
  const uint32_t* pixels = nullptr;
};

struct Image {
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;

  Image() = default;
  Image(int w, int h, uint32_t fill = 0)
      : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h), fill) {}
  uint32_t& at(int x, int y) { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x]; }
  uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * static_cast<size_t>(width) + x]; }
  bool operator==(const Image&) const = default;
  ImageView View() const { return {width, height, pixels.data()}; }
  static Image Copy(ImageView v) {
    Image img;
    img.width = v.width;
    img.height = v.height;
    img.pixels.assign(v.pixels, v.pixels + static_cast<size_t>(v.width) * static_cast<size_t>(v.height));
    return img;
  }
};

using Picture = std::optional<Image>;  // none: the empty state

}  // namespace base
