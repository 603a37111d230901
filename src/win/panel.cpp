#include "win/panel.h"

#include "win/gdi.h"

namespace win {

namespace {

struct PanelData {
  COLORREF back;
  bool framed;
  unique_hbrush brush;
};

// What CreateWindowEx hands the panel: from WM_NCCREATE on, the window owns its data.
struct PanelCreate {
  PanelData* data;
  bool* adopted;
};

LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_NCCREATE) {
    const auto* create = static_cast<PanelCreate*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->data));
    *create->adopted = true;
  }
  auto* data = reinterpret_cast<PanelData*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!data) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  switch (msg) {
    case WM_ERASEBKGND: {
      RECT r;
      ::GetClientRect(hwnd, &r);
      ::FillRect(reinterpret_cast<HDC>(wParam), &r, data->brush.get());
      return 1;
    }
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(hwnd, &ps);
      if (dc && data->framed) {
        RECT r;
        ::GetClientRect(hwnd, &r);
        wchar_t caption[128] = {};
        ::GetWindowTextW(hwnd, caption, 128);
        HFONT font = reinterpret_cast<HFONT>(::SendMessageW(hwnd, WM_GETFONT, 0, 0));
        select_object f(dc, font ? static_cast<HGDIOBJ>(font) : ::GetStockObject(DEFAULT_GUI_FONT));
        TEXTMETRICW tm{};
        ::GetTextMetricsW(dc, &tm);
        // The frame runs through the middle of the caption's line, as a group box's does.
        RECT edge = r;
        edge.top += tm.tmHeight / 2;
        ::DrawEdge(dc, &edge, EDGE_ETCHED, BF_RECT);
        ::SetBkColor(dc, data->back);
        ::SetBkMode(dc, OPAQUE);
        const int pad = tm.tmAveCharWidth;
        SIZE size{};
        ::GetTextExtentPoint32W(dc, caption, static_cast<int>(wcslen(caption)), &size);
        RECT text{r.left + pad, r.top, r.left + pad + size.cx + pad, r.top + tm.tmHeight};
        ::DrawTextW(dc, caption, -1, &text, DT_CENTER | DT_SINGLELINE | DT_NOPREFIX);
      }
      if (dc) ::EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SETFONT:
      ::SetPropW(hwnd, L"MirelLumo.PanelFont", reinterpret_cast<HANDLE>(wParam));
      if (LOWORD(lParam)) ::InvalidateRect(hwnd, nullptr, TRUE);
      return 0;
    case WM_GETFONT:
      return reinterpret_cast<LRESULT>(::GetPropW(hwnd, L"MirelLumo.PanelFont"));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      ::SetBkColor(reinterpret_cast<HDC>(wParam), data->back);
      return reinterpret_cast<LRESULT>(data->brush.get());
    case WM_COMMAND:
    case WM_DRAWITEM:
    case WM_NOTIFY:
      return ::SendMessageW(::GetParent(hwnd), msg, wParam, lParam);
    case WM_NCDESTROY:
      ::RemovePropW(hwnd, L"MirelLumo.PanelFont");
      delete data;
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      break;
  }
  return ::DefWindowProcW(hwnd, msg, wParam, lParam);
}

}  // namespace

HWND CreatePanel(HWND parent, int id, const wchar_t* caption, COLORREF back, int x, int y, int w, int h,
                 bool framed, bool visible) {
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  WNDCLASSEXW wc{sizeof wc};
  if (!::GetClassInfoExW(instance, PanelClass, &wc)) {
    wc = WNDCLASSEXW{sizeof wc};
    wc.style = CS_HREDRAW | CS_VREDRAW;  // the frame follows the size
    wc.lpfnWndProc = PanelProc;
    wc.hInstance = instance;
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.lpszClassName = PanelClass;
    if (!::RegisterClassExW(&wc)) return nullptr;
  }
  auto* data = new PanelData{back, framed, unique_hbrush(::CreateSolidBrush(back))};
  bool adopted = false;
  PanelCreate create{data, &adopted};
  HWND hwnd = ::CreateWindowExW(WS_EX_CONTROLPARENT, PanelClass, caption,
                                WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | (visible ? WS_VISIBLE : 0), x, y, w, h,
                                parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, &create);
  if (!adopted) delete data;  // otherwise the window deletes it when it goes
  return hwnd;
}

}  // namespace win
