#pragma once
// The editor's undo history: a list of picture states, entry 0 the empty state, a cursor
// that Undo and Redo move, and the marker counter of each state.
//
// A state does not keep a copy of its picture. The picture of the state under the cursor is
// the editor's stored picture itself; each entry keeps only what turns its neighbour into it:
// the changed pixels, XOR-ed, when both pictures have the same size, or the whole other
// picture when one side is empty or the size differs. Memory grows with what the drawing
// changed, and Undo costs the changed pixels, not the picture.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "base/image.h"

namespace editor {

using base::Image;
using base::ImageView;
using base::Picture;

// The area of the picture that a step changed (all of it when whole).
struct ChangedArea {
  int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
  bool whole = false;
  bool empty() const { return !whole && (right <= left || bottom <= top); }
};

class PictureHistory {
 public:
  // What turns the picture of the entry before into this entry's picture, and back.
  struct Change {
    // XOR of the two pictures where they differ: runs of [first pixel, count, values...].
    std::vector<uint32_t> runs;
    ChangedArea area;
    // When the sizes differ or one side is empty: the picture on the side the cursor is
    // not on (none when that side is the empty state).
    bool swaps = false;
    Picture other;
  };
  struct HistoryEntry {
    int32_t counter = 0;  // AnnotationCounter when recorded
    int32_t index = 0;
    Change change;  // from entry index - 1 to this one; unused in entry 0
  };

  int32_t Count() const { return count_; }
  int32_t Cursor() const { return cursor_; }
  // The counter of the state under the cursor (0 for the empty state).
  int32_t CounterAtCursor() const { return count_ == 0 ? 0 : entries_[static_cast<size_t>(cursor_)].counter; }

  // Empties the history: no entries, cursor 0.
  void Clear();

  // Appends `picture` as the state after the cursor, dropping every state after it.
  // `picture` must be the picture of the state under the cursor, or the empty state's
  // successor when the cursor is 0; `drawn` is what it becomes. On return `picture`
  // equals `drawn` and is the new state. Returns the area that changed.
  // With `within`, the caller vouches that nothing outside that area changed: only it is
  // compared.
  ChangedArea Record(Picture& picture, ImageView drawn, int32_t counter, const ChangedArea* within = nullptr);
  // Records the picture as it is as the state after the empty state, dropping every
  // other state: after Clear, or for the picture shown before anything was recorded.
  void RecordFirst(int32_t counter);

  // Undo and Redo turn `picture` (the state under the cursor) into the neighbouring state;
  // nothing happens at the ends. The counter of the new state is CounterAtCursor().
  std::optional<ChangedArea> Undo(Picture& picture);
  std::optional<ChangedArea> Redo(Picture& picture);

  // Makes room for a change of up to `words` run words now, while a drag goes on, so that
  // recording it takes no fresh memory (which the platform hands out page by page, slowly).
  // The next Record uses it, or gives it back.
  void PrepareRoom(size_t words);
  void ReleaseRoom() { room_ = {}; }

  // Bytes held by the history itself (the stored picture is the editor's, not counted).
  size_t MemoryBytes() const;

 private:
  void MakeRoom();
  void Append(int32_t counter, Change change);
  static ChangedArea Apply(Change& change, Picture& picture);

  std::vector<HistoryEntry> entries_;
  std::vector<uint32_t> room_;  // PrepareRoom's: capacity made and touched, size 0
  int32_t count_ = 0;
  int32_t cursor_ = 0;
};

// The XOR runs between two pictures of the same size, and the area they cover; with
// `within`, only that area is compared. The runs take `room`'s memory where it fits them.
PictureHistory::Change DiffPictures(const Image& before, ImageView after, const ChangedArea* within = nullptr,
                                    std::vector<uint32_t>* room = nullptr);

}  // namespace editor
