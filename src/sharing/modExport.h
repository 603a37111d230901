#pragma once
// The export composite every hand-off gives away: the picture as drawn, a white row, a
// one-pixel separator line and the product's footer under the picture's right edge.
#include <windows.h>

#include "editor/history.h"
#include "win/dib.h"

namespace modExport {

// The composite of the view's back buffer (pbxHidden's image): W x (H + 34) at the
// footer's 96-dpi size. An empty section when there is no memory for it.
win::DibSection ComposeExportImage(editor::ImageView picture, HBITMAP footer);

}  // namespace modExport
