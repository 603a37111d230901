#include "editor/main_controls.h"

#include <algorithm>
#include <iterator>
#include <utility>

#include "base/resource_ids.h"
#include "editor/frmMain_ids.h"
#include "editor/marker_rules.h"
#include "editor/view_rules.h"
#include "win/common_controls.h"
#include "win/glyph_button.h"
#include "win/panel.h"
#include "win/window_text.h"

namespace {

namespace ids = frmMainIds;

enum class Parent { Main, Tools, Settings };
enum class Kind { Glyph, Picture, Radio, Push, Edit, Preview, Label, Secret };

struct ControlDef {
  int id;
  Parent parent;
  Kind kind;
  int x, y, w, h;  // pixels at 96 dpi, relative to the parent
  const wchar_t* caption;
  const wchar_t* tooltip;
  bool disabled;
  const wchar_t* face;  // glyph buttons: the symbol font and its size
  double points;
  win::GlyphFallback fallback;
};

// Every control of the window, in its initial place.
const ControlDef Controls[] = {
    {ids::cmdZoomIn, Parent::Main, Kind::Glyph, 8, 640, 41, 41, L"y", L"Zoom In", false, L"Wingdings", 15.75,
     win::DrawBoxedCaret},
    {ids::cmdZoomOut, Parent::Main, Kind::Glyph, 56, 640, 41, 41, L"x", L"Zoom Out", false, L"Wingdings", 15.75,
     win::DrawBoxedCross},
    {ids::Commandback, Parent::Main, Kind::Glyph, 176, 640, 41, 41, L"L", L"Undo", false, L"Wingdings 3", 21.75,
     win::DrawUndoArrow},
    {ids::Commandfwd, Parent::Main, Kind::Glyph, 224, 640, 41, 41, L"M", L"Redo", false, L"Wingdings 3", 21.75,
     win::DrawRedoArrow},
    {ids::Command3_0, Parent::Main, Kind::Glyph, 344, 640, 41, 41, L"j", L"Toggle Numbering", false, L"Wingdings 2",
     21.75, win::DrawCircledZero},
    {ids::cmdCopyImage0, Parent::Main, Kind::Glyph, 392, 640, 41, 41, L".", L"Copy to clipboard", false,
     L"Wingdings 2", 21.75, win::DrawPages},
    {ids::Command2_0, Parent::Main, Kind::Glyph, 440, 640, 41, 41, L"*", L"Send by Email", false, L"Wingdings", 21.75,
     win::DrawEnvelope},
    {ids::cmdCapture0, Parent::Main, Kind::Glyph, 488, 640, 41, 41, L"`", L"Screen Capture", false, L"Webdings",
     21.75, win::DrawCamera},
    {ids::cmdSend2Mirel, Parent::Main, Kind::Picture, 536, 640, 41, 41, L"Push to Mirel Web (Coming Soon)",
     L"Push to Mirel Web (Coming Soon)", true, nullptr, 0, nullptr},
    {ids::cmdArrow, Parent::Main, Kind::Picture, 584, 640, 41, 41, L"Arrow", L"Arrow", false, nullptr, 0, nullptr},
    {ids::cmdText, Parent::Main, Kind::Picture, 632, 640, 41, 41, L"Text", L"Text", false, nullptr, 0, nullptr},
    {ids::cmdRedact, Parent::Main, Kind::Picture, 680, 640, 41, 41, L"Redact", L"Redact", false, nullptr, 0, nullptr},
    {ids::cmdSend2JIRA, Parent::Main, Kind::Picture, 823, 640, 73, 41, L"Upload to JIRA (Coming Soon)",
     L"Upload to JIRA (Coming Soon)", true, nullptr, 0, nullptr},
    {ids::cmdSettings, Parent::Main, Kind::Glyph, 904, 640, 41, 41, L"R", nullptr, false, L"Wingdings", 27.75,
     win::DrawSun},
    // The tool panel.
    {ids::Option1, Parent::Tools, Kind::Radio, 8, 24, 65, 25, L"No Draw", nullptr, false, nullptr, 0, nullptr},
    {ids::Option4, Parent::Tools, Kind::Radio, 8, 56, 137, 25, L"Line", nullptr, false, nullptr, 0, nullptr},
    {ids::Option3, Parent::Tools, Kind::Radio, 8, 88, 73, 25, L"Box Draw", nullptr, false, nullptr, 0, nullptr},
    {ids::Option2, Parent::Tools, Kind::Radio, 8, 120, 73, 25, L"Free Draw", nullptr, false, nullptr, 0, nullptr},
    {ids::cmdPaste, Parent::Tools, Kind::Push, 8, 152, 65, 33, L"PASTE", nullptr, true, nullptr, 0, nullptr},
    {ids::Picture2, Parent::Tools, Kind::Preview, 88, 24, 321, 161, L"", nullptr, false, nullptr, 0, nullptr},
    {ids::Command3_1, Parent::Tools, Kind::Glyph, 416, 24, 32, 32, L"j", L"Toggle Numbering", false, L"Wingdings 2", 18,
     win::DrawCircledZero},
    {ids::txtPrefix, Parent::Tools, Kind::Edit, 416, 56, 32, 25, L"", L"Number prefix", false, nullptr, 0, nullptr},
    {ids::cmdCopyImage1, Parent::Tools, Kind::Glyph, 416, 88, 32, 32, L".", L"Copy to clipboard", false,
     L"Wingdings 2", 18, win::DrawPages},
    {ids::Command2_1, Parent::Tools, Kind::Glyph, 416, 120, 32, 32, L"*", L"Send by Email", false, L"Wingdings", 18,
     win::DrawEnvelope},
    {ids::cmdCapture1, Parent::Tools, Kind::Glyph, 416, 152, 32, 32, L"`", L"Screen Capture", false, L"Webdings", 18,
     win::DrawCamera},
    // The settings panel.
    {ids::lblJiraUname, Parent::Settings, Kind::Label, 8, 14, 96, 20, L"JIRA Username", nullptr, false, nullptr, 0, nullptr},
    {ids::txtJiraUname, Parent::Settings, Kind::Edit, 108, 10, 205, 24, L"", nullptr, false, nullptr, 0, nullptr},
    {ids::lblJiraPwd, Parent::Settings, Kind::Label, 8, 46, 96, 20, L"JIRA Token", nullptr, false, nullptr, 0, nullptr},
    {ids::txtJiraPwd, Parent::Settings, Kind::Secret, 108, 42, 205, 24, L"", nullptr, false, nullptr, 0, nullptr},
    {ids::lblJiraInstance, Parent::Settings, Kind::Label, 8, 78, 96, 20, L"JIRA Instance", nullptr, false, nullptr, 0,
     nullptr},
    {ids::txtJiraInstance, Parent::Settings, Kind::Edit, 108, 74, 205, 24, L"", nullptr, false, nullptr, 0, nullptr},
    {ids::lblMirelToken, Parent::Settings, Kind::Label, 8, 110, 96, 20, L"Mirel Token", nullptr, false, nullptr, 0, nullptr},
    {ids::txtMirelToken, Parent::Settings, Kind::Edit, 108, 106, 205, 24, L"", nullptr, false, nullptr, 0, nullptr},
    {ids::cmdSetNextNumber, Parent::Settings, Kind::Push, 8, 148, 180, 28, L"Next Annotation Number", nullptr, false,
     nullptr, 0, nullptr},
    {ids::cmdDoneSettings, Parent::Settings, Kind::Push, 233, 148, 80, 28, L"Done", nullptr, false, nullptr, 0, nullptr},
};

constexpr RECT FrameToolsPlace{0, -201, 457, 201};       // left, top, width, height
constexpr RECT FrameSettingsPlace{584, 344, 321, 185};
constexpr COLORREF PanelColour = 0xE0E0E0;
constexpr UINT Timer1Interval = 25;

const ControlDef* DefOf(int id) {
  for (const ControlDef& c : Controls)
    if (c.id == id) return &c;
  return nullptr;
}

// The bar's buttons whose tops follow the bar line, in the order they are moved.
constexpr int BarButtons[] = {ids::cmdZoomIn,     ids::cmdZoomOut, ids::Commandback, ids::Commandfwd,
                              ids::Command3_0,    ids::cmdCopyImage0, ids::Command2_0, ids::cmdCapture0,
                              ids::cmdSend2JIRA,  ids::cmdSend2Mirel, ids::cmdArrow,   ids::cmdText,
                              ids::cmdRedact};

// The bar's tool buttons, in the order of their tool modes from ArrowDraw on.
constexpr int ToolButtons[] = {ids::cmdArrow, ids::cmdText, ids::cmdRedact};

// One control of the table, at its 96-dpi place (PlaceControls scales it).
HWND MakeControl(const ControlDef& c, HWND parent) {
  const auto menuId = reinterpret_cast<HMENU>(static_cast<INT_PTR>(c.id));
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  switch (c.kind) {
    case Kind::Glyph:
    case Kind::Picture:
      return win::CreateGlyphButton(parent, c.id, c.caption, c.x, c.y, c.w, c.h);
    case Kind::Radio:
      return ::CreateWindowExW(0, L"BUTTON", c.caption,
                               WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTORADIOBUTTON | (c.id == ids::Option1 ? WS_GROUP : 0),
                               c.x, c.y, c.w, c.h, parent, menuId, instance, nullptr);
    case Kind::Push:
      return ::CreateWindowExW(0, L"BUTTON", c.caption, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, c.x, c.y, c.w,
                               c.h, parent, menuId, instance, nullptr);
    case Kind::Edit:
    case Kind::Secret: {
      HWND h = ::CreateWindowExW(WS_EX_CLIENTEDGE, L"EDIT", c.caption,
                                 WS_CHILD | WS_VISIBLE | WS_TABSTOP | ES_AUTOHSCROLL | (c.kind == Kind::Secret ? ES_PASSWORD : 0),
                                 c.x, c.y, c.w, c.h, parent, menuId, instance, nullptr);
      if (h && c.kind == Kind::Secret) ::SendMessageW(h, EM_SETPASSWORDCHAR, L'*', 0);
      return h;
    }
    case Kind::Preview:
      // Drawn by the window: the preview of what a paste would insert, unscaled.
      return ::CreateWindowExW(WS_EX_STATICEDGE, L"STATIC", c.caption, WS_CHILD | WS_VISIBLE | SS_OWNERDRAW, c.x, c.y,
                               c.w, c.h, parent, menuId, instance, nullptr);
    case Kind::Label:
      return ::CreateWindowExW(0, L"STATIC", c.caption, WS_CHILD | WS_VISIBLE | SS_LEFT | SS_NOPREFIX, c.x, c.y, c.w,
                               c.h, parent, menuId, instance, nullptr);
  }
  return nullptr;
}

}  // namespace

