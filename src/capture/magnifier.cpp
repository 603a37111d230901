#include "capture/magnifier.h"

#include <algorithm>
#include <cwchar>

namespace {

using loupeRules::CellStart;

constexpr uint32_t Orange = 0xFF8000, Grid = 0x606060, White = 0xFFFFFF, Black = 0x000000, ReadoutBack = 0x202020;
constexpr int ReadoutLinesAt96 = 36;  // two lines of the readout

// Fills a rectangle of the picture (clipped to it) with one colour.
void Fill(win::DibSection& dib, int left, int top, int right, int bottom, uint32_t colour) {
  left = std::max(left, 0), top = std::max(top, 0);
  right = std::min(right, dib.width()), bottom = std::min(bottom, dib.height());
  for (int y = top; y < bottom; ++y) std::fill_n(dib.pixels() + static_cast<size_t>(y) * dib.width() + left, std::max(right - left, 0), colour);
}

void Frame(win::DibSection& dib, int left, int top, int right, int bottom, uint32_t colour) {
  Fill(dib, left, top, right, top + 1, colour);
  Fill(dib, left, bottom - 1, right, bottom, colour);
  Fill(dib, left, top, left + 1, bottom, colour);
  Fill(dib, right - 1, top, right, bottom, colour);
}

}  // namespace

bool Magnifier::Loupe::Make(HWND overlay) {
  // Layered at full opacity: screen copies leave it out where they leave the overlay out,
  // and with WS_EX_TRANSPARENT the mouse goes through it to the overlay.
  if (!Create(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TRANSPARENT, L"", WS_POPUP,
              0, 0, 1, 1, overlay))
    return false;
  return ::SetLayeredWindowAttributes(hwnd(), 0, 255, LWA_ALPHA) != FALSE;
}

void Magnifier::Loupe::Show(POINT at, int width, int height) {
  ::SetWindowPos(hwnd(), nullptr, at.x, at.y, width, height, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  ::InvalidateRect(hwnd(), nullptr, FALSE);
  ::UpdateWindow(hwnd());
}

LRESULT Magnifier::Loupe::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCHITTEST:
      return HTTRANSPARENT;
    case WM_GETTEXTLENGTH:
      return static_cast<LRESULT>(readout.size());
    case WM_GETTEXT: {  // the readout, kept here rather than as a title the system would show
      const size_t n = std::min(readout.size(), wParam ? static_cast<size_t>(wParam) - 1 : 0);
      if (wParam) std::wmemcpy(reinterpret_cast<wchar_t*>(lParam), readout.c_str(), n), reinterpret_cast<wchar_t*>(lParam)[n] = 0;
      return static_cast<LRESULT>(n);
    }
    case WM_MOUSEACTIVATE:
      return MA_NOACTIVATE;
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = ::BeginPaint(hwnd(), &ps)) {
        if (picture) ::BitBlt(dc, 0, 0, picture.width(), picture.height(), picture.dc(), 0, 0, SRCCOPY);
        ::EndPaint(hwnd(), &ps);
      }
      return 0;
    }
  }
  return Default(msg, wParam, lParam);
}

void Magnifier::PrepareBeforeShow(bool background) {
  if (background) snapshot_.TakeInBackground();
  else snapshot_.Take();
}

void Magnifier::Hide() {
  if (loupe_.hwnd()) ::ShowWindow(loupe_.hwnd(), SW_HIDE);
}

RECT Magnifier::ScreenRect() const {
  RECT r{};
  if (loupe_.hwnd() && ::IsWindowVisible(loupe_.hwnd())) ::GetWindowRect(loupe_.hwnd(), &r);
  return r;
}

