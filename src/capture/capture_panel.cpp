#include "capture/capture_panel.h"

#include <algorithm>

#include "win/common_controls.h"
#include "win/dib.h"
#include "win/forward_keys.h"
#include "win/glyph_button.h"

namespace {
constexpr COLORREF Orange = RGB(255, 128, 0);
constexpr int ButtonSize = 25;  // 375 twips
const win::GlyphFace ScreenPrintFace{L"Wingdings", 15.75, L'!', RGB(255, 255, 255), win::DrawPencil};
const win::GlyphFace CancelFace{L"Wingdings", 15.75, L'x', RGB(255, 255, 255), win::DrawBoxedCross};
}  // namespace

bool CapturePanel::Create(HWND overlay, UINT dpi) {
  // Common controls (the tooltips) are loaded with the panel, not with every start.
  win::InitCommonControlsOnce();
  auto scaled = [&](int v) { return ::MulDiv(v, static_cast<int>(dpi ? dpi : 96), 96); };
  brush_.reset(::CreateSolidBrush(Orange));
  if (!Window::Create(0, L"", WS_CHILD, 0, 0, scaled(Width), scaled(Height), overlay)) return false;
  // The captions are the symbol characters; the tooltips say what they do.
  const HWND cmdScreenPrint = win::CreateGlyphButton(hwnd(), IdScreenPrint, L"!", scaled(8), scaled(6),
                                                     scaled(ButtonSize), scaled(ButtonSize));
  const HWND cmdCancel = win::CreateGlyphButton(hwnd(), IdCancel, L"x", scaled(41), scaled(6), scaled(ButtonSize),
                                                scaled(ButtonSize));
  win::ForwardKeys(cmdScreenPrint, overlay);
  win::ForwardKeys(cmdCancel, overlay);
  glyphFont_ = win::CreateSymbolFont(ScreenPrintFace, dpi);
  const HWND tooltip = win::CreateTooltipWindow(overlay);
  win::AddTooltip(tooltip, hwnd(), cmdScreenPrint, L"  Capture Screenshot");
  win::AddTooltip(tooltip, hwnd(), cmdCancel, L"  Cancel  ");
  return true;
}

void CapturePanel::ShowAt(int left, int top) {
  ::SetWindowPos(hwnd(), HWND_TOP, left, top, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
}

void CapturePanel::Hide() {
  if (hwnd()) ::ShowWindow(hwnd(), SW_HIDE);
}

bool CapturePanel::GoneFrom(const RECT& r) {
  if (::IsRectEmpty(&r)) return true;
  const win::DibSection seen = win::CopyScreen(r);
  if (!seen) return true;
  const uint32_t* px = seen.pixels();
  return std::none_of(px, px + seen.pixelCount(), [](uint32_t p) {
    p &= 0xFFFFFF;
    return p == 0xFF8000 || p == 0xFFFF00;  // the panel's orange, the overlay's key colour
  });
}

RECT CapturePanel::ScreenRect() const {
  RECT r{};
  if (hwnd()) ::GetWindowRect(hwnd(), &r);
  return r;
}

LRESULT CapturePanel::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return win::EraseBackground(hwnd(), wParam, brush_.get());
    case WM_COMMAND:
      return ::SendMessageW(::GetParent(hwnd()), msg, wParam, lParam);
    case WM_DRAWITEM: {
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam);
      win::DrawGlyphButton(item, item.CtlID == IdScreenPrint ? ScreenPrintFace : CancelFace, glyphFont_.get());
      return TRUE;
    }
  }
  return Default(msg, wParam, lParam);
}
