#pragma once
// What the editor model draws on: the picture control's back buffer, in the picture's own
// pixels. Portable: the window implements it with GDI, the tests with a fake.
#include <string>

#include "base/geometry.h"
#include "base/image.h"
#include "editor/history.h"

namespace editor {

using base::PointF;

// The red 5-pixel pen (copy pen), or every pixel under the pen inverted (a rubber band:
// drawing it twice restores the picture).
enum class Ink { Red, Invert };

// A marker's centre is `from`; a label's text starts at `from` (its top-left corner); a
// redaction blacks out the pixels from `from` to `to` (right and bottom exclusive, whole
// pixels on the picture); an arrow points from `from` to `to`.
struct Shape {
  enum class Kind { Segment, Box, Marker, Arrow, Label, Redaction };
  Kind kind = Kind::Segment;
  PointF from, to;
  Ink ink = Ink::Red;
  std::wstring text;   // a marker's or a label's text
};

class Canvas {
 public:
  virtual ~Canvas() = default;
  virtual void Draw(const Shape& shape) = 0;
  // The back buffer as drawn.
  virtual ImageView Drawn() = 0;
  // The back buffer takes the picture at its own size and shows it at 1:1; with none, it
  // keeps its size in the background colour. False (and nothing changed) when there is no
  // memory for it.
  virtual bool Show(const Picture& picture) = 0;
  // Only `area` of the picture changed since the back buffer last showed it.
  virtual void ShowArea(const Picture& picture, const ChangedArea& area) = 0;
  // Drawing not yet baked is taken back; the shown size (the zoom) stays.
  virtual void Revert(const Picture& picture) = 0;
  // The picture control moves inside its viewport (dragged in no-draw mode).
  virtual void MoveBy(int dx, int dy) = 0;

  // ---- The text tool's one-line box over the picture.
  // The height of a line of label text, in the picture's pixels.
  virtual int LabelLineHeight() = 0;
  // Shows the box, empty and with the focus, over `box` (the picture's pixels).
  virtual void OpenTextBox(const base::Rect& box) = 0;
  // Takes the box away; what was typed in it.
  virtual std::wstring CloseTextBox() = 0;
};

}  // namespace editor