void Magnifier::Update(HWND overlay, const View& view) {
  if (!on_) return Hide();
  if (!loupe_.hwnd() && !loupe_.Make(overlay)) return;
  snapshot_.Wait();
  const UINT found = ::GetDpiForWindow(overlay);
  const UINT dpi = found ? found : 96;
  const int side = ::MulDiv(loupeRules::SideAt96, static_cast<int>(dpi), 96);
  const int height = side + ::MulDiv(ReadoutLinesAt96, static_cast<int>(dpi), 96);
  const loupeRules::Rect source = loupeRules::SourceRect({view.hotSpot.x, view.hotSpot.y}, side, zoom_);
  std::vector<uint32_t> pixels;
  snapshot_.Read(RECT{source.left, source.top, source.left + source.width, source.top + source.height}, view.hole,
                 {view.panel, ScreenRect()}, pixels);
  if (!loupe_.picture || loupe_.picture.width() != side || loupe_.picture.height() != height)
    loupe_.picture = win::DibSection(side, height);
  if (!loupe_.picture) return;
  Render(pixels, source.width / 2, side, view, dpi);
  MONITORINFO info{sizeof info};
  if (!::GetMonitorInfoW(::MonitorFromPoint(view.hotSpot, MONITOR_DEFAULTTONEAREST), &info)) return;
  const RECT& m = info.rcMonitor;
  std::optional<loupeRules::Point> anchor;
  if (view.anchor) anchor = loupeRules::Point{view.anchor->x, view.anchor->y};
  const loupeRules::Point at =
      loupeRules::LoupePlace({view.hotSpot.x, view.hotSpot.y}, side, height,
                             ::MulDiv(loupeRules::GapAt96, static_cast<int>(dpi), 96),
                             {m.left, m.top, m.right - m.left, m.bottom - m.top}, anchor);
  loupe_.Show({at.x, at.y}, side, height);
}

void Magnifier::Render(const std::vector<uint32_t>& source, int reach, int side, const View& view, UINT dpi) {
  win::DibSection& pic = loupe_.picture;
  ::GdiFlush();
  const int span = 2 * reach + 1;
  for (int dy = -reach; dy <= reach; ++dy)
    for (int dx = -reach; dx <= reach; ++dx) {
      const int x = CellStart(dx, side, zoom_), y = CellStart(dy, side, zoom_);
      Fill(pic, x, y, std::min(x + zoom_, side), std::min(y + zoom_, side),
           source[static_cast<size_t>(dy + reach) * span + (dx + reach)]);
      if (zoom_ >= loupeRules::GridFromZoom) {  // the grid: each cell's first column and row
        Fill(pic, x, y, std::min(x + zoom_, side), std::min(y + 1, side), Grid);
        Fill(pic, x, y, std::min(x + 1, side), std::min(y + zoom_, side), Grid);
      }
    }
  // The hot spot's pixel, framed in white and black just outside its cell.
  const int hot = CellStart(0, side, zoom_);
  Frame(pic, hot - 1, hot - 1, hot + zoom_ + 1, hot + zoom_ + 1, White);
  Frame(pic, hot - 2, hot - 2, hot + zoom_ + 2, hot + zoom_ + 2, Black);
  Fill(pic, 0, side, side, pic.height(), ReadoutBack);
  Frame(pic, 0, 0, side, pic.height(), Orange);

  // The readout: where the hot spot is and its colour; the selection's size.
  if (fontDpi_ != dpi) {
    NONCLIENTMETRICSW metrics{sizeof metrics};
    ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi);
    font_.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
    fontDpi_ = dpi;
  }
  const uint32_t colour = source[static_cast<size_t>(reach) * span + reach];
  const std::wstring lines[] = {
      loupeRules::PositionText({view.hotSpot.x, view.hotSpot.y}) + L"   " + loupeRules::ColourText(colour),
      view.selection ? loupeRules::SizeText(view.selection->cx, view.selection->cy) : std::wstring()};
  win::select_object font(pic.dc(), font_ ? static_cast<HGDIOBJ>(font_.get()) : ::GetStockObject(DEFAULT_GUI_FONT));
  ::SetBkMode(pic.dc(), TRANSPARENT);
  ::SetTextColor(pic.dc(), RGB(255, 255, 255));
  const int pad = ::MulDiv(4, static_cast<int>(dpi), 96), line = ::MulDiv(16, static_cast<int>(dpi), 96);
  for (int i = 0; i < 2; ++i)
    ::TextOutW(pic.dc(), pad, side + pad / 2 + i * line, lines[i].c_str(), static_cast<int>(lines[i].size()));
  loupe_.readout = lines[1].empty() ? lines[0] : lines[0] + L"\n" + lines[1];
}
