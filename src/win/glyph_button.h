#pragma once
// Buttons whose caption is one character of a symbol font. Where the system lacks the font
// or the glyph, the button draws a picture of the same symbol instead of a stray letter;
// the window text stays the caption, which is also the accessible name.
#include <windows.h>

#include "win/gdi.h"

namespace win {

using GlyphFallback = void (*)(HDC dc, const RECT& box, COLORREF ink);

struct GlyphFace {
  const wchar_t* face;  // "Wingdings", "Webdings", ...
  double points;        // at 96 dots per inch
  wchar_t glyph;        // the character code in that font
  COLORREF back;
  GlyphFallback fallback;
};

// A symbol font at the given density.
unique_hfont CreateSymbolFont(const GlyphFace& face, UINT dpi);

// True when the font selected for the face really is that face and has the glyph.
bool HasGlyph(HFONT font, const GlyphFace& face);

// An owner-drawn push button (BS_OWNERDRAW); its parent answers WM_DRAWITEM with DrawGlyphButton.
HWND CreateGlyphButton(HWND parent, int id, const wchar_t* caption, int x, int y, int w, int h);
void DrawGlyphButton(const DRAWITEMSTRUCT& item, const GlyphFace& face, HFONT font);
// The same kind of button showing a picture, greyed while disabled; sunken while pressed
// or `chosen`.
void DrawPictureButton(const DRAWITEMSTRUCT& item, HBITMAP picture, bool chosen = false);

// Fallback pictures.
void DrawPencil(HDC dc, const RECT& box, COLORREF ink);
void DrawBoxedCross(HDC dc, const RECT& box, COLORREF ink);
void DrawCamera(HDC dc, const RECT& box, COLORREF ink);
void DrawBoxedCaret(HDC dc, const RECT& box, COLORREF ink);   // a box with an upward caret
void DrawUndoArrow(HDC dc, const RECT& box, COLORREF ink);    // an arrow to the left
void DrawRedoArrow(HDC dc, const RECT& box, COLORREF ink);    // an arrow to the right
void DrawCircledZero(HDC dc, const RECT& box, COLORREF ink);  // numbering off
void DrawFilledCircledZero(HDC dc, const RECT& box, COLORREF ink);  // numbering on
void DrawPages(HDC dc, const RECT& box, COLORREF ink);        // two pages: a copy
void DrawEnvelope(HDC dc, const RECT& box, COLORREF ink);
void DrawSun(HDC dc, const RECT& box, COLORREF ink);          // a disc with rays

}  // namespace win
