#include "editor/picture_view.h"

#include <windowsx.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "editor/drawing.h"
#include "editor/modAnnotations.h"

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
  textBox_.OnDone([this](bool keep) {
    if (events_.textDone) events_.textDone(keep);
  });
  if (tile) checkerBrush_.reset(::CreatePatternBrush(tile));
  if (!viewport_.Create(0, L"", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS, 208, 0, 737, 321, parent,
                        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id))))
    return false;
  return control_.Create(0, L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | WS_CLIPCHILDREN, 0, 0, 258, 212,
                         viewport_.hwnd()) != nullptr;
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

void PictureView::Draw(const Shape& shape) {
  using namespace draw;
  HDC dc = back_.dc();
  const COLORREF colour = shape.ink == Ink::Red ? Red : RubberColour;
  const Mode mode = shape.ink == Ink::Red ? Mode::CopyPen : Mode::Invert;
  switch (shape.kind) {
    case Shape::Kind::Segment:
      Invalidate(Segment(dc, shape.from, shape.to, colour, mode));
      break;
    case Shape::Kind::Box:
      Invalidate(BoxOutline(dc, shape.from, shape.to, colour, mode));
      break;
    case Shape::Kind::Marker:
      Invalidate(modAnnotations::DrawNumberedAnnotation(dc, shape.text, shape.from.x, shape.from.y,
                                                         modAnnotations::MarkerPoints, 0xFFFFFF, Red));
      break;
    case Shape::Kind::Arrow:
      Invalidate(Arrow(dc, shape.from, shape.to, Red));
      break;
    case Shape::Kind::Label:
      Invalidate(modAnnotations::DrawLabel(dc, shape.text, shape.from.x, shape.from.y, Red));
      break;
    case Shape::Kind::Redaction:
      Invalidate(Redact(shape));
      break;
  }
}

RECT PictureView::Redact(const Shape& shape) {
  // Solid black written straight into the pixels: nothing of what was there stays.
  ::GdiFlush();
  const int left = std::clamp(static_cast<int>(shape.from.x), 0, back_.width());
  const int right = std::clamp(static_cast<int>(shape.to.x), left, back_.width());
  const int top = std::clamp(static_cast<int>(shape.from.y), 0, back_.height());
  const int bottom = std::clamp(static_cast<int>(shape.to.y), top, back_.height());
  for (int y = top; y < bottom; ++y) {
    uint32_t* row = back_.pixels() + static_cast<size_t>(y) * back_.width();
    std::fill(row + left, row + right, 0u);
  }
  return RECT{left, top, right, bottom};
}

int PictureView::LabelLineHeight() { return modAnnotations::LabelLineHeight(back_.dc()); }

void PictureView::OpenTextBox(const base::Rect& box) {
  textPlace_ = box;
  if (Control()) textBox_.Open(Control(), ShownTextPlace(), ShownScale());
}

void PictureView::PlaceTextBox() { textBox_.Place(ShownTextPlace(), ShownScale()); }

double PictureView::ShownScale() const {
  return back_.height() > 0 ? static_cast<double>(shown_.height) / back_.height() : 1;
}

RECT PictureView::ShownTextPlace() const {
  if (back_.width() <= 0 || back_.height() <= 0) return {};
  const double sx = static_cast<double>(shown_.width) / back_.width(), sy = ShownScale();
  auto at = [](int v, double scale) { return static_cast<LONG>(std::lround(v * scale)); };
  return RECT{at(textPlace_.left, sx), at(textPlace_.top, sy), at(textPlace_.right, sx), at(textPlace_.bottom, sy)};
}

std::wstring PictureView::CloseTextBox() { return textBox_.Close(); }

bool PictureView::HasFocus() const {
  const HWND focus = ::GetFocus();
  return focus && (focus == Control() || focus == viewport_.hwnd());
}

ImageView PictureView::Drawn() {
  ::GdiFlush();  // every drawing call has reached the pixels
  return BackPixels();
}

bool PictureView::Show(const Picture& picture) {
  ::GdiFlush();
  if (picture) {
    if (!EnsureBackBuffer({picture->width, picture->height})) return false;
    std::memcpy(back_.pixels(), picture->pixels.data(), back_.pixelCount() * sizeof(uint32_t));
    SetShownSize(PictureSize());
  } else if (back_) {
    FillBackground();  // the empty state keeps the size shown
  }
  if (Control()) ::InvalidateRect(Control(), nullptr, FALSE);
  return true;
}

void PictureView::ShowArea(const Picture& picture, const ChangedArea& area) {
  ::GdiFlush();
  const size_t w = static_cast<size_t>(back_.width());
  for (int y = area.top; y < area.bottom; ++y)
    std::memcpy(back_.pixels() + y * w + area.left, picture->pixels.data() + y * w + area.left,
                static_cast<size_t>(area.right - area.left) * sizeof(uint32_t));
  SetShownSize(PictureSize());
  Invalidate(RECT{area.left, area.top, area.right, area.bottom});
}

void PictureView::Revert(const Picture& picture) {
  ::GdiFlush();
  if (picture && back_ && back_.width() == picture->width && back_.height() == picture->height)
    std::memcpy(back_.pixels(), picture->pixels.data(), back_.pixelCount() * sizeof(uint32_t));
  else if (back_)
    FillBackground();
  if (Control()) ::InvalidateRect(Control(), nullptr, FALSE);
}

