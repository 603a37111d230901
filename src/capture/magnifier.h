#pragma once
// The capture overlay's magnifier: a loupe beside the pointer showing the desktop's own
// pixels around the hot spot enlarged, with the pointer's place and colour and the
// selection's size under it. It stands above the overlay, takes no mouse input and never
// the focus.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "capture/desktop_snapshot.h"
#include "capture/loupe_rules.h"
#include "win/dib.h"
#include "win/gdi.h"
#include "win/window.h"

class Magnifier {
 public:
  struct View {
    POINT hotSpot{};                 // on the screen
    std::optional<POINT> anchor;     // the selection's opposite corner, while there is one
    std::optional<SIZE> selection;   // its size, while there is one
    RECT hole{};                     // where the desktop shows through the overlay
    RECT panel{};                    // the button panel, when it shows
  };

  // The desktop is copied for it before the overlay shows (in the background when asked).
  void PrepareBeforeShow(bool background);
  void WaitForDesktop() { snapshot_.Wait(); }
  // Shown (again) for a new capture, at the default zoom.
  void Reset() { zoom_ = loupeRules::DefaultZoom, on_ = true; }
  // Draws the loupe for the view and puts it beside the hot spot, above `overlay`.
  void Update(HWND overlay, const View& view);
  void Hide();
  void Toggle() { on_ = !on_; }
  bool On() const { return on_; }
  void Zoom(int steps) { zoom_ = loupeRules::NextZoom(zoom_, steps); }
  // Where it stands on the screen; empty while hidden.
  RECT ScreenRect() const;
  // The screen shows the desktop again where the loupe stood (its pixels were repainted).
  bool DesktopShowsIn(const RECT& area) const { return snapshot_.ScreenShowsCopy(area); }

 private:
  class Loupe : public win::Window<Loupe> {
   public:
    static win::WindowClass ClassInfo() { return {L"MirelLumo.Loupe", nullptr}; }
    bool Make(HWND overlay);
    void Show(POINT at, int width, int height);
    win::DibSection picture;
    std::wstring readout;  // its text, as the window's text for tests and screen readers
   private:
    friend class win::Window<Loupe>;
    LRESULT OnMessage(UINT msg, WPARAM wParam, LPARAM lParam);
  };

  void Render(const std::vector<uint32_t>& source, int reach, int side, const View& view, UINT dpi);

  DesktopSnapshot snapshot_;
  Loupe loupe_;
  win::unique_hfont font_;
  UINT fontDpi_ = 0;
  int zoom_ = loupeRules::DefaultZoom;
  bool on_ = true;
};
