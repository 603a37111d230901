#pragma once
// The main window's controls: the bottom bar, the tool panel and the settings panel, their
// places on every resize and density, the tool panel's slide, and the glyph buttons'
// faces. Their commands go to the main window.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "editor/picture_view.h"
#include "win/gdi.h"
#include "win/panel.h"

class MainControls {
 public:
  MainControls() = default;
  MainControls(const MainControls&) = delete;
  MainControls& operator=(const MainControls&) = delete;

  // Makes every control in the main window, the viewport of `picture` under the panels.
  void Create(HWND main, editor::PictureView& picture, editor::PictureView::Events events);
  bool Made() const { return main_ != nullptr; }
  // A control of the window or of one of its panels, by id; nullptr when there is none.
  HWND Control(int id) const;
  HWND ToolsPanel() const { return FrameTools_.hwnd(); }
  int Scaled(int pixelsAt96) const { return ::MulDiv(pixelsAt96, static_cast<int>(dpi_), 96); }

  // Every control at its place for the window's density, then the bar for its size.
  void PlaceControls();
  void Form_Resize(int clientWidth, int clientHeight);
  void OnDpiChanged(UINT dpi, const RECT& suggested);
  // Draws a glyph or picture button; false for any other control.
  bool DrawItem(const DRAWITEMSTRUCT& item);
  // The tool's option checked, or its bar button shown pressed: one of the seven.
  void ShowChosenTool(int32_t toolMode);

  void toolscolors_Click();  // the menu item "Tools": starts the tool panel's slide
  void Timer1_Timer();       // one step of the slide
  void cmdSettings_Click();  // shows or hides the settings panel

 private:
  HFONT GlyphFont(const wchar_t* face, double points);

  HWND main_ = nullptr;
  editor::PictureView* picture_ = nullptr;
  UINT dpi_ = 96;
  int16_t BottomBarUnit = 20;
  bool ToolsPanelShown = false;
  bool timer1Running_ = false;
  win::Panel FrameTools_, frameSettings_;
  HWND tooltip_ = nullptr;
  int32_t chosenTool_ = 0;
  win::unique_hbitmap checkerTile_;
  struct ButtonPicture {
    int id;
    win::unique_hbitmap bitmap;
  };
  std::vector<ButtonPicture> pictures_;  // of the picture buttons
  win::unique_hfont controlFont_;
  struct CachedFont {
    const wchar_t* face;
    double points;
    win::unique_hfont font;
  };
  std::vector<CachedFont> glyphFonts_;
};
