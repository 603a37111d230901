#include "capture/loupe_rules.h"

#include <algorithm>
#include <cstdio>
#include <iterator>

namespace loupeRules {

int NextZoom(int zoom, int steps) {
  const int* at = std::find(std::begin(Zooms), std::end(Zooms), zoom);
  const int index = at == std::end(Zooms) ? 2 : static_cast<int>(at - std::begin(Zooms));
  return Zooms[std::clamp(index + steps, 0, static_cast<int>(std::size(Zooms)) - 1)];
}

Rect SourceRect(Point hotSpot, int side, int zoom) {
  // Enough pixels each way to fill half the side beyond the hot spot's own half cell.
  const int reach = (side / 2 - zoom / 2 + zoom - 1) / zoom;
  return {hotSpot.x - reach, hotSpot.y - reach, 2 * reach + 1, 2 * reach + 1};
}

int CellStart(int offset, int side, int zoom) { return (side - zoom) / 2 + offset * zoom; }

Point LoupePlace(Point hotSpot, int width, int height, int gap, const Rect& monitor, std::optional<Point> anchor) {
  // Away from the selection's anchor; below-right when there is none or it is in line.
  const bool right = !anchor || hotSpot.x >= anchor->x;
  const bool down = !anchor || hotSpot.y >= anchor->y;
  auto place = [&](bool after, int at, int size, int low, int length) {
    const int afterAt = at + gap, beforeAt = at - gap - size;
    const bool afterFits = afterAt + size <= low + length, beforeFits = beforeAt >= low;
    if (after) return afterFits || !beforeFits ? afterAt : beforeAt;
    return beforeFits || !afterFits ? beforeAt : afterAt;
  };
  return {place(right, hotSpot.x, width, monitor.left, monitor.width),
          place(down, hotSpot.y, height, monitor.top, monitor.height)};
}

std::wstring PositionText(Point p) { return std::to_wstring(p.x) + L", " + std::to_wstring(p.y); }

std::wstring ColourText(uint32_t rgb) {
  wchar_t text[8];
  std::swprintf(text, 8, L"#%06X", static_cast<unsigned>(rgb & 0xFFFFFF));
  return text;
}

std::wstring SizeText(int width, int height) {
  return std::to_wstring(width) + L" \u00D7 " + std::to_wstring(height);
}

}  // namespace loupeRules
