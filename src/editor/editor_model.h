#pragma once
// The editor's state and rules, apart from the window: the stored picture and its history,
// the marker counter, the tool, the rubber band of a box, line, arrow or redaction, the
// free-hand stroke, the text box of a label, the anchor of a drag in no-draw mode, and
// numbering. Driven by plain events in the picture's own pixels; draws through a Canvas.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "editor/annotation_rules.h"
#include "editor/canvas.h"
#include "editor/history.h"
#include "editor/marker_rules.h"

namespace editor {

class EditorModel {
 public:
  // numberPrefix gives the prefix of the next marker (trimmed); it is asked only when a
  // marker is placed.
  EditorModel(Canvas& canvas, std::function<std::wstring()> numberPrefix)
      : canvas_(canvas), numberPrefix_(std::move(numberPrefix)) {}
  EditorModel(const EditorModel&) = delete;
  EditorModel& operator=(const EditorModel&) = delete;

  // ---- The picture and its history.
  // The picture shown before anything is recorded (the start-up picture); no state yet.
  bool ShowUnrecorded(Image picture);
  // Replaces the picture and starts a fresh history with it as the only state (a capture,
  // a file, a paste). False, and nothing changed, when there is no memory for it.
  bool ReplacePicture(Image picture);
  // Commandback_Click and Commandfwd_Click: false at the ends of the history.
  bool Undo();
  bool Redo();
  const Picture& StoredPicture() const { return picture_; }
  const PictureHistory& History() const { return history_; }
  int32_t Counter() const { return AnnotationCounter; }

  // ---- Tools and markers.
  // Another tool closes an open text box without its text.
  void SetToolMode(int32_t mode);
  int32_t Tool() const { return ToolMode; }
  // The size-all pointer: a drag moves the picture instead of drawing.
  bool PansPicture() const { return ToolMode == modAnnotations::NoDraw; }
  void ToggleNumbering() { NumberingOn = !NumberingOn; }
  bool IsNumberingOn() const { return NumberingOn; }
  // cmdSetNextNumber: the next marker gets n (n >= 1).
  void SetNextNumber(int32_t n) { AnnotationCounter = n - 1; }

  // ---- The mouse on the picture: `at` in the picture's pixels, `shown` in the control's.
  // Buttons are masks (1 left, 2 right, 4 middle). Each returns true when it recorded a
  // state (the sharing buttons then come on).
  bool MouseDown(int button, PointF at);
  void MouseMove(int buttons, PointF at, PointF shown);
  bool MouseUp(int button, PointF at);
  // Another window took the mouse in the middle of a drag.
  bool CaptureLost();

  // ---- The text tool: a release on the picture opens a text box there; Enter (keep) or
  // Escape ends it. A press on the picture while it is open ends it as Enter does. Its text
  // (unless only blanks) becomes a label and one state. An Undo, a Redo, another picture
  // or another tool close it without its text. True when it recorded a state.
  bool FinishText(bool keep);
  bool TextBoxOpen() const { return textBox_.has_value(); }

 private:
  bool Drawing() const;
  bool DragsOutline() const;  // a box, line, arrow or redaction: a rubber band until released
  void Draw(Shape shape);
  void DrawRubberBand(PointF from, PointF to);
  // An outline on the picture belongs to the picture it was drawn on: erased before the
  // picture changes.
  void CancelDrag();
  void Pan(int buttons, PointF shown);
  void PlaceMarker(PointF at);
  // Draws the finished shape (none: a stroke, drawn already) and its marker, bakes them and
  // records one state; on failure nothing of it stays. `within`: the only area it changed, when known.
  bool Finish(const std::optional<Shape>& shape, std::optional<PointF> marker, const ChangedArea* within = nullptr);
  void OpenText(PointF at);
  void Bake(const ChangedArea* within = nullptr);
  void ShowChange(const ChangedArea& area);
  // An Undo or a Redo: any drag or text box ends first, then the history moves.
  bool Step(std::optional<ChangedArea> (PictureHistory::*move)(Picture&));

  Canvas& canvas_;
  std::function<std::wstring()> numberPrefix_;
  Picture picture_;
  PictureHistory history_;
  bool unbaked_ = false;  // the back buffer holds drawing that is not in the stored picture

  int32_t AnnotationCounter = 0;
  int32_t ToolMode = modAnnotations::NoDraw;
  bool NumberingOn = false;
  PointF LastStrokePoint, RubberStart, RubberEnd, DragAnchor;
  bool RubberShown = false;
  bool pressedOnPicture_ = false;  // the left button went down on the picture: a drag of its own
  std::optional<modAnnotations::LabelPlace> textBox_;  // the open text box
  bool pressEndedText_ = false;    // the press ended a text box: its release opens none
};

}  // namespace editor