void PictureView::Invalidate(RECT r) const {
  if (!Control() || back_.width() <= 0 || back_.height() <= 0) return;
  // From picture pixels to shown pixels, widened to whole pixels on both sides.
  const double sx = static_cast<double>(shown_.width) / back_.width();
  const double sy = static_cast<double>(shown_.height) / back_.height();
  RECT shown{static_cast<LONG>(std::floor(r.left * sx)) - 1, static_cast<LONG>(std::floor(r.top * sy)) - 1,
             static_cast<LONG>(std::ceil(r.right * sx)) + 1, static_cast<LONG>(std::ceil(r.bottom * sy)) + 1};
  ::InvalidateRect(Control(), &shown, FALSE);
}

void PictureView::SetShownSize(Size shown) {
  if (shown == shown_) return;
  shown_ = shown;
  if (Control()) {
    ::SetWindowPos(Control(), nullptr, 0, 0, shown.width, shown.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(Control(), nullptr, FALSE);
  }
  if (textBox_.IsOpen()) PlaceTextBox();
}

void PictureView::MoveBy(int dx, int dy) {
  RECT r{};
  ::GetWindowRect(Control(), &r);
  ::MapWindowPoints(HWND_DESKTOP, viewport_.hwnd(), reinterpret_cast<POINT*>(&r), 1);
  ::SetWindowPos(Control(), nullptr, r.left + dx, r.top + dy, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool PictureView::PlaceViewport(int left, int top, int width, int height) {
  if (width < 0 || height < 0) return false;
  return ::SetWindowPos(viewport_.hwnd(), nullptr, left, top, width, height, SWP_NOZORDER | SWP_NOACTIVATE) != FALSE;
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

void PictureView::KeyUp(WPARAM key) const {
  if (events_.keyUp) events_.keyUp(static_cast<int>(key), KeyboardShiftMask());
}

LRESULT PictureView::Viewport::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = ::BeginPaint(hwnd(), &ps)) {
        // The checkerboard tiles from the viewport's top-left corner, on grey where no tile is.
        ::SetBrushOrgEx(dc, 0, 0, nullptr);
        HBRUSH grey = static_cast<HBRUSH>(::GetStockObject(DC_BRUSH));
        ::SetDCBrushColor(dc, RGB(0x80, 0x80, 0x80));
        ::FillRect(dc, &ps.rcPaint, view_.checkerBrush_ ? view_.checkerBrush_.get() : grey);
        ::EndPaint(hwnd(), &ps);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
      ::SetFocus(hwnd());
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      view_.KeyUp(wParam);
      return msg == WM_SYSKEYUP ? Default(msg, wParam, lParam) : 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
  }
  return Default(msg, wParam, lParam);
}

LRESULT PictureView::PictureControl::OnMouse(UINT msg, WPARAM wParam, PointF at) {
  const Events& events = view_.events_;
  switch (msg) {
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      ::SetFocus(hwnd());
      ::SetCapture(hwnd());  // the control keeps the mouse until every button is up
      const int button = msg == WM_LBUTTONDOWN ? 1 : msg == WM_RBUTTONDOWN ? 2 : 4;
      if (events.mouseDown) events.mouseDown(button, MouseShiftMask(wParam), at);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (events.mouseMove) events.mouseMove(ButtonMask(wParam), MouseShiftMask(wParam), at);
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      // The mouse goes back once every button is up, also when the release's handler fails;
      // only after the release is handled, as losing the mouse otherwise ends the drag.
      struct GiveBack {
        PictureControl& control;
        bool allUp;
        ~GiveBack() {
          if (!allUp || ::GetCapture() != control.hwnd()) return;
          control.releasing_ = true;
          ::ReleaseCapture();
          control.releasing_ = false;
        }
      } giveBack{*this, ButtonMask(wParam) == 0};
      const int button = msg == WM_LBUTTONUP ? 1 : msg == WM_RBUTTONUP ? 2 : 4;
      if (events.mouseUp) events.mouseUp(button, MouseShiftMask(wParam), at);
      return 0;
    }
  }
  return 0;
}

PointF PictureView::PictureControl::MousePoint(LPARAM lParam) const {
  // A message carries 16-bit coordinates: on a control zoomed beyond them, the cursor's own
  // position says where the mouse is.
  POINT cursor;
  if ((view_.shown_.width > 32767 || view_.shown_.height > 32767) && ::GetCursorPos(&cursor) &&
      ::ScreenToClient(hwnd(), &cursor))
    return {static_cast<double>(cursor.x), static_cast<double>(cursor.y)};
  return {static_cast<double>(GET_X_LPARAM(lParam)), static_cast<double>(GET_Y_LPARAM(lParam))};
}

LRESULT PictureView::PictureControl::OnMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      if (HDC dc = ::BeginPaint(hwnd(), &ps)) {
        // Only what can be seen: a zoomed control may be far larger than its viewport.
        RECT visible{}, area{};
        if (::GetClipBox(dc, &visible) != ERROR && ::IntersectRect(&area, &ps.rcPaint, &visible))
          view_.PaintPicture(dc, area);
        ::EndPaint(hwnd(), &ps);
      }
      return 0;
    }
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP:
      return OnMouse(msg, wParam, MousePoint(lParam));
    case WM_SETCURSOR:
      if (LOWORD(lParam) == HTCLIENT) {
        ::SetCursor(::LoadCursorW(nullptr, view_.sizeAll_ ? IDC_SIZEALL : IDC_ARROW));
        return TRUE;
      }
      break;
    case WM_CAPTURECHANGED:
      if (!releasing_ && reinterpret_cast<HWND>(lParam) != hwnd() && view_.events_.captureLost)
        view_.events_.captureLost();
      return 0;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      view_.KeyUp(wParam);
      return msg == WM_SYSKEYUP ? Default(msg, wParam, lParam) : 0;
    case WM_GETDLGCODE:
      return DLGC_WANTALLKEYS;
  }
  return Default(msg, wParam, lParam);
}

}  // namespace editor
