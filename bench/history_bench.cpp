// Undo history of a 3840 x 2160 picture with 100 finished shapes of assorted sizes, then 20
// arrows, 20 labels and 20 redactions of 1000 x 500: its memory against one full copy per
// state, and the time of an Undo, of recording a shape and of recording a redaction
// against one full-picture copy, measured in the same run.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <random>
#include <vector>

#include "editor/editor_model.h"
#include "editor/picture_view.h"
#include "editor/text_box.h"

namespace {

constexpr int W = 3840, H = 2160, Shapes = 100, EachNewTool = 20, States = Shapes + 3 * EachNewTool;

double Now() {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

LRESULT CALLBACK Plain(HWND h, UINT m, WPARAM w, LPARAM l) { return ::DefWindowProcW(h, m, w, l); }

// The shapes as the mouse draws them; the times from the release to the recorded state.
std::vector<double> DrawShapes(editor::EditorModel& model, std::mt19937& rng) {
  std::vector<double> recordMs;
  for (int i = 0; i < Shapes; ++i) {
    const double x = rng() % (W - 200), y = rng() % (H - 200);
    const double w = 20 + rng() % static_cast<unsigned>(std::min(3000.0, W - x - 1)),
                 h = 20 + rng() % static_cast<unsigned>(std::min(2000.0, H - y - 1));
    const int tool = i % 3 == 0 ? modAnnotations::BoxDraw : i % 3 == 1 ? modAnnotations::LineDraw : modAnnotations::FreeDraw;
    model.SetToolMode(tool);
    model.MouseDown(1, {x, y});
    if (tool == modAnnotations::FreeDraw) {  // a free-hand stroke of twenty segments
      for (int k = 1; k <= 20; ++k) model.MouseMove(1, {x + w * k / 25, y + (k % 2) * h / 3}, {});
    } else {
      model.MouseMove(1, {x + w / 2, y + h / 2}, {});
      model.MouseMove(1, {x + w - 20, y + h - 20}, {});
    }
    const editor::PointF end = tool == modAnnotations::FreeDraw ? editor::PointF{x + w * 20 / 25, y} : editor::PointF{x + w - 20, y + h - 20};
    const double t0 = Now();
    model.MouseUp(1, end);
    recordMs.push_back(Now() - t0);
  }
  return recordMs;
}

// Arrows and labels anywhere; redactions of 1000 x 500 (the pen's reach included) side by
// side, each row of them overlapping the last by 100 pixels. The times of each redaction's
// record and of its drag.
void DrawNewTools(editor::EditorModel& model, editor::PictureView& view, std::mt19937& rng,
                  std::vector<double>& redactMs, std::vector<double>& dragMs) {
  for (int i = 0; i < EachNewTool; ++i) {
    const double x = rng() % (W - 200), y = rng() % (H - 200);
    model.SetToolMode(modAnnotations::ArrowDraw);
    model.MouseDown(1, {x, y});
    model.MouseMove(1, {x + 150, y + 100}, {});
    model.MouseUp(1, {x + 150, y + 100});
    model.SetToolMode(modAnnotations::TextDraw);
    model.MouseDown(1, {x / 2, y / 2});
    model.MouseUp(1, {x / 2, y / 2});
    HWND box = ::FindWindowExW(view.Control(), nullptr, editor::TextBox::ClassName, nullptr);
    ::SetWindowTextW(::GetWindow(box, GW_CHILD), (L"Label " + std::to_wstring(i)).c_str());
    model.FinishText(true);
    const double left = (i % 4) * 940 + 2, top = (i / 4) * 400 + 2;
    model.SetToolMode(modAnnotations::Redact);
    model.MouseDown(1, {left, top});
    const double drag = Now();
    model.MouseMove(1, {left + 500, top + 200}, {});
    model.MouseMove(1, {left + 995, top + 495}, {});
    dragMs.push_back(Now() - drag);
    const double t0 = Now();
    model.MouseUp(1, {left + 995, top + 495});
    redactMs.push_back(Now() - t0);
  }
}

// Every state undone, then redone: the time of each step.
void StepThrough(editor::EditorModel& model, std::vector<double>& undoMs, std::vector<double>& redoMs) {
  for (int i = 0; i < States - 1; ++i) {
    const double t0 = Now();
    model.Undo();
    ::GdiFlush();
    undoMs.push_back(Now() - t0);
  }
  for (int i = 0; i < States - 1; ++i) {
    const double t0 = Now();
    model.Redo();
    ::GdiFlush();
    redoMs.push_back(Now() - t0);
  }
}

}  // namespace

int main() {
  // A window for the picture view, as the editor has it.
  WNDCLASSW wc{};
  wc.lpfnWndProc = Plain;
  wc.hInstance = ::GetModuleHandleW(nullptr);
  wc.lpszClassName = L"HistoryBench";
  ::RegisterClassW(&wc);
  HWND parent = ::CreateWindowExW(0, wc.lpszClassName, L"", WS_OVERLAPPEDWINDOW, 0, 0, 800, 600, nullptr, nullptr,
                                  wc.hInstance, nullptr);
  editor::PictureView view;
  if (!parent || !view.Create(parent, 1, {}, nullptr)) {
    std::printf("history_bench: no window\n");
    return 1;
  }
  // A screenshot-like picture: noise, so that nothing compresses by accident.
  editor::Image shot(W, H);
  std::mt19937 rng(7);
  for (auto& p : shot.pixels) p = rng() & 0x00FFFFFF;
  editor::EditorModel model(view, [] { return std::wstring(); });
  model.ReplacePicture(shot);
  model.ToggleNumbering();

  const std::vector<double> recordMs = DrawShapes(model, rng);
  std::vector<double> redactMs, dragMs;
  DrawNewTools(model, view, rng, redactMs, dragMs);

  // One full-picture copy: the floor an Undo that restores a whole picture pays.
  std::vector<uint32_t> target(shot.pixels.size());
  std::vector<double> copyMs, undoMs, redoMs;
  for (int i = 0; i < 41; ++i) {
    const double t0 = Now();
    std::memcpy(target.data(), model.StoredPicture()->pixels.data(), target.size() * sizeof(uint32_t));
    copyMs.push_back(Now() - t0);
  }
  StepThrough(model, undoMs, redoMs);
  const editor::PictureHistory& history = model.History();

  const double full = static_cast<double>(W) * H * 4;
  const double naive = full * (States + 1);
  const double held = static_cast<double>(history.MemoryBytes());
  std::printf("history_bench: %d x %d picture, %d shapes, %d arrows, %d labels, %d redactions recorded (%d states)\n", W,
              H, Shapes, EachNewTool, EachNewTool, EachNewTool, model.History().Count());
  std::printf("  history memory      %8.1f MiB   (one full copy per state: %.0f MiB; target < 64 MiB)\n",
              held / 1048576, naive / 1048576);
  std::printf("  undo, median        %8.3f ms    (one full-picture copy: %.3f ms; ratio %.3f)\n", Median(undoMs),
              Median(copyMs), Median(undoMs) / Median(copyMs));
  std::printf("  redo, median        %8.3f ms\n", Median(redoMs));
  std::printf("  record a shape      %8.3f ms    (release to state: ratio to a copy %.2f)\n", Median(recordMs),
              Median(recordMs) / Median(copyMs));
  std::printf("  record a redaction  %8.3f ms    (1000 x 500, median; slowest %.3f ms; ratio to a copy %.2f; target < 5 ms)\n",
              Median(redactMs), *std::max_element(redactMs.begin(), redactMs.end()), Median(redactMs) / Median(copyMs));
  std::printf("  its drag's moves    %8.3f ms    (median of the two moves together: the room for the covered pixels is made there)\n",
              Median(dragMs));
  ::DestroyWindow(parent);
  return 0;
}
