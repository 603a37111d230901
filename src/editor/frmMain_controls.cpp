// The main window's controls: the bottom bar, the tool panel and the settings panel, their
// places on every resize and density, and the tool panel's slide.
#include <algorithm>
#include <iterator>

#include "base/resource_ids.h"

#include "editor/frmMain.h"
#include "editor/frmMain_ids.h"
#include "editor/view_rules.h"
#include "win/common_controls.h"
#include "win/glyph_button.h"
#include "win/panel.h"

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
constexpr UINT Timer2Interval = 1500;

const ControlDef* DefOf(int id) {
  for (const ControlDef& c : Controls)
    if (c.id == id) return &c;
  return nullptr;
}

// The bar's buttons whose tops follow the bar line, in the order they are moved.
constexpr int BarButtons[] = {ids::cmdZoomIn,     ids::cmdZoomOut, ids::Commandback, ids::Commandfwd,
                              ids::Command3_0,    ids::cmdCopyImage0, ids::Command2_0, ids::cmdCapture0,
                              ids::cmdSend2JIRA,  ids::cmdSend2Mirel};

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

int frmMain::Scaled(int pixelsAt96) const { return ::MulDiv(pixelsAt96, static_cast<int>(dpi_), 96); }

HWND frmMain::Control(int id) const {
  if (HWND h = ::GetDlgItem(hwnd(), id)) return h;
  for (HWND panel : {FrameTools_.hwnd(), frameSettings_.hwnd()})
    if (HWND h = panel ? ::GetDlgItem(panel, id) : nullptr) return h;
  return nullptr;
}

HFONT frmMain::GlyphFont(const wchar_t* face, double points) {
  for (const CachedFont& f : glyphFonts_)
    if (f.face == face && f.points == points) return f.font.get();
  // Made when first drawn, after the window shows: the font system's first use is slow on
  // some platforms and should not delay the start.
  glyphFonts_.push_back({face, points, win::CreateSymbolFont(win::GlyphFace{face, points, 0, 0, nullptr}, dpi_)});
  return glyphFonts_.back().font.get();
}

