#pragma once
// A canvas for the editor model without a window: shapes one pixel wide (red, or inverted for a
// rubber band) on a back buffer of plain pixels, each also logged; its text box holds `typed`.
#include <array>
#include <cmath>
#include <cstdlib>
#include <optional>
#include <random>
#include <set>
#include <stdexcept>
#include <utility>
#include <vector>

#include "editor/canvas.h"

namespace testcanvas {

using editor::Image;
using editor::Picture;
using editor::PointF;
using editor::Shape;

inline constexpr uint32_t Background = 0x00FFFFFF;
inline constexpr uint32_t Red = 0x00FF0000;
inline constexpr uint32_t MarkerInk = 0x000000FE;  // the centre pixel of a marker

// A picture of random colours, the same for the same seed.
inline Image Photo(int w, int h, uint32_t seed) {
  Image img(w, h);
  std::mt19937 rng(seed);
  for (auto& p : img.pixels) p = rng() & 0x00FFFFFF;
  return img;
}

class FakeCanvas : public editor::Canvas {
 public:
  Image back;
  std::vector<Shape> shapes;  // every shape drawn, in order
  int movedX = 0, movedY = 0;
  bool failShow = false;      // no memory for the next picture
  bool failDrawn = false;     // reading the back buffer runs out of memory
  std::optional<base::Rect> textBox;  // the open text box
  std::wstring typed;                 // what the user types into it

  void Draw(const Shape& s) override {
    shapes.push_back(s);
    const int x0 = Round(s.from.x), y0 = Round(s.from.y), x1 = Round(s.to.x), y1 = Round(s.to.y);
    if (s.kind == Shape::Kind::Marker) return Put(x0, y0, MarkerInk, false);
    if (s.kind == Shape::Kind::Label) return Put(x0, y0, Red, false);
    if (s.kind == Shape::Kind::Redaction) {
      for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) Put(x, y, 0, false);
      return;
    }
    // Each pixel once, so that inverting a rubber band twice restores the picture.
    std::set<std::pair<int, int>> pixels;
    if (s.kind != Shape::Kind::Box) Line(x0, y0, x1, y1, pixels);
    else
      for (auto [a, b, c, d] : {std::array{x0, y0, x1, y0}, {x1, y0, x1, y1}, {x1, y1, x0, y1}, {x0, y1, x0, y0}})
        Line(a, b, c, d, pixels);
    for (auto [x, y] : pixels) Put(x, y, Red, s.ink == editor::Ink::Invert);
  }
  editor::ImageView Drawn() override {
    if (failDrawn) throw std::bad_alloc();
    return back.View();
  }
  bool Show(const Picture& p) override {
    if (failShow) return false;
    if (p) back = *p;
    else std::fill(back.pixels.begin(), back.pixels.end(), Background);
    return true;
  }
  void ShowArea(const Picture& p, const editor::ChangedArea& a) override {
    for (int y = a.top; y < a.bottom; ++y)
      for (int x = a.left; x < a.right; ++x) back.at(x, y) = p->at(x, y);
  }
  void Revert(const Picture& p) override {
    if (p && p->width == back.width && p->height == back.height) back = *p;
    else std::fill(back.pixels.begin(), back.pixels.end(), Background);
  }
  void MoveBy(int dx, int dy) override { movedX += dx, movedY += dy; }
  int LabelLineHeight() override { return 16; }
  void OpenTextBox(const base::Rect& box) override { textBox = box; }
  std::wstring CloseTextBox() override {
    if (!textBox) throw std::logic_error("no text box open");
    textBox.reset();
    return std::exchange(typed, L"");
  }

 private:
  static int Round(double v) { return static_cast<int>(std::lround(v)); }
  void Put(int x, int y, uint32_t colour, bool invert) {
    if (x < 0 || y < 0 || x >= back.width || y >= back.height) return;
    back.at(x, y) = invert ? back.at(x, y) ^ 0x00FFFFFF : colour;
  }
  static void Line(int x0, int y0, int x1, int y1, std::set<std::pair<int, int>>& pixels) {
    const int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0), sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    for (int err = dx + dy;;) {
      pixels.emplace(x0, y0);
      if (x0 == x1 && y0 == y1) return;
      const int e2 = 2 * err;
      if (e2 >= dy) err += dy, x0 += sx;
      if (e2 <= dx) err += dx, y0 += sy;
    }
  }
};

}  // namespace testcanvas
