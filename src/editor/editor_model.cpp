#include "editor/editor_model.h"

#include <cmath>
#include <utility>

namespace editor {

using namespace modAnnotations;

bool EditorModel::ShowUnrecorded(Image picture) {
  CancelDrag();
  Picture next = std::move(picture);
  if (!canvas_.Show(next)) return false;
  picture_ = std::move(next);
  unbaked_ = false;
  return true;
}

bool EditorModel::ReplacePicture(Image picture) {
  if (!ShowUnrecorded(std::move(picture))) return false;
  history_.Clear();
  AnnotationCounter = 0;
  history_.RecordFirst(AnnotationCounter);
  return true;
}

void EditorModel::ShowChange(const ChangedArea& area) {
  const ImageView drawn = canvas_.Drawn();
  const bool sameSize = picture_ && drawn.width == picture_->width && drawn.height == picture_->height;
  if (area.whole || unbaked_ || !sameSize) canvas_.Show(picture_);
  else canvas_.ShowArea(picture_, area);
  unbaked_ = false;
  AnnotationCounter = history_.CounterAtCursor();
}

bool EditorModel::Undo() {
  CancelDrag();
  const auto area = history_.Undo(picture_);
  if (area) ShowChange(*area);
  return area.has_value();
}

bool EditorModel::Redo() {
  CancelDrag();
  const auto area = history_.Redo(picture_);
  if (area) ShowChange(*area);
  return area.has_value();
}

void EditorModel::SetToolMode(int32_t mode) { ToolMode = mode; }

bool EditorModel::Drawing() const { return ToolMode >= FreeDraw && ToolMode <= LineDraw; }

void EditorModel::Draw(Shape shape) {
  canvas_.Draw(shape);
  unbaked_ = true;
}

void EditorModel::DrawRubberBand(PointF from, PointF to) {
  Draw({ToolMode == BoxDraw ? Shape::Kind::Box : Shape::Kind::Segment, from, to, Ink::Invert});
}

void EditorModel::CancelDrag() {
  if (RubberShown) DrawRubberBand(RubberStart, RubberEnd);  // inverting again restores the pixels
  RubberShown = false;
}

bool EditorModel::MouseDown(int button, PointF at) {
  if (button == 1) pressedOnPicture_ = true;
  if ((ToolMode == BoxDraw || ToolMode == LineDraw) && button == 1) {
    RubberStart = RubberEnd = at;
    RubberShown = false;
  }
  // A stroke starts where it is pressed, even when no move came before the press.
  if (ToolMode == FreeDraw && button == 1) LastStrokePoint = at;
  // The picture before the first drawing is a state of its own.
  if (PansPicture() || history_.Count() != 0) return false;
  history_.RecordFirst(AnnotationCounter);
  return true;
}

void EditorModel::Pan(int buttons, PointF shown) {
  if (buttons == 0) {
    DragAnchor = shown;
  } else if (buttons == 1) {
    canvas_.MoveBy(static_cast<int>(std::lround(shown.x - DragAnchor.x)),
                   static_cast<int>(std::lround(shown.y - DragAnchor.y)));
  }
}

void EditorModel::MouseMove(int buttons, PointF at, PointF shown) {
  if (PansPicture()) {
    // Only a press on the picture drags it; a button held from elsewhere only hovers.
    Pan(pressedOnPicture_ ? buttons : (buttons & ~1), shown);
    return;
  }
  // A drag draws only when it began on the picture: one that comes in from elsewhere has no
  // start here.
  const bool dragging = buttons == 1 && pressedOnPicture_;
  if (ToolMode == FreeDraw) {
    if (dragging) Draw({Shape::Kind::Segment, LastStrokePoint, at, Ink::Red});
    LastStrokePoint = at;
  } else if ((ToolMode == BoxDraw || ToolMode == LineDraw) && dragging) {
    CancelDrag();
    DrawRubberBand(RubberStart, at);
    RubberEnd = at;
    RubberShown = true;
  }
}

void EditorModel::PlaceMarker(PointF at) {
  AnnotationCounter += 1;
  Draw({Shape::Kind::Marker, at, at, Ink::Red, MarkerText(numberPrefix_ ? numberPrefix_() : L"", AnnotationCounter)});
}

void EditorModel::Bake() {
  history_.Record(picture_, canvas_.Drawn(), AnnotationCounter);
  unbaked_ = false;
}

bool EditorModel::MouseUp(int button, PointF at) {
  if (button != 1) return false;
  // A release whose press was elsewhere (a double click on the title bar, say) draws nothing.
  if (!std::exchange(pressedOnPicture_, false) || PansPicture() || !Drawing()) return false;
  const int32_t counterBefore = AnnotationCounter;
  try {
    PointF marker = at;
    if (ToolMode == BoxDraw || ToolMode == LineDraw) {
      // The last outline goes first, wherever the release is: no inverted remnant stays.
      CancelDrag();
      Draw({ToolMode == BoxDraw ? Shape::Kind::Box : Shape::Kind::Segment, RubberStart, at, Ink::Red});
      marker = MarkerPoint(ToolMode, RubberStart, at);
    }
    if (NumberingOn) PlaceMarker(marker);
    Bake();
  } catch (...) {
    // Not recorded: the shape and its number are taken back with it.
    AnnotationCounter = counterBefore;
    canvas_.Revert(picture_);
    unbaked_ = false;
    throw;
  }
  return true;
}

bool EditorModel::CaptureLost() {
  // A stroke is kept as far as it was drawn, finished as a release at its last point would
  // finish it. A box or a line is only an outline until it is released: it goes.
  if (ToolMode == FreeDraw && pressedOnPicture_) return MouseUp(1, LastStrokePoint);
  CancelDrag();
  if (unbaked_) canvas_.Revert(picture_);
  unbaked_ = false;
  pressedOnPicture_ = false;
  return false;
}

}  // namespace editor