HWND MainControls::Control(int id) const {
  if (!main_) return nullptr;
  if (HWND h = ::GetDlgItem(main_, id)) return h;
  for (HWND panel : {FrameTools_.hwnd(), frameSettings_.hwnd()})
    if (HWND h = panel ? ::GetDlgItem(panel, id) : nullptr) return h;
  return nullptr;
}

HFONT MainControls::GlyphFont(const wchar_t* face, double points) {
  for (const CachedFont& f : glyphFonts_)
    if (f.face == face && f.points == points) return f.font.get();
  // Made when first drawn, after the window shows: the font system's first use is slow on
  // some platforms and should not delay the start.
  glyphFonts_.push_back({face, points, win::CreateSymbolFont(win::GlyphFace{face, points, 0, 0, nullptr}, dpi_)});
  return glyphFonts_.back().font.get();
}

void MainControls::Create(HWND main, editor::PictureView& picture, editor::PictureView::Events events) {
  if (main_) return;
  main_ = main;
  picture_ = &picture;
  win::InitCommonControlsOnce();
  dpi_ = ::GetDpiForWindow(main);
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  auto bitmap = [&](int id) {
    return win::unique_hbitmap(static_cast<HBITMAP>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0)));
  };
  checkerTile_ = bitmap(IDB_CHECKER);
  for (auto [id, resource] : {std::pair{ids::cmdSend2Mirel, IDB_SEND2MIREL}, {ids::cmdSend2JIRA, IDB_SEND2JIRA},
                              {ids::cmdArrow, IDB_ARROW}, {ids::cmdText, IDB_TEXT}, {ids::cmdRedact, IDB_REDACT}})
    pictures_.push_back({id, bitmap(resource)});

  // The viewport first, then the panels over it, the tool panel out of sight.
  picture.Create(main, ids::pic_mainview, std::move(events), checkerTile_.get());
  FrameTools_.Create(main, ids::FrameTools, L"Current Action", PanelColour, 0, -201, 457, 201, true, true);
  frameSettings_.Create(main, ids::frameSettings, L"", PanelColour, 584, 344, 321, 185, false, false);
  NONCLIENTMETRICSW metrics{sizeof metrics};
  ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi_);
  controlFont_.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
  tooltip_ = win::CreateTooltipWindow(main);
  for (const ControlDef& c : Controls) {
    const HWND parent = c.parent == Parent::Main ? main : c.parent == Parent::Tools ? FrameTools_.hwnd() : frameSettings_.hwnd();
    const HWND h = MakeControl(c, parent);
    if (!h) continue;
    if (c.kind != Kind::Glyph && c.kind != Kind::Picture)
      ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont_.get()), FALSE);
    if (c.disabled) ::EnableWindow(h, FALSE);
    if (c.tooltip) win::AddTooltip(tooltip_, parent, h, c.tooltip);
  }
  ::SendMessageW(FrameTools_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(controlFont_.get()), FALSE);
  ::SetWindowPos(FrameTools_.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::SetWindowPos(frameSettings_.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  PlaceControls();
}

void MainControls::PlaceControls() {
  if (!main_) return;
  for (const ControlDef& c : Controls)
    if (HWND h = Control(c.id))
      ::SetWindowPos(h, nullptr, Scaled(c.x), Scaled(c.y), Scaled(c.w), Scaled(c.h), SWP_NOZORDER | SWP_NOACTIVATE);
  const int toolsHeight = Scaled(FrameToolsPlace.bottom);
  ::SetWindowPos(FrameTools_.hwnd(), nullptr, Scaled(FrameToolsPlace.left), ToolsPanelShown ? 0 : -toolsHeight,
                 Scaled(FrameToolsPlace.right), toolsHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(frameSettings_.hwnd(), nullptr, Scaled(FrameSettingsPlace.left), Scaled(FrameSettingsPlace.top),
                 Scaled(FrameSettingsPlace.right), Scaled(FrameSettingsPlace.bottom), SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  ::GetClientRect(main_, &client);
  Form_Resize(client.right, client.bottom);
}

void MainControls::Form_Resize(int clientWidth, int clientHeight) {
  if (!main_) return;
  editor::BarMetrics m;
  m.bottomBarUnit = Scaled(BottomBarUnit);
  m.gap = Scaled(5);
  m.margin = Scaled(8);
  m.settingsWidth = Scaled(DefOf(ids::cmdSettings)->w);
  m.send2JiraWidth = Scaled(DefOf(ids::cmdSend2JIRA)->w);
  m.frameSettingsWidth = Scaled(FrameSettingsPlace.right);
  m.frameSettingsHeight = Scaled(FrameSettingsPlace.bottom);
  const editor::BarLayout l = editor::LayoutForClient(clientWidth, clientHeight, m);
  // Each step that the platform refuses (a window lower than the bar) is skipped.
  if (l.viewport) picture_->PlaceViewport(0, 0, l.viewport->width, l.viewport->height);
  auto moveTo = [](HWND h, int x, int y) {
    if (h) ::SetWindowPos(h, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  moveTo(Control(ids::cmdSettings), l.settingsLeft, l.buttonsTop);
  moveTo(Control(ids::cmdSend2JIRA), l.send2JiraLeft, l.buttonsTop);
  moveTo(frameSettings_.hwnd(), l.frameSettingsLeft, l.frameSettingsTop);
  for (int id : BarButtons) {
    if (id == ids::cmdSend2JIRA) continue;  // placed with its left above
    moveTo(Control(id), Scaled(DefOf(id)->x), l.buttonsTop);
  }
}

void MainControls::OnDpiChanged(UINT dpi, const RECT& suggested) {
  dpi_ = dpi;
  glyphFonts_.clear();
  NONCLIENTMETRICSW metrics{sizeof metrics};
  if (::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi_)) {
    win::unique_hfont font(::CreateFontIndirectW(&metrics.lfMessageFont));
    for (const ControlDef& c : Controls)
      if (c.kind != Kind::Glyph && c.kind != Kind::Picture)
        if (HWND h = Control(c.id)) ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    if (FrameTools_.hwnd()) ::SendMessageW(FrameTools_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), TRUE);
    controlFont_ = std::move(font);
  }
  ::SetWindowPos(main_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceControls();
}

bool MainControls::DrawItem(const DRAWITEMSTRUCT& item) {
  const ControlDef* def = DefOf(static_cast<int>(item.CtlID));
  if (!def || (def->kind != Kind::Glyph && def->kind != Kind::Picture)) return false;
  if (def->kind == Kind::Picture) {
    HBITMAP picture = nullptr;
    for (const ButtonPicture& p : pictures_)
      if (p.id == def->id) picture = p.bitmap.get();
    const auto* tool = std::find(std::begin(ToolButtons), std::end(ToolButtons), def->id);
    const bool chosen = tool != std::end(ToolButtons) && chosenTool_ == modAnnotations::ArrowDraw + (tool - ToolButtons);
    win::DrawPictureButton(item, picture, chosen);
    return true;
  }
  win::GlyphFace face{def->face, def->points, def->caption[0], ::GetSysColor(COLOR_BTNFACE), def->fallback};
  // The numbering buttons show their caption's glyph: "u" while numbering is on.
  if ((def->id == ids::Command3_0 || def->id == ids::Command3_1) && win::WindowText(item.hwndItem) == L"u") {
    face.glyph = L'u';
    face.fallback = win::DrawFilledCircledZero;
  }
  win::DrawGlyphButton(item, face, GlyphFont(def->face, def->points));
  return true;
}

void MainControls::ShowChosenTool(int32_t toolMode) {
  chosenTool_ = toolMode;
  // The options are the tool panel's radio buttons; a bar button chosen leaves none checked.
  for (int32_t mode = modAnnotations::NoDraw; mode <= modAnnotations::LineDraw; ++mode)
    if (HWND h = Control(ids::Option1 + mode))
      ::SendMessageW(h, BM_SETCHECK, mode == toolMode ? BST_CHECKED : BST_UNCHECKED, 0);
  for (int id : ToolButtons)
    if (HWND h = Control(id)) ::InvalidateRect(h, nullptr, FALSE);
}

void MainControls::toolscolors_Click() {
  // A pick during a slide changes nothing: the direction is decided by the flag, which
  // changes only when a slide ends.
  if (timer1Running_) return;
  if (::SetTimer(main_, ids::Timer1, Timer1Interval, nullptr)) timer1Running_ = true;
}

void MainControls::Timer1_Timer() {
  RECT r;
  if (!FrameTools_.hwnd() || !::GetWindowRect(FrameTools_.hwnd(), &r)) return;
  ::MapWindowPoints(HWND_DESKTOP, main_, reinterpret_cast<POINT*>(&r), 2);
  const editor::SlideTick tick = editor::NextSlideStep(r.top, r.bottom - r.top, ToolsPanelShown, Scaled(25));
  ::SetWindowPos(FrameTools_.hwnd(), nullptr, r.left, tick.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (tick.stop) {
    ::KillTimer(main_, ids::Timer1);
    timer1Running_ = false;
    ToolsPanelShown = tick.shown;
  }
}

void MainControls::cmdSettings_Click() {
  if (HWND panel = frameSettings_.hwnd()) ::ShowWindow(panel, ::IsWindowVisible(panel) ? SW_HIDE : SW_SHOW);
}
