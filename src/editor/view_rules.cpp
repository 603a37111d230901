#include "editor/view_rules.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "base/numbers.h"
#include "base/text.h"

namespace editor {

namespace {
// A size passed to the platform as a 32-bit float and rounded to whole pixels.
std::optional<int> ShownSide(int side, double factor) {
  const float scaled = static_cast<float>(side * factor);
  if (!std::isfinite(scaled)) return std::nullopt;
  const double whole = std::nearbyint(static_cast<double>(scaled));  // halves to even
  // Out of bounds only counts when the step leads further out: a picture thinner than the
  // lower bound can still be enlarged.
  if ((whole < MinShownSide && whole < side) || (whole > MaxShownSide && whole > side) || whole < 1) return std::nullopt;
  return static_cast<int>(whole);
}
}  // namespace

std::optional<Size> ZoomedSize(Size shown, double factor) {
  const auto w = ShownSide(shown.width, factor);
  const auto h = ShownSide(shown.height, factor);
  if (!w || !h) return std::nullopt;
  return Size{*w, *h};
}

PointF ShownToPicture(PointF shown, Size shownSize, Size pictureSize) {
  if (shownSize.width <= 0 || shownSize.height <= 0) return shown;
  // From the middle of the shown pixel to the middle of the picture pixel under it.
  return {(shown.x + 0.5) * pictureSize.width / shownSize.width - 0.5,
          (shown.y + 0.5) * pictureSize.height / shownSize.height - 0.5};
}

int PictureIndexShownAt(int shownIndex, int shownLength, int pictureLength) {
  if (shownLength <= 0 || pictureLength <= 0) return 0;
  const long long k = (2LL * shownIndex + 1) * pictureLength / (2LL * shownLength);  // floor of the middle
  return static_cast<int>(std::clamp<long long>(k, 0, pictureLength - 1));
}

BarLayout LayoutForClient(int clientWidth, int clientHeight, const BarMetrics& m) {
  BarLayout l;
  const auto barHeight = numbers::RoundToInt16(2.5 * m.bottomBarUnit);
  l.barLine = clientHeight - barHeight.value_or(0);
  if (clientWidth >= 0 && l.barLine >= 0) l.viewport = Size{clientWidth, l.barLine};
  l.buttonsTop = l.barLine + m.gap;
  l.settingsLeft = clientWidth - m.settingsWidth - m.margin;
  l.send2JiraLeft = l.settingsLeft - m.send2JiraWidth - m.margin;
  l.frameSettingsLeft = l.settingsLeft + m.settingsWidth - m.frameSettingsWidth;
  l.frameSettingsTop = l.barLine - m.frameSettingsHeight;
  return l;
}

SlideTick NextSlideStep(int top, int height, bool toolsPanelShown, int step) {
  int move;
  if (toolsPanelShown) move = -step;
  else if (top > -step) move = -top;  // lands exactly on 0
  else move = step;
  SlideTick t{top + move, false, toolsPanelShown};
  if (!toolsPanelShown && t.top >= 0) {
    t.stop = true;
    t.shown = true;
  } else if (toolsPanelShown && t.top + height <= 0) {
    t.stop = true;
    t.shown = false;
  }
  return t;
}

KeyCommand KeyUpCommand(int keyCode, int shift) {
  if (shift == CtrlMask) {
    if (keyCode == 'Z') return KeyCommand::Undo;
    if (keyCode == 'V') return KeyCommand::Paste;
    return KeyCommand::None;
  }
  if (shift != 0) return KeyCommand::None;
  switch (keyCode) {
    case 'N': return KeyCommand::NoDraw;
    case 'F': return KeyCommand::FreeDraw;
    case 'B': return KeyCommand::BoxDraw;
    case 'L': return KeyCommand::LineDraw;
    case 'A': return KeyCommand::Arrow;
    case 'T': return KeyCommand::Text;
    case 'R': return KeyCommand::Redact;
    default: return KeyCommand::None;
  }
}

std::optional<int32_t> ParseNextNumber(std::wstring_view reply, wchar_t decimalSeparator, wchar_t thousandsSeparator) {
  std::wstring t = text::TrimBlanks(reply);
  if (t.empty()) return std::nullopt;
  // "1,000" is a thousand where the comma groups thousands.
  if (thousandsSeparator != 0 && thousandsSeparator != decimalSeparator && t.front() != thousandsSeparator)
    std::erase(t, thousandsSeparator);
  // The user's own decimal separator is read as the point.
  if (decimalSeparator != L'.' && t.find(L'.') == std::wstring::npos)
    for (wchar_t& c : t)
      if (c == decimalSeparator) c = L'.';
  const auto value = numbers::ParseDecimal(t);
  if (!value) return std::nullopt;
  const auto n = numbers::RoundToInt16(*value);
  if (!n || *n < 1) return std::nullopt;
  return *n;
}

}  // namespace editor
