#pragma once
// The viewport pic_mainview (a checkerboard under the picture) and the picture control
// Picture1 inside it: the stored picture, the back buffer every drawing goes to, and the
// picture shown at any zoom. Drawing is always in the picture's own pixels; the zoom only
// changes how large the control shows it.
#include <windows.h>

#include <functional>

#include "editor/history.h"
#include "editor/view_rules.h"
#include "win/dib.h"
#include "win/gdi.h"

namespace editor {

class PictureView {
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
  };

  PictureView() = default;
  PictureView(const PictureView&) = delete;
  PictureView& operator=(const PictureView&) = delete;

  bool Create(HWND parent, int id, Events events, HBITMAP tile);
  HWND Viewport() const { return viewport_; }
  HWND Control() const { return control_; }

  // The stored picture: none for the empty state.
  Picture& StoredPicture() { return picture_; }
  // The back buffer, the size of the picture in its pixels.
  HDC BackBuffer() const { return back_.dc(); }
  ImageView BackPixels() const { return {back_.width(), back_.height(), back_.pixels()}; }
  Size PictureSize() const { return {back_.width(), back_.height()}; }

  // A new picture, shown at 1:1 with a fresh back buffer; false (and nothing changed) when
  // there is no memory for its back buffer.
  bool ReplacePicture(Image picture);
  // After the stored picture was replaced: the back buffer is redrawn from it (unbaked
  // drawing is lost) and the control shows it at 1:1. With no picture the back buffer
  // keeps its size in the background colour.
  bool AssignPicture();
  // Drawing not yet baked is taken back; the shown size stays.
  void DiscardUnbaked();
  // After Undo or Redo changed `area` of the stored picture: the same as AssignPicture, but
  // only the changed pixels are copied when the back buffer held nothing else.
  bool AssignChangedPicture(const ChangedArea& area);
  // Bake: the stored picture becomes the back buffer as drawn (the caller's history does
  // it); from then on the back buffer holds nothing unbaked.
  void MarkBaked() { unbaked_ = false; }
  // Drawing went to the back buffer inside `pictureRect`: show it.
  void BackBufferDrawn(RECT pictureRect);

  // The shown size (zoom); the stored picture is not touched.
  Size ShownSize() const { return shown_; }
  void SetShownSize(Size shown);
  PointF ToPicture(PointF shown) const { return ShownToPicture(shown, shown_, PictureSize()); }

  // Picture1's place inside the viewport, in the viewport's pixels.
  POINT Position() const;
  void MoveTo(int left, int top);
  void SetSizeAllPointer(bool sizeAll) { sizeAll_ = sizeAll; }
  bool SizeAllPointer() const { return sizeAll_; }

  // The viewport's place in the main window; false when the platform refused it.
  bool PlaceViewport(int left, int top, int width, int height);

 private:
  static LRESULT CALLBACK ViewportProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK PictureProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT OnViewportMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  LRESULT OnPictureMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  void PaintPicture(HDC dc, const RECT& area) const;
  bool EnsureBackBuffer(Size size);
  void FillBackground();
  void KeyUp(WPARAM key);

  HWND viewport_ = nullptr;
  HWND control_ = nullptr;
  Events events_;
  win::unique_hbrush checkerBrush_;
  Picture picture_;
  win::DibSection back_;
  Size shown_;
  bool sizeAll_ = false;
  bool unbaked_ = false;  // the back buffer holds drawing that is not in the stored picture
  bool releasing_ = false;  // the control gives the mouse back itself
};

// The start-up picture of Picture1: the program's icon on the window colour.
Image PlaceholderPicture(HICON icon, int width, int height);

}  // namespace editor
