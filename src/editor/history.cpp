#include "editor/history.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace editor {

namespace {
// Unchanged pixels between two changed ones are taken into the run when the gap is this
// short: a run's two header words cost more than a few zero values.
constexpr int MergeGap = 3;

// A run of changed pixels in row y, from first to last.
struct Run {
  int y, first, last;
};

// The runs' values, XOR-ed, with their headers, into a block of exactly their size.
void FillRuns(const std::vector<Run>& places, size_t words, const Image& before, ImageView after,
              std::vector<uint32_t>& runs) {
  runs.resize(words);
  uint32_t* out = runs.data();
  const size_t w = static_cast<size_t>(after.width);
  for (const Run& r : places) {
    const size_t row = static_cast<size_t>(r.y) * w;
    const uint32_t* a = before.pixels.data() + row;
    const uint32_t* b = after.pixels + row;
    *out++ = static_cast<uint32_t>(row + static_cast<size_t>(r.first));
    *out++ = static_cast<uint32_t>(r.last - r.first + 1);
    for (int i = r.first; i <= r.last; ++i) *out++ = a[i] ^ b[i];
  }
}
}  // namespace

PictureHistory::Change DiffPictures(const Image& before, ImageView after, const ChangedArea* within,
                                    std::vector<uint32_t>* room) {
  PictureHistory::Change change;
  ChangedArea& area = change.area;
  area = {after.width, after.height, 0, 0, false};
  const size_t w = static_cast<size_t>(after.width);
  // The columns and rows compared: all, or those of `within` on the picture.
  int left = 0, right = after.width, top = 0, bottom = after.height;
  if (within && !within->whole) {
    left = std::clamp(within->left, 0, after.width);
    right = std::clamp(within->right, left, after.width);
    top = std::clamp(within->top, 0, after.height);
    bottom = std::clamp(within->bottom, top, after.height);
  }
  // First the runs' places, then their values in one block of the size they need: a large
  // change costs one allocation, not a growing list's many.
  std::vector<Run> places;
  size_t words = 0;
  for (int y = top; y < bottom; ++y) {
    const uint32_t* a = before.pixels.data() + static_cast<size_t>(y) * w;
    const uint32_t* b = after.pixels + static_cast<size_t>(y) * w;
    if (std::memcmp(a + left, b + left, static_cast<size_t>(right - left) * sizeof(uint32_t)) == 0) continue;
    int x = left;
    while (x < right) {
      if (a[x] == b[x]) {
        ++x;
        continue;
      }
      // A run from x to the last changed pixel before a gap longer than MergeGap.
      int end = x + 1, lastChanged = x;
      while (end < right && end - lastChanged <= MergeGap) {
        if (a[end] != b[end]) lastChanged = end;
        ++end;
      }
      places.push_back({y, x, lastChanged});
      words += 2 + static_cast<size_t>(lastChanged - x + 1);
      area.left = std::min(area.left, x);
      area.right = std::max(area.right, lastChanged + 1);
      area.top = std::min(area.top, y);
      area.bottom = std::max(area.bottom, y + 1);
      x = lastChanged + 1;
    }
  }
  if (places.empty()) area = {};
  // Room made beforehand is taken when no more than a quarter of it would lie idle.
  if (room && words > 0 && room->capacity() >= words && room->capacity() - words <= room->capacity() / 4)
    change.runs = std::move(*room);
  FillRuns(places, words, before, after, change.runs);
  return change;
}

void PictureHistory::Clear() {
  entries_.clear();
  entries_.shrink_to_fit();
  ReleaseRoom();
  count_ = 0;
  cursor_ = 0;
}

void PictureHistory::MakeRoom() {
  // Entry 0 is the empty state and is never written. Room for the new entry is made before
  // anything changes, so that running out of memory leaves the history as it was.
  if (entries_.empty()) entries_.push_back(HistoryEntry{});
  entries_.reserve(static_cast<size_t>(cursor_) + 2);
}

void PictureHistory::Append(int32_t counter, Change change) {
  // Everything after the cursor goes.
  entries_.resize(static_cast<size_t>(cursor_) + 1);
  const int32_t index = cursor_ + 1;
  entries_.push_back(HistoryEntry{counter, index, std::move(change)});
  cursor_ = index;
  count_ = index + 1;
}

ChangedArea PictureHistory::Record(Picture& picture, ImageView drawn, int32_t counter, const ChangedArea* within) {
  MakeRoom();
  Change change;
  ChangedArea area;
  if (cursor_ > 0 && picture && picture->width == drawn.width && picture->height == drawn.height) {
    change = DiffPictures(*picture, drawn, within, &room_);
    area = Apply(change, picture);  // the picture becomes what was drawn
  } else {
    // After the empty state, or a picture of another size: the entry keeps the picture it
    // replaces (none for the empty state) and takes its place on Undo.
    Image copy = Image::Copy(drawn);
    change.swaps = true;
    if (cursor_ > 0) change.other = std::move(picture);
    picture = std::move(copy);
    area.whole = true;
  }
  Append(counter, std::move(change));
  ReleaseRoom();
  return area;
}

void PictureHistory::PrepareRoom(size_t words) {
  if (room_.capacity() >= words) return;
  // Grown by a fifth at least, so that a growing drag makes room a few times, not at every move.
  std::vector<uint32_t> bigger(std::max(words, room_.capacity() + room_.capacity() / 5));  // every page touched
  bigger.clear();
  room_ = std::move(bigger);
}

void PictureHistory::RecordFirst(int32_t counter) {
  cursor_ = 0;
  MakeRoom();
  Change change;
  change.swaps = true;  // from the empty state: nothing to keep until Undo parks the picture
  change.area.whole = true;
  Append(counter, std::move(change));
}

ChangedArea PictureHistory::Apply(Change& change, Picture& picture) {
  if (change.swaps) {
    std::swap(picture, change.other);
    return ChangedArea{0, 0, 0, 0, true};
  }
  if (!picture) return {};
  uint32_t* pixels = picture->pixels.data();
  const size_t total = picture->pixels.size();
  for (size_t i = 0; i + 1 < change.runs.size();) {
    const size_t first = change.runs[i], count = change.runs[i + 1];
    const uint32_t* values = change.runs.data() + i + 2;
    if (first + count > total) break;  // never past the picture, whatever the list holds
    for (size_t k = 0; k < count; ++k) pixels[first + k] ^= values[k];
    i += 2 + count;
  }
  return change.area;
}

std::optional<ChangedArea> PictureHistory::Undo(Picture& picture) {
  if (cursor_ <= 0) return std::nullopt;
  const ChangedArea area = Apply(entries_[static_cast<size_t>(cursor_)].change, picture);
  --cursor_;
  return area;
}

std::optional<ChangedArea> PictureHistory::Redo(Picture& picture) {
  if (cursor_ >= count_ - 1) return std::nullopt;
  ++cursor_;
  return Apply(entries_[static_cast<size_t>(cursor_)].change, picture);
}

size_t PictureHistory::MemoryBytes() const {
  size_t bytes = entries_.capacity() * sizeof(HistoryEntry) + room_.capacity() * sizeof(uint32_t);
  for (const HistoryEntry& e : entries_) {
    bytes += e.change.runs.capacity() * sizeof(uint32_t);
    if (e.change.other) bytes += e.change.other->pixels.capacity() * sizeof(uint32_t);
  }
  return bytes;
}

}  // namespace editor
