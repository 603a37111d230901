#include "sharing/modExport.h"

#include <algorithm>
#include <cstring>

#include "sharing/sharing_rules.h"

bool modExport::ComposeExportImage(base::ImageView picture, HBITMAP footer, win::DibSection& canvas) {
  const Layout l = ExportLayout(picture.width, picture.height);
  if (!canvas || canvas.width() != l.width || canvas.height() != l.height) {
    canvas = win::DibSection();  // the old one goes first: two large bitmaps need not coexist
    canvas = win::DibSection(l.width, l.height);
  }
  if (!canvas) return false;
  // The picture 1:1 at the top (rows of the same width: one copy), white below it.
  std::memcpy(canvas.pixels(), picture.pixels, static_cast<size_t>(picture.width) * picture.height * sizeof(uint32_t));
  std::fill(canvas.pixels() + static_cast<size_t>(picture.height) * l.width, canvas.pixels() + canvas.pixelCount(),
            0x00FFFFFFu);
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
  return true;
}
