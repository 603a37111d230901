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

namespace {
// The raised (or, pressed, sunken) face; returns the area for the content.
RECT DrawButtonFace(const DRAWITEMSTRUCT& item, COLORREF back, bool chosen = false) {
  RECT r = item.rcItem;
  unique_hbrush brush(::CreateSolidBrush(back));
  ::FillRect(item.hDC, &r, brush.get());
  const bool pressed = chosen || (item.itemState & ODS_SELECTED) != 0;
  ::DrawEdge(item.hDC, &r, pressed ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
  if (pressed) ::OffsetRect(&r, 1, 1);
  return r;
}

void DrawFocus(const DRAWITEMSTRUCT& item) {
  if (!(item.itemState & ODS_FOCUS)) return;
  RECT f = item.rcItem;
  ::InflateRect(&f, -3, -3);
  ::DrawFocusRect(item.hDC, &f);
}
}  // namespace

void DrawGlyphButton(const DRAWITEMSTRUCT& item, const GlyphFace& face, HFONT font) {
  HDC dc = item.hDC;
  RECT r = DrawButtonFace(item, face.back);
  const bool disabled = (item.itemState & ODS_DISABLED) != 0;
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
  DrawFocus(item);
}

void DrawPictureButton(const DRAWITEMSTRUCT& item, HBITMAP picture, bool chosen) {
  RECT r = DrawButtonFace(item, ::GetSysColor(COLOR_BTNFACE), chosen);
  BITMAP bm{};
  if (picture && ::GetObjectW(picture, sizeof bm, &bm)) {
    const int x = (r.left + r.right - bm.bmWidth) / 2, y = (r.top + r.bottom - bm.bmHeight) / 2;
    const UINT state = (item.itemState & ODS_DISABLED) ? DSS_DISABLED : DSS_NORMAL;
    ::DrawStateW(item.hDC, nullptr, nullptr, reinterpret_cast<LPARAM>(picture), 0, x, y, bm.bmWidth, bm.bmHeight,
                 DST_BITMAP | state);
  }
  DrawFocus(item);
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


namespace {
void Arrow(HDC dc, const RECT& b, COLORREF ink, bool left) {
  unique_hpen pen(::CreatePen(PS_SOLID, 3, ink));
  select_object s(dc, pen.get());
  const int w = b.right - b.left, h = b.bottom - b.top, mid = b.top + h / 2;
  const int tip = left ? b.left : b.right, tail = left ? b.right : b.left, head = left ? w / 3 : -w / 3;
  Line(dc, tail, mid, tip, mid);
  Line(dc, tip, mid, tip + head, mid - h / 3);
  Line(dc, tip, mid, tip + head, mid + h / 3);
}

void CircledZero(HDC dc, const RECT& b, COLORREF ink, bool filled) {
  unique_hpen pen(::CreatePen(PS_SOLID, 2, ink));
  unique_hbrush brush(::CreateSolidBrush(ink));
  select_object s(dc, pen.get());
  select_object s2(dc, filled ? static_cast<HGDIOBJ>(brush.get()) : ::GetStockObject(NULL_BRUSH));
  ::Ellipse(dc, b.left, b.top, b.right, b.bottom);
  const int w = b.right - b.left, h = b.bottom - b.top;
  unique_hpen digit(::CreatePen(PS_SOLID, 2, filled ? ::GetSysColor(COLOR_BTNFACE) : ink));
  select_object s3(dc, digit.get());
  select_object s4(dc, ::GetStockObject(NULL_BRUSH));
  ::Ellipse(dc, b.left + w * 3 / 8, b.top + h / 4, b.right - w * 3 / 8, b.bottom - h / 4);
}
}  // namespace

void DrawBoxedCaret(HDC dc, const RECT& b, COLORREF ink) {
  unique_hpen pen(::CreatePen(PS_SOLID, 2, ink));
  select_object s(dc, pen.get());
  select_object s2(dc, ::GetStockObject(NULL_BRUSH));
  ::Rectangle(dc, b.left, b.top, b.right, b.bottom);
  const int w = b.right - b.left, h = b.bottom - b.top;
  Line(dc, b.left + w / 4, b.top + h * 2 / 3, b.left + w / 2, b.top + h / 3);
  Line(dc, b.left + w / 2, b.top + h / 3, b.right - w / 4, b.top + h * 2 / 3);
}

void DrawUndoArrow(HDC dc, const RECT& b, COLORREF ink) { Arrow(dc, b, ink, true); }
void DrawRedoArrow(HDC dc, const RECT& b, COLORREF ink) { Arrow(dc, b, ink, false); }
void DrawCircledZero(HDC dc, const RECT& b, COLORREF ink) { CircledZero(dc, b, ink, false); }
void DrawFilledCircledZero(HDC dc, const RECT& b, COLORREF ink) { CircledZero(dc, b, ink, true); }

void DrawPages(HDC dc, const RECT& b, COLORREF ink) {
  unique_hpen pen(::CreatePen(PS_SOLID, 2, ink));
  unique_hbrush paper(::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE)));
  select_object s(dc, pen.get());
  select_object s2(dc, paper.get());
  const int w = b.right - b.left, h = b.bottom - b.top;
  ::Rectangle(dc, b.left, b.top, b.left + w * 2 / 3, b.top + h * 3 / 4);
  ::Rectangle(dc, b.left + w / 3, b.top + h / 4, b.right, b.bottom);
}

void DrawEnvelope(HDC dc, const RECT& b, COLORREF ink) {
  unique_hpen pen(::CreatePen(PS_SOLID, 2, ink));
  select_object s(dc, pen.get());
  select_object s2(dc, ::GetStockObject(NULL_BRUSH));
  const int h = b.bottom - b.top;
  const int top = b.top + h / 6, bottom = b.bottom - h / 6;
  ::Rectangle(dc, b.left, top, b.right, bottom);
  Line(dc, b.left, top, (b.left + b.right) / 2, (top + bottom) / 2);
  Line(dc, (b.left + b.right) / 2, (top + bottom) / 2, b.right - 1, top);
}

void DrawSun(HDC dc, const RECT& b, COLORREF ink) {
  unique_hpen pen(::CreatePen(PS_SOLID, 2, ink));
  select_object s(dc, pen.get());
  select_object s2(dc, ::GetStockObject(NULL_BRUSH));
  const int cx = (b.left + b.right) / 2, cy = (b.top + b.bottom) / 2, r = (b.right - b.left) / 2;
  ::Ellipse(dc, cx - r / 2, cy - r / 2, cx + r / 2, cy + r / 2);
  for (int i = 0; i < 8; ++i) {
    const double a = i * 3.14159265358979 / 4;
    Line(dc, cx + static_cast<int>(std::lround(std::cos(a) * r * 0.7)), cy + static_cast<int>(std::lround(std::sin(a) * r * 0.7)),
         cx + static_cast<int>(std::lround(std::cos(a) * r)), cy + static_cast<int>(std::lround(std::sin(a) * r)));
  }
}

}  // namespace win
