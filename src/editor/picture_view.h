#pragma once
// The viewport pic_mainview (a checkerboard under the picture) and the picture control
// Picture1 inside it: the back buffer every drawing goes to, and the picture shown at any
// zoom. Drawing is always in the picture's own pixels; the zoom only changes how large the
// control shows it. It is the editor model's canvas.
#include <windows.h>

#include <functional>

#include "editor/canvas.h"
#include "editor/text_box.h"
#include "editor/view_rules.h"
#include "win/dib.h"
#include "win/gdi.h"
#include "win/window.h"

namespace editor {

class PictureView : public Canvas {
 public:
  static constexpr const wchar_t* ViewportClass = L"MirelLumo.pic_mainview";
  static constexpr const wchar_t* PictureClass = L"MirelLumo.Picture1";

  // Mouse events of Picture1 (points in the control's own shown pixels) and key releases
  // of Picture1 and the viewport. Buttons and modifiers are masks: 1 left, 2 right,
  // 4 middle; 1 Shift, 2 Ctrl, 4 Alt.
  struct Events {
    std::function<void(int button, int shift, PointF shown)> mouseDown, mouseMove, mouseUp;
    std::function<void(int key, int shift)> keyUp;
    std::function<void()> captureLost;  // the mouse was taken away during a drag
    std::function<void(bool keep)> textDone;  // Enter (keep) or Escape in the text box
  };

  PictureView() : viewport_(*this), control_(*this) {}

  bool Create(HWND parent, int id, Events events, HBITMAP tile);
  HWND Control() const { return control_.hwnd(); }
  // Picture1 or its viewport has the focus.
  bool HasFocus() const;

  // The back buffer, the size of the picture in its pixels.
  ImageView BackPixels() const { return {back_.width(), back_.height(), back_.pixels()}; }
  Size PictureSize() const { return {back_.width(), back_.height()}; }

  // Canvas.
  void Draw(const Shape& shape) override;
  ImageView Drawn() override;
  bool Show(const Picture& picture) override;
  void ShowArea(const Picture& picture, const ChangedArea& area) override;
  void Revert(const Picture& picture) override;
  void MoveBy(int dx, int dy) override;
  int LabelLineHeight() override;
  void OpenTextBox(const base::Rect& box) override;
  std::wstring CloseTextBox() override;

  // The shown size (zoom); the stored picture is not touched.
  Size ShownSize() const { return shown_; }
  void SetShownSize(Size shown);
  PointF ToPicture(PointF shown) const { return ShownToPicture(shown, shown_, PictureSize()); }
  void SetSizeAllPointer(bool sizeAll) { sizeAll_ = sizeAll; }

  // The viewport's place in the main window; false when the platform refused it.
  bool PlaceViewport(int left, int top, int width, int height);

 private:
  class Viewport : public win::Window<Viewport> {
   public:
    static win::WindowClass ClassInfo() { return {ViewportClass, IDC_ARROW}; }
    explicit Viewport(PictureView& view) : view_(view) {}
    using Window::Create;
   private:
    friend class win::Window<Viewport>;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    PictureView& view_;
  };
  class PictureControl : public win::Window<PictureControl> {
   public:
    static win::WindowClass ClassInfo() { return {PictureClass, nullptr}; }
    explicit PictureControl(PictureView& view) : view_(view) {}
    using Window::Create;
   private:
    friend class win::Window<PictureControl>;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT OnMouse(UINT msg, WPARAM wParam, PointF at);
    PointF MousePoint(LPARAM lParam) const;
    PictureView& view_;
    bool releasing_ = false;  // the control gives the mouse back itself
  };

  void PaintPicture(HDC dc, const RECT& area) const;
  bool EnsureBackBuffer(Size size);
  void FillBackground();
  void KeyUp(WPARAM key) const;
  // Drawing went to the back buffer inside `pictureRect`: show it.
  void Invalidate(RECT pictureRect) const;
  RECT Redact(const Shape& shape);
  // The text box over its place at the shown size.
  void PlaceTextBox();
  double ShownScale() const;
  RECT ShownTextPlace() const;

  Viewport viewport_;
  PictureControl control_;
  Events events_;
  win::unique_hbrush checkerBrush_;
  win::DibSection back_;
  Size shown_;
  bool sizeAll_ = false;
  TextBox textBox_;      // a child of Picture1
  base::Rect textPlace_;  // its place on the picture
};

// The start-up picture of Picture1: the program's icon on the window colour.
Image PlaceholderPicture(HICON icon, int width, int height);

}  // namespace editor