void frmMain::CreateControls() {
  if (controlsMade_) return;
  controlsMade_ = true;
  win::InitCommonControlsOnce();
  dpi_ = ::GetDpiForWindow(hwnd());
  HINSTANCE instance = ::GetModuleHandleW(nullptr);
  auto bitmap = [&](int id) {
    return win::unique_hbitmap(static_cast<HBITMAP>(::LoadImageW(instance, MAKEINTRESOURCEW(id), IMAGE_BITMAP, 0, 0, 0)));
  };
  checkerTile_ = bitmap(IDB_CHECKER);
  send2MirelPicture_ = bitmap(IDB_SEND2MIREL);
  send2JiraPicture_ = bitmap(IDB_SEND2JIRA);

  // The viewport first, then the panels over it.
  editor::PictureView::Events events;
  events.mouseDown = [this](int b, int s, editor::PointF p) { Picture1_MouseDown(b, s, p); };
  events.mouseMove = [this](int b, int s, editor::PointF p) { Picture1_MouseMove(b, s, p); };
  events.mouseUp = [this](int b, int s, editor::PointF p) { Picture1_MouseUp(b, s, p); };
  events.keyUp = [this](int key, int shift) { Picture1_KeyUp(key, shift); };
  events.captureLost = [this] { Picture1_CaptureLost(); };
  Picture1.Create(hwnd(), ids::pic_mainview, std::move(events), checkerTile_.get());
  // Form_Load's editor state: the start-up picture, the first tool, the panel out of sight.
  HICON icon = reinterpret_cast<HICON>(::GetClassLongPtrW(hwnd(), GCLP_HICON));
  editor_.ShowUnrecorded(editor::PlaceholderPicture(icon, 258, 212));

  FrameTools_.Create(hwnd(), ids::FrameTools, L"Current Action", PanelColour, 0, -201, 457, 201, true, true);
  frameSettings_.Create(hwnd(), ids::frameSettings, L"", PanelColour, 584, 344, 321, 185, false, false);
  NONCLIENTMETRICSW metrics{sizeof metrics};
  ::SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0, dpi_);
  controlFont_.reset(::CreateFontIndirectW(&metrics.lfMessageFont));
  tooltip_ = win::CreateTooltipWindow(hwnd());
  for (const ControlDef& c : Controls) {
    const HWND parent = c.parent == Parent::Main ? hwnd() : c.parent == Parent::Tools ? FrameTools_.hwnd() : frameSettings_.hwnd();
    const HWND h = MakeControl(c, parent);
    if (!h) continue;
    if (c.kind != Kind::Glyph && c.kind != Kind::Picture)
      ::SendMessageW(h, WM_SETFONT, reinterpret_cast<WPARAM>(controlFont_.get()), FALSE);
    if (c.disabled) ::EnableWindow(h, FALSE);
    if (c.tooltip) win::AddTooltip(tooltip_, parent, h, c.tooltip);
  }
  ::SendMessageW(FrameTools_.hwnd(), WM_SETFONT, reinterpret_cast<WPARAM>(controlFont_.get()), FALSE);
  // The settings fields show the stored values, once they are loaded: with a capture asked
  // for on the command line the controls are made before the start-up reads them.
  if (settingsLoaded_) ShowSettingsFields();
  // The clipboard watcher runs from now on.
  ::SetTimer(hwnd(), ids::Timer2, Timer2Interval, nullptr);
  // The tool that matches ToolMode is checked, which runs its click handler.
  ::CheckRadioButton(FrameTools_.hwnd(), ids::Option1, ids::Option4, ids::Option1 + editor_.Tool());
  OptionClick(editor_.Tool());
  ::SetWindowPos(FrameTools_.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::SetWindowPos(frameSettings_.hwnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  PlaceControls();
}

void frmMain::PlaceControls() {
  if (!controlsMade_) return;
  for (const ControlDef& c : Controls)
    if (HWND h = Control(c.id))
      ::SetWindowPos(h, nullptr, Scaled(c.x), Scaled(c.y), Scaled(c.w), Scaled(c.h), SWP_NOZORDER | SWP_NOACTIVATE);
  const int toolsHeight = Scaled(FrameToolsPlace.bottom);
  ::SetWindowPos(FrameTools_.hwnd(), nullptr, Scaled(FrameToolsPlace.left), ToolsPanelShown ? 0 : -toolsHeight,
                 Scaled(FrameToolsPlace.right), toolsHeight, SWP_NOZORDER | SWP_NOACTIVATE);
  ::SetWindowPos(frameSettings_.hwnd(), nullptr, Scaled(FrameSettingsPlace.left), Scaled(FrameSettingsPlace.top),
                 Scaled(FrameSettingsPlace.right), Scaled(FrameSettingsPlace.bottom), SWP_NOZORDER | SWP_NOACTIVATE);
  RECT client;
  ::GetClientRect(hwnd(), &client);
  Form_Resize(client.right, client.bottom);
}

void frmMain::Form_Resize(int clientWidth, int clientHeight) {
  if (!controlsMade_) return;
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
  if (l.viewport) Picture1.PlaceViewport(0, 0, l.viewport->width, l.viewport->height);
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

void frmMain::OnDpiChanged(UINT dpi, const RECT& suggested) {
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
  ::SetWindowPos(hwnd(), nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  PlaceControls();
}

void frmMain::OnDrawItem(const DRAWITEMSTRUCT& item) {
  const ControlDef* def = DefOf(static_cast<int>(item.CtlID));
  if (!def) return;
  if (def->kind == Kind::Preview) {
    DrawPreview(item);
    return;
  }
  if (def->kind == Kind::Picture) {
    HBITMAP picture = def->id == ids::cmdSend2JIRA ? send2JiraPicture_.get() : send2MirelPicture_.get();
    win::DrawPictureButton(item, picture);
    return;
  }
  win::GlyphFace face{def->face, def->points, def->caption[0], ::GetSysColor(COLOR_BTNFACE), def->fallback};
  if ((def->id == ids::Command3_0 || def->id == ids::Command3_1) && editor_.IsNumberingOn()) {
    face.glyph = L'u';
    face.fallback = win::DrawFilledCircledZero;
  }
  win::DrawGlyphButton(item, face, GlyphFont(def->face, def->points));
}

void frmMain::toolscolors_Click() {
  // A pick during a slide changes nothing: the direction is decided by the flag, which
  // changes only when a slide ends.
  if (timer1Running_) return;
  if (::SetTimer(hwnd(), ids::Timer1, Timer1Interval, nullptr)) timer1Running_ = true;
}

void frmMain::Timer1_Timer() {
  RECT r;
  if (!FrameTools_.hwnd() || !::GetWindowRect(FrameTools_.hwnd(), &r)) return;
  ::MapWindowPoints(HWND_DESKTOP, hwnd(), reinterpret_cast<POINT*>(&r), 2);
  const editor::SlideTick tick = editor::NextSlideStep(r.top, r.bottom - r.top, ToolsPanelShown, Scaled(25));
  ::SetWindowPos(FrameTools_.hwnd(), nullptr, r.left, tick.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  if (tick.stop) {
    ::KillTimer(hwnd(), ids::Timer1);
    timer1Running_ = false;
    ToolsPanelShown = tick.shown;
  }
}

void frmMain::cmdSettings_Click() {
  if (HWND panel = frameSettings_.hwnd()) ::ShowWindow(panel, ::IsWindowVisible(panel) ? SW_HIDE : SW_SHOW);
}
