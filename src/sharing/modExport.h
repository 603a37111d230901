#pragma once
// The export composite every hand-off gives away: the picture as drawn, a white row, a
// one-pixel separator line and the product's footer under the picture's right edge.
#include <windows.h>

#include "base/image.h"
#include "win/dib.h"

namespace modExport {

// Composes the view's back buffer into pbxHidden: W x (H + 34) at the footer's 96-dpi size.
// pbxHidden keeps its bitmap from one composition to the next when the size stays. False
// (and pbxHidden empty) when there is no memory for it.
bool ComposeExportImage(base::ImageView picture, HBITMAP footer, win::DibSection& pbxHidden);

}  // namespace modExport
