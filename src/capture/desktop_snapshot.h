#pragma once
// The desktop's own pixels while the overlay covers it. Screen copies leave layered windows
// out on some platforms and take them in on others (Wine, some remote sessions), so the
// overlay keeps a copy of the virtual screen taken before it shows, and reads afresh only
// where the desktop shows through it: the selection's hole.
#include <windows.h>

#include <cstdint>
#include <initializer_list>
#include <thread>
#include <vector>

#include "win/dib.h"

class DesktopSnapshot {
 public:
  DesktopSnapshot() = default;
  ~DesktopSnapshot() { Wait(); }
  DesktopSnapshot(const DesktopSnapshot&) = delete;
  DesktopSnapshot& operator=(const DesktopSnapshot&) = delete;

  // Copies the virtual screen, now or on a worker thread (Wait() joins it). Nothing of the
  // overlay may be on the screen until the copy is made.
  void Take();
  void TakeInBackground();
  void Wait();

  // The pixels (0x00RRGGBB, rows top to bottom) of a screen rectangle: from the copy, read
  // afresh from the screen inside `live` except inside the `covered` rectangles (our own
  // windows standing there). Outside the copy: black.
  void Read(const RECT& area, const RECT& live, std::initializer_list<RECT> covered, std::vector<uint32_t>& out) const;
  // The screen shows exactly the copy's pixels in the rectangle.
  bool ScreenShowsCopy(const RECT& area) const;

 private:
  void Copy();

  win::DibSection copy_;
  POINT origin_{};  // the copy's top-left corner on the screen
  std::thread worker_;
};
