#include "editor/editor_model.h"

#include <cmath>
#include <utility>

#include "base/text.h"

namespace editor {

using namespace modAnnotations;

bool EditorModel::ShowUnrecorded(Image picture) {
  CancelDrag();
  FinishText(false);
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

bool EditorModel::Undo() { return Step(&PictureHistory::Undo); }
bool EditorModel::Redo() { return Step(&PictureHistory::Redo); }

bool EditorModel::Step(std::optional<ChangedArea> (PictureHistory::*move)(Picture&)) {
  CancelDrag();
  FinishText(false);
  const auto area = (history_.*move)(picture_);
  if (area) ShowChange(*area);
  return area.has_value();
}

void EditorModel::SetToolMode(int32_t mode) {
  if (mode != ToolMode) {
    FinishText(false);
    // A key can change the tool in the middle of a drag: the drag ends as a lost mouse ends it.
    if (pressedOnPicture_) CaptureLost();
  }
  ToolMode = mode;
}

bool EditorModel::Drawing() const { return ToolMode >= FreeDraw && ToolMode <= Redact; }

bool EditorModel::DragsOutline() const {
  return ToolMode == BoxDraw || ToolMode == LineDraw || ToolMode == ArrowDraw || ToolMode == Redact;
}

void EditorModel::Draw(Shape shape) {
  canvas_.Draw(shape);
  unbaked_ = true;
}

void EditorModel::DrawRubberBand(PointF from, PointF to) {
  // A box and a redaction drag a box; a line and an arrow a line.
  const bool box = ToolMode == BoxDraw || ToolMode == Redact;
  Draw({box ? Shape::Kind::Box : Shape::Kind::Segment, from, to, Ink::Invert});
}

void EditorModel::CancelDrag() {
  if (RubberShown) DrawRubberBand(RubberStart, RubberEnd);  // inverting again restores the pixels
  RubberShown = false;
}

bool EditorModel::MouseDown(int button, PointF at) {
  if (button == 1) {
    pressedOnPicture_ = true;
    // A press on the picture while a text box is open ends it, as Enter does.
    pressEndedText_ = textBox_.has_value();
    if (pressEndedText_) return FinishText(true);
  }
  if (DragsOutline() && button == 1) {
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
  } else if (DragsOutline() && dragging) {
    CancelDrag();
    DrawRubberBand(RubberStart, at);
    RubberEnd = at;
    RubberShown = true;
    if (ToolMode == Redact) {
      // The history keeps every covered pixel: its room is made while the box is dragged,
      // and the release only fills it.
      const ImageView drawn = canvas_.Drawn();
      const base::Rect r = RedactionRect(RubberStart, at, PenWidth, {drawn.width, drawn.height});
      history_.PrepareRoom(static_cast<size_t>(r.Width() + 2) * static_cast<size_t>(r.Height()));
    }
  }
}

void EditorModel::PlaceMarker(PointF at) {
  AnnotationCounter += 1;
  Draw({Shape::Kind::Marker, at, at, Ink::Red, MarkerText(numberPrefix_ ? numberPrefix_() : L"", AnnotationCounter)});
}

void EditorModel::Bake(const ChangedArea* within) {
  history_.Record(picture_, canvas_.Drawn(), AnnotationCounter, within);
  unbaked_ = false;
}

bool EditorModel::Finish(const std::optional<Shape>& shape, std::optional<PointF> marker, const ChangedArea* within) {
  const int32_t counterBefore = AnnotationCounter;
  try {
    if (shape) Draw(*shape);
    if (marker) PlaceMarker(*marker);
    Bake(within);
  } catch (...) {
    // Not recorded: the shape and its number are taken back with it.
    AnnotationCounter = counterBefore;
    canvas_.Revert(picture_);
    unbaked_ = false;
    throw;
  }
  return true;
}

bool EditorModel::MouseUp(int button, PointF at) {
  if (button != 1) return false;
  // A release whose press was elsewhere (a double click on the title bar, say) draws nothing.
  if (!std::exchange(pressedOnPicture_, false) || PansPicture() || !Drawing()) return false;
  if (ToolMode == TextDraw) {
    if (!std::exchange(pressEndedText_, false)) OpenText(at);
    return false;
  }
  // The last outline goes first, wherever the release is: no inverted remnant stays.
  const PointF press = RubberStart;
  CancelDrag();
  const std::optional<PointF> marker = NumberingOn ? std::optional(MarkerPoint(ToolMode, press, at)) : std::nullopt;
  switch (ToolMode) {
    case BoxDraw:
      return Finish(Shape{Shape::Kind::Box, press, at, Ink::Red}, marker);
    case LineDraw:
      return Finish(Shape{Shape::Kind::Segment, press, at, Ink::Red}, marker);
    case ArrowDraw:
      return Finish(Shape{Shape::Kind::Arrow, press, at, Ink::Red}, marker);
    case Redact: {
      // No marker: nothing is drawn on what is hidden. Only the rectangle changes.
      const ImageView drawn = canvas_.Drawn();
      const base::Rect r = RedactionRect(press, at, PenWidth, {drawn.width, drawn.height});
      if (r.Empty()) return false;
      const ChangedArea area{r.left, r.top, r.right, r.bottom, false};
      return Finish(Shape{Shape::Kind::Redaction, {double(r.left), double(r.top)}, {double(r.right), double(r.bottom)}, Ink::Red},
                    std::nullopt, &area);
    }
    default:  // a free-hand stroke: drawn already, its marker at the release
      return Finish(std::nullopt, marker);
  }
}

void EditorModel::OpenText(PointF at) {
  const ImageView drawn = canvas_.Drawn();
  textBox_ = PlaceLabel(at, canvas_.LabelLineHeight(), {drawn.width, drawn.height});
  canvas_.OpenTextBox(textBox_->box);
}

bool EditorModel::FinishText(bool keep) {
  if (!textBox_) return false;
  const LabelPlace place = *std::exchange(textBox_, std::nullopt);
  const std::wstring typed = canvas_.CloseTextBox();
  if (!keep || text::TrimBlanks(typed).empty()) return false;
  return Finish(Shape{Shape::Kind::Label, place.text, place.text, Ink::Red, typed},
                NumberingOn ? std::optional(place.marker) : std::nullopt);
}

bool EditorModel::CaptureLost() {
  // A stroke is kept as far as it was drawn, finished as a release at its last point would
  // finish it. A box or a line is only an outline until it is released: it goes.
  if (ToolMode == FreeDraw && pressedOnPicture_) return MouseUp(1, LastStrokePoint);
  CancelDrag();
  history_.ReleaseRoom();
  if (unbaked_) canvas_.Revert(picture_);
  unbaked_ = false;
  pressedOnPicture_ = pressEndedText_ = false;
  return false;
}

}  // namespace editor
