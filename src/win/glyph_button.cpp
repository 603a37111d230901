#include "win/glyph_button.h"

#include <algorithm>
#include <cmath>

namespace win {

unique_hfont CreateSymbolFont(const GlyphFace& face, UINT dpi) {
  const int height = -static_cast<int>(std::lround(face.points * dpi / 72.0));
  return unique_hfont(::CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SYMBOL_CHARSET, OUT_DEFAULT_PRECIS,
                                    CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face.face));
}

bool HasGlyph(HFONT font, const GlyphFace& face) {
  if (!font) return false;
  window_dc screen(nullptr);
  select_object select(screen.get(), font);
  wchar_t actual[LF_FACESIZE] = {};
  ::GetTextFaceW(screen.get(), LF_FACESIZE, actual);
  if (_wcsicmp(actual, face.face) != 0) return false;
  // Symbol fonts map their codes to U+F000 + code.
  WORD index = 0xFFFF;
  const wchar_t ch = static_cast<wchar_t>(0xF000 + face.glyph);
  if (::GetGlyphIndicesW(screen.get(), &ch, 1, &index, GGI_MARK_NONEXISTING_GLYPHS) == GDI_ERROR) return false;
  return index != 0xFFFF && index != 0;
}

HWND CreateGlyphButton(HWND parent, int id, const wchar_t* caption, int x, int y, int w, int h) {
  return ::CreateWindowExW(0, L"BUTTON", caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_OWNERDRAW, x, y, w, h,
                           parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                           reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE)), nullptr);
}

void DrawGlyphButton(const DRAWITEMSTRUCT& item, const GlyphFace& face, HFONT font) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  const bool pressed = (item.itemState & ODS_SELECTED) != 0;
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
  unique_hbrush back(::CreateSolidBrush(face.back));
  ::FillRect(dc, &r, back.get());
  ::DrawEdge(dc, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  if (pressed) ::OffsetRect(&r, 1, 1);
  const COLORREF ink = disabled ? ::GetSysColor(COLOR_GRAYTEXT) : RGB(0, 0, 0);
  if (HasGlyph(font, face)) {
    select_object select(dc, font);
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ink);
    const wchar_t ch = static_cast<wchar_t>(0xF000 + face.glyph);
    ::DrawTextW(dc, &ch, 1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  } else if (face.fallback) {
    RECT inner = r;
    const int pad = (r.right - r.left) / 5;
    ::InflateRect(&inner, -pad, -pad);
    face.fallback(dc, inner, ink);
  }
  if (item.itemState & ODS_FOCUS) {
    RECT f = item.rcItem;
    ::InflateRect(&f, -3, -3);
    ::DrawFocusRect(dc, &f);
  }
}

namespace {
void Line(HDC dc, int x1, int y1, int x2, int y2) {
  ::MoveToEx(dc, x1, y1, nullptr);
  ::LineTo(dc, x2, y2);
}
}  // namespace

void DrawPencil(HDC dc, const RECT& b, COLORREF ink) {
  const int w = b.right - b.left;
  unique_hpen pen(::CreatePen(PS_SOLID, std::max(2, w / 6), ink));
  select_object s(dc, pen.get());
  Line(dc, b.left + w / 5, b.bottom - w / 5, b.right - w / 8, b.top + w / 8);
  unique_hpen thin(::CreatePen(PS_SOLID, 1, ink));
  select_object s2(dc, thin.get());
  Line(dc, b.left, b.bottom, b.left + w / 5, b.bottom - w / 5);
}

void DrawBoxedCross(HDC dc, const RECT& b, COLORREF ink) {
  unique_hpen pen(::CreatePen(PS_SOLID, 2, ink));
  select_object s(dc, pen.get());
  select_object s2(dc, ::GetStockObject(NULL_BRUSH));
  ::Rectangle(dc, b.left, b.top, b.right, b.bottom);
  const int m = (b.right - b.left) / 4;
  Line(dc, b.left + m, b.top + m, b.right - m, b.bottom - m);
  Line(dc, b.right - m, b.top + m, b.left + m, b.bottom - m);
}

void DrawCamera(HDC dc, const RECT& b, COLORREF ink) {
  unique_hpen pen(::CreatePen(PS_SOLID, 2, ink));
  select_object s(dc, pen.get());
  select_object s2(dc, ::GetStockObject(NULL_BRUSH));
  const int w = b.right - b.left, h = b.bottom - b.top;
  ::Rectangle(dc, b.left, b.top + h / 4, b.right, b.bottom);
  ::Rectangle(dc, b.left + w / 3, b.top + h / 8, b.left + 2 * w / 3, b.top + h / 4 + 1);
  ::Ellipse(dc, b.left + w / 3, b.top + h / 2 - h / 8, b.left + 2 * w / 3, b.top + h / 2 + h / 4);
}

}  // namespace win
