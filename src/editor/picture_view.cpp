#include "editor/picture_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "win/guarded.h"
#include "win/window_owner.h"

namespace editor {

namespace {

int ButtonMask(WPARAM keys) {
  return ((keys & MK_LBUTTON) ? 1 : 0) | ((keys & MK_RBUTTON) ? 2 : 0) | ((keys & MK_MBUTTON) ? 4 : 0);
}

int MouseShiftMask(WPARAM keys) {
  return ((keys & MK_SHIFT) ? 1 : 0) | ((keys & MK_CONTROL) ? 2 : 0) | (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

int KeyboardShiftMask() {
  return (::GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (::GetKeyState(VK_CONTROL) < 0 ? 2 : 0) |
         (::GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

uint32_t BackgroundPixel() {
  const COLORREF c = ::GetSysColor(COLOR_WINDOW);
  return (static_cast<uint32_t>(GetRValue(c)) << 16) | (static_cast<uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
}

bool RegisterOnce(const wchar_t* name, WNDPROC proc, HCURSOR cursor) {
  WNDCLASSEXW wc{sizeof wc};
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  if (::GetClassInfoExW(instance, name, &wc)) return true;
  wc = WNDCLASSEXW{sizeof wc};
  wc.lpfnWndProc = proc;
  wc.hInstance = instance;
  wc.hCursor = cursor;
  wc.lpszClassName = name;
  return ::RegisterClassExW(&wc) != 0;
}


}  // namespace

Image PlaceholderPicture(HICON icon, int width, int height) {
  win::DibSection dib(width, height);
  Image img(width, height, BackgroundPixel());
  if (!dib) return img;
  std::memcpy(dib.pixels(), img.pixels.data(), img.pixels.size() * sizeof(uint32_t));
  const int side = 48;
  if (icon) ::DrawIconEx(dib.dc(), (width - side) / 2, (height - side) / 2, icon, side, side, 0, nullptr, DI_NORMAL);
  ::GdiFlush();
  for (size_t i = 0; i < img.pixels.size(); ++i) img.pixels[i] = dib.pixels()[i] & 0x00FFFFFF;
  return img;
}

bool PictureView::Create(HWND parent, int id, Events events, HBITMAP tile) {
  events_ = std::move(events);
  if (!RegisterOnce(ViewportClass, &PictureView::ViewportProc, ::LoadCursorW(nullptr, IDC_ARROW)) ||
      !RegisterOnce(PictureClass, &PictureView::PictureProc, nullptr))
    return false;
  if (tile) checkerBrush_.reset(::CreatePatternBrush(tile));
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  viewport_ = ::CreateWindowExW(0, ViewportClass, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 208,
                                0, 737, 321, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
  if (!viewport_) return false;
  control_ = ::CreateWindowExW(0, PictureClass, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP, 0, 0, 258, 212, viewport_,
                               nullptr, instance, this);
  return control_ != nullptr;
}

bool PictureView::EnsureBackBuffer(Size size) {
  if (back_ && back_.width() == size.width && back_.height() == size.height) return true;
  win::DibSection next(size.width, size.height);
  if (!next) return false;
  back_ = std::move(next);
  return true;
}

void PictureView::FillBackground() {
  std::fill(back_.pixels(), back_.pixels() + back_.pixelCount(), BackgroundPixel());
}

bool PictureView::ReplacePicture(Image picture) {
  win::DibSection next(picture.width, picture.height);
  if (!next) return false;
  back_ = std::move(next);
  picture_ = std::move(picture);
  return AssignPicture();
}

void PictureView::DiscardUnbaked() {
  if (!unbaked_) return;
  ::GdiFlush();
  if (picture_ && back_ && back_.width() == picture_->width && back_.height() == picture_->height)
    std::memcpy(back_.pixels(), picture_->pixels.data(), back_.pixelCount() * sizeof(uint32_t));
  else if (back_)
    FillBackground();
  unbaked_ = false;
  if (control_) ::InvalidateRect(control_, nullptr, FALSE);
}

bool PictureView::AssignPicture() {
  ::GdiFlush();
  if (picture_) {
    if (!EnsureBackBuffer({picture_->width, picture_->height})) return false;
    std::memcpy(back_.pixels(), picture_->pixels.data(), back_.pixelCount() * sizeof(uint32_t));
    SetShownSize(PictureSize());
  } else if (back_) {
    FillBackground();  // the empty state keeps the size shown
  }
  unbaked_ = false;
  if (control_) ::InvalidateRect(control_, nullptr, FALSE);
  return true;
}

bool PictureView::AssignChangedPicture(const ChangedArea& area) {
  const bool sameSize = picture_ && back_ && back_.width() == picture_->width && back_.height() == picture_->height;
  if (area.whole || unbaked_ || !sameSize) return AssignPicture();
  ::GdiFlush();
  const size_t w = static_cast<size_t>(back_.width());
  for (int y = area.top; y < area.bottom; ++y)
    std::memcpy(back_.pixels() + y * w + area.left, picture_->pixels.data() + y * w + area.left,
                static_cast<size_t>(area.right - area.left) * sizeof(uint32_t));
  SetShownSize(PictureSize());
  BackBufferDrawn(RECT{area.left, area.top, area.right, area.bottom});
  unbaked_ = false;
  return true;
}

void PictureView::BackBufferDrawn(RECT r) {
  unbaked_ = true;
  if (!control_ || back_.width() <= 0 || back_.height() <= 0) return;
  // From picture pixels to shown pixels, widened to whole pixels on both sides.
  const double sx = static_cast<double>(shown_.width) / back_.width();
  const double sy = static_cast<double>(shown_.height) / back_.height();
  RECT shown{static_cast<LONG>(std::floor(r.left * sx)) - 1, static_cast<LONG>(std::floor(r.top * sy)) - 1,
             static_cast<LONG>(std::ceil(r.right * sx)) + 1, static_cast<LONG>(std::ceil(r.bottom * sy)) + 1};
  ::InvalidateRect(control_, &shown, FALSE);
}

void PictureView::SetShownSize(Size shown) {
  if (shown == shown_) return;
  shown_ = shown;
  if (control_) {
    ::SetWindowPos(control_, nullptr, 0, 0, shown.width, shown.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(control_, nullptr, FALSE);
  }
}

POINT PictureView::Position() const {
  RECT r{};
  ::GetWindowRect(control_, &r);
  ::MapWindowPoints(HWND_DESKTOP, viewport_, reinterpret_cast<POINT*>(&r), 1);
  return {r.left, r.top};
}

void PictureView::MoveTo(int left, int top) {
  ::SetWindowPos(control_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool PictureView::PlaceViewport(int left, int top, int width, int height) {
  if (width < 0 || height < 0) return false;
  return ::SetWindowPos(viewport_, nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
}

void PictureView::PaintPicture(HDC dc, const RECT& area) const {
  if (!back_) return;
  const int W = back_.width(), H = back_.height();
  if (shown_.width == W && shown_.height == H) {
    ::BitBlt(dc, area.left, area.top, area.right - area.left, area.bottom - area.top, back_.dc(), area.left, area.top,
             SRCCOPY);
    return;
  }
  if (shown_.width <= 0 || shown_.height <= 0) return;
  // Zoomed: each shown pixel takes the picture pixel under its middle, the very pixel a
  // click there draws on.
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return;
  win::DibSection part(w, h);
  if (!part) return;
  ::GdiFlush();
  std::vector<int> columns(static_cast<size_t>(w));
  for (int x = 0; x < w; ++x) columns[static_cast<size_t>(x)] = PictureIndexShownAt(area.left + x, shown_.width, W);
  const uint32_t* source = back_.pixels();
  uint32_t* target = part.pixels();
  for (int y = 0; y < h; ++y) {
    const uint32_t* row = source + static_cast<size_t>(PictureIndexShownAt(area.top + y, shown_.height, H)) * W;
    uint32_t* out = target + static_cast<size_t>(y) * w;
    for (int x = 0; x < w; ++x) out[x] = row[columns[static_cast<size_t>(x)]];
  }
  ::BitBlt(dc, area.left, area.top, w, h, part.dc(), 0, 0, SRCCOPY);
}

void PictureView::KeyUp(WPARAM key) {
  if (events_.keyUp) events_.keyUp(static_cast<int>(key), KeyboardShiftMask());
}

LRESULT CALLBACK PictureView::ViewportProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = win::WindowOwner<PictureView>(hwnd, msg, lParam);
  if (!self || msg == WM_NCCREATE) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  if (!self->viewport_) self->viewport_ = hwnd;
  return win::Guarded(hwnd, [&] { return self->OnViewportMessage(msg, wParam, lParam); });
}

LRESULT CALLBACK PictureView::PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  auto* self = win::WindowOwner<PictureView>(hwnd, msg, lParam);
  if (!self || msg == WM_NCCREATE) return ::DefWindowProcW(hwnd, msg, wParam, lParam);
  if (!self->control_) self->control_ = hwnd;
  return win::Guarded(hwnd, [&] { return self->OnPictureMessage(msg, wParam, lParam); });
}

LRESULT PictureView::OnViewportMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(viewport_, &ps);
      if (dc) {
        // The checkerboard tiles from the viewport's top-left corner, on grey where no tile is.
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        HBRUSH grey = static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
        ::SetDCBrushColor(dc, RGB(0x80, 0x80, 0x80));
        ::FillRect(dc, &ps.rcPaint, checkerBrush_ ? checkerBrush_.get() : grey);
        ::EndPaint(viewport_, &ps);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
      ::SetFocus(viewport_);
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      KeyUp(wParam);
      return msg == WM_SYSKEYUP ? ::DefWindowProcW(viewport_, msg, wParam, lParam) : 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
  }
  return ::DefWindowProcW(viewport_, msg, wParam, lParam);
}

LRESULT PictureView::OnPictureMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  PointF at{static_cast<double>(GET_X_LPARAM(lParam)), static_cast<double>(GET_Y_LPARAM(lParam))};
  // A message carries 16-bit coordinates: on a control zoomed beyond them, the cursor's own
  // position says where the mouse is.
  if ((shown_.width > 32767 || shown_.height > 32767) && msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) {
    POINT cursor;
    if (::GetCursorPos(&cursor) && ::ScreenToClient(control_, &cursor)) at = {static_cast<double>(cursor.x), static_cast<double>(cursor.y)};
  }
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = ::BeginPaint(control_, &ps);
      if (dc) {
        // Only what can be seen: a zoomed control may be far larger than its viewport.
        RECT visible{}, area{};
        if (::GetClipBox(dc, &visible) != ERROR && ::IntersectRect(&area, &ps.rcPaint, &visible)) PaintPicture(dc, area);
        ::EndPaint(control_, &ps);
      }
      return 0;
    }
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(::LoadCursorW(nullptr, sizeAll_ ? IDC_SIZEALL : IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      ::SetFocus(control_);
      ::SetCapture(control_);  // the control keeps the mouse until every button is up
      const int button = msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : 4;
      if (events_.mouseDown) events_.mouseDown(button, MouseShiftMask(wParam), at);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (events_.mouseMove) events_.mouseMove(ButtonMask(wParam), MouseShiftMask(wParam), at);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      const int button = msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 2 : 4;
      if (events_.mouseUp) events_.mouseUp(button, MouseShiftMask(wParam), at);
      // Released after the release is handled: losing the mouse otherwise ends a drag.
      if (ButtonMask(wParam) == 0 && ::GetCapture() == control_) {
        releasing_ = true;
        ::ReleaseCapture();
        releasing_ = false;
      }
      return 0;
    }
    case WM_CAPTURECHANGED:
      if (!releasing_ && reinterpret_cast<HWND>(lParam) != control_ && events_.captureLost) events_.captureLost();
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      KeyUp(wParam);
      return msg == WM_SYSKEYUP ? ::DefWindowProcW(control_, msg, wParam, lParam) : 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
  }
  return ::DefWindowProcW(control_, msg, wParam, lParam);
}

}  // namespace editor
