#include "sharing/modExport.h"

#include <algorithm>
#include <cstring>

#include "sharing/sharing_rules.h"

win::DibSection modExport::ComposeExportImage(editor::ImageView picture, HBITMAP footer) {
  const Layout l = ExportLayout(picture.width, picture.height);
  win::DibSection canvas(l.width, l.height);
  if (!canvas) return canvas;
  // White, then the picture 1:1 at the top.
  std::fill(canvas.pixels(), canvas.pixels() + canvas.pixelCount(), 0x00FFFFFFu);
  for (int y = 0; y < picture.height; ++y)
    std::memcpy(canvas.pixels() + static_cast<size_t>(y) * l.width, picture.pixels + static_cast<size_t>(y) * picture.width,
                static_cast<size_t>(picture.width) * sizeof(uint32_t));
  // The separator across the whole width, in the button-text colour.
  const COLORREF ink = ::GetSysColor(COLOR_BTNTEXT);
  const uint32_t line = (static_cast<uint32_t>(GetRValue(ink)) << 16) | (GetGValue(ink) << 8) | GetBValue(ink);
  std::fill_n(canvas.pixels() + static_cast<size_t>(l.separatorRow) * l.width, l.width, line);
  // The footer at its own size; what falls outside the canvas is cut by the blit.
  if (footer) {
    win::unique_hdc source(::CreateCompatibleDC(nullptr));
    if (source) {
      win::select_object select(source.get(), footer);
      ::BitBlt(canvas.dc(), l.footerLeft, l.footerTop, FooterBitmapWidth, l.footerRows, source.get(), 0, 0, SRCCOPY);
    }
  }
  ::GdiFlush();
  for (size_t i = 0; i < canvas.pixelCount(); ++i) canvas.pixels()[i] &= 0x00FFFFFF;
  return canvas;
}
