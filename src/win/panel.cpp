#include "win/panel.h"

#include "win/window_text.h"

namespace win {

bool Panel::Create(HWND parent, int id, const wchar_t* caption, COLORREF back, int x, int y, int w, int h, bool framed,
                   bool visible) {
  back_ = back;
  framed_ = framed;
  brush_.reset(::CreateSolidBrush(back));
  return Window::Create(WS_EX_CONTROLPARENT, caption, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0),
                        x, y, w, h, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))) != nullptr;
}

void Panel::PaintFrame(HDC dc) const {
  RECT r;
  ::GetClientRect(hwnd(), &r);
  const std::wstring caption = WindowText(hwnd());
  select_object f(dc, font_ ? static_cast<HGDIOBJ>(font_) : ::GetStockObject(DEFAULT_GUI_FONT));
  TEXTMETRICW tm{};
  ::GetTextMetricsW(dc, &tm);
  // The frame runs through the middle of the caption's line, as a group box's does.
  RECT edge = r;
  edge.top += tm.tmHeight / 2;
  ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
  ::SetBkColor(dc, back_);
  ::SetBkMode(dc, OPAQUE);
  const int pad = tm.tmAveCharWidth;
  SIZE size{};
  ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &size);
  RECT text{r.left + pad, r.top, r.left + pad + size.cx + pad, r.top + tm.tmHeight};
  ::DrawTextW(dc, caption.c_str(), -1, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
}

LRESULT Panel::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return EraseBackground(hwnd(), wParam, brush_.get());
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = ::BeginPaint(hwnd(), &ps)) {
        if (framed_) PaintFrame(dc);
        ::EndPaint(hwnd(), &ps);
      }
      return 0;
    }
    case WM_SETFONT:
      font_ = reinterpret_cast<HFONT>(wParam);
      if (LOWORD(lParam)) ::InvalidateRect(hwnd(), nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(font_);
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      ::SetBkColor(reinterpret_cast<HDC>(wParam), back_);
      return reinterpret_cast<LRESULT>(brush_.get());
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_NOTIFY:
      return ::SendMessageW(::GetParent(hwnd()), msg, wParam, lParam);
  }
  return Default(msg, wParam, lParam);
}

}  // namespace win
