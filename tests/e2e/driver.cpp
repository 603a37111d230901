#include "e2e/driver.h"

#include <shlobj.h>

#include <span>
#include <stdexcept>
#include <tuple>

#include "shell/run_entry.h"
#include "win/gdi.h"

namespace e2e {

std::wstring ExePath() {
  std::wstring self = modRunEntry::ExecutablePath();
  return self.substr(0, self.find_last_of(L'\\') + 1) + L"MirelLumo.exe";
}

std::wstring AppDataFolder() {
  wchar_t path[MAX_PATH] = {};
  ::SHGetFolderPathW(nullptr, CSIDL_APPDATA, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::wstring ConfigFile() { return AppDataFolder() + L"\\Mirel Lumo\\config\\config.ini"; }

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

Program::Program(const std::wstring& args) {
  std::wstring commandLine = L"\"" + ExePath() + L"\"" + (args.empty() ? L"" : L" " + args);
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  // Right after a kill Wine now and then refuses a new process for a moment: a few tries.
  for (int attempt = 1;; ++attempt) {
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) break;
    if (attempt == 5) throw std::runtime_error("MirelLumo.exe did not start: " + std::to_string(::GetLastError()));
    ::Sleep(200);
  }
  ::CloseHandle(pi.hThread);
  process_.reset(pi.hProcess);
  pid_ = pi.dwProcessId;
}

void Program::Kill() {
  if (process_ && Running()) ::TerminateProcess(process_.get(), 99);
  if (process_) ::WaitForSingleObject(process_.get(), 10000);  // at once when it had ended
}

HWND Program::WaitForWindow(const wchar_t* className, const wchar_t* title, Duration timeout) const {
  using Search = std::tuple<DWORD, const wchar_t*, const wchar_t*, HWND>;  // process, class, title, found
  Search search{pid_, className, title, nullptr};
  const auto match = [](HWND hwnd, LPARAM lParam) -> BOOL {
    auto& [wanted, wantedClass, wantedTitle, found] = *reinterpret_cast<Search*>(lParam);
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != wanted || !::IsWindowVisible(hwnd)) return TRUE;  // never a window of this test's own (hung) threads
    wchar_t cls[256] = {}, text[256] = {};
    ::GetClassNameW(hwnd, cls, 256);
    ::GetWindowTextW(hwnd, text, 256);
    if ((wantedClass && wcscmp(cls, wantedClass) != 0) || (wantedTitle && wcscmp(text, wantedTitle) != 0)) return TRUE;
    found = hwnd;
    return FALSE;
  };
  HWND& found = std::get<HWND>(search);
  WaitUntil([&] { ::EnumWindows(match, reinterpret_cast<LPARAM>(&search)); return found || !Running(); }, timeout);
  return found;
}

std::wstring Program::DismissMessageBox(const wchar_t* title, Duration timeout) const {
  HWND box = WaitForMessageBox(title, timeout);
  if (!box) return L"(no message)";
  const std::wstring text = MessageBoxText(box);
  PressOk(box);
  WaitUntil([&] { return !::IsWindow(box); }, 5s);
  return text;
}

bool Program::CloseAndWait(Duration timeout) {
  const HWND main = WaitForMainWindow(timeout);
  return main && ::PostMessageW(main, WM_CLOSE, 0, 0) && WaitForExit(timeout);
}

HWND Descendant(HWND root, const wchar_t* cls, int id) {
  std::tuple<const wchar_t*, int, HWND> search{cls, id, nullptr};
  const auto match = [](HWND h, LPARAM p) -> BOOL {
    auto& [wantedClass, wantedId, found] = *reinterpret_cast<std::tuple<const wchar_t*, int, HWND>*>(p);
    wchar_t name[64] = {};
    ::GetClassNameW(h, name, 64);
    if ((wantedClass && _wcsicmp(name, wantedClass)) || (wantedId && ::GetDlgCtrlID(h) != wantedId)) return TRUE;
    found = h;
    return FALSE;
  };
  ::EnumChildWindows(root, match, reinterpret_cast<LPARAM>(&search));
  return std::get<HWND>(search);
}

RECT ScreenRect(HWND window) {
  RECT r{};
  ::GetWindowRect(window, &r);
  return r;
}

std::wstring WindowText(HWND window) {
  wchar_t text[4096] = {};
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutW(window, WM_GETTEXT, 4096, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000, &ignored);
  return text;
}

std::wstring ItemText(HWND dialog, int id) { return WindowText(::GetDlgItem(dialog, id)); }

std::wstring MessageBoxText(HWND box) { return ItemText(box, 0xFFFF); }

void PressOk(HWND box) { ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

}  // namespace e2e

void e2e::PumpFor(Duration time) {
  MSG m;
  WaitUntil([&] { while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m); return false; }, time);
}

void e2e::MoveMouse(int x, int y) { ::SetCursorPos(x, y); PumpFor(40ms); }

void e2e::MouseButton(DWORD flags) { INPUT i{INPUT_MOUSE, {.mi = {.dwFlags = flags}}}; ::SendInput(1, &i, sizeof i); }

void e2e::Drag(POINT from, POINT to) {
  MoveMouse(from.x, from.y);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  PumpFor(40ms);
  MoveMouse((from.x + to.x) / 2, (from.y + to.y) / 2);
  MoveMouse(to.x, to.y);
  MouseButton(MOUSEEVENTF_LEFTUP);
  PumpFor(60ms);
}

void e2e::ClickAt(POINT at) {
  MoveMouse(at.x, at.y);
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  PumpFor(30ms);
  MouseButton(MOUSEEVENTF_LEFTUP);
}

void e2e::Click(HWND control) {
  const RECT r = ScreenRect(control);
  ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void e2e::KeyChord(std::initializer_list<WORD> keys) {
  std::vector<INPUT> in;
  const auto key = [&](WORD vk, DWORD flags) { in.push_back({INPUT_KEYBOARD, {.ki = {.wVk = vk, .dwFlags = flags}}}); };
  for (WORD vk : keys) key(vk, 0);
  for (auto it = keys.end(); it != keys.begin();) key(*--it, KEYEVENTF_KEYUP);
  ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
  PumpFor(60ms);
}

std::vector<COLORREF> e2e::ScreenPixels(const RECT& area) {
  const int w = area.right - area.left, h = area.bottom - area.top;
  if (w <= 0 || h <= 0) return {};
  win::DibSection dib(w, h);
  ::BitBlt(dib.dc(), 0, 0, w, h, win::window_dc(nullptr).get(), area.left, area.top, SRCCOPY);
  return Colours(dib);
}

std::vector<COLORREF> e2e::Colours(const win::DibSection& dib) {
  ::GdiFlush();
  std::vector<COLORREF> out;
  for (const uint32_t p : std::span(dib.pixels(), dib.pixelCount())) out.push_back(RGB(p >> 16, p >> 8, p));
  return out;
}

int e2e::Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
  if (a.size() != b.size()) return static_cast<int>(std::max(a.size(), b.size()));
  int n = 0;
  for (size_t i = 0; i < a.size(); ++i) n += a[i] != b[i];
  return n;
}

std::wstring e2e::Env(const wchar_t* name) {
  const wchar_t* value = _wgetenv(name);  // as the test was started: no test sets one
  return value ? value : L"";
}

std::wstring e2e::UnixToWindows(const std::wstring& path) {
  std::wstring p = path;
  for (auto& c : p) c = c == L'/' ? L'\\' : c;
  return L"Z:" + p;
}

void e2e::DeleteRunEntry() {
  ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"Software\\Microsoft\\Windows\\CurrentVersion\\Run", L"MirelLumo");
}

std::wstring e2e::RecordUrls(const wchar_t* kind) {
  const std::wstring recorder = Env(L"LUMO_URL_RECORDER"), log = Env(L"LUMO_URL_LOG");
  if (recorder.empty() || log.empty() ||
      ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Software\\Wine\\WineBrowser", kind, REG_SZ, recorder.c_str(),
                        static_cast<DWORD>((recorder.size() + 1) * sizeof(wchar_t))) != ERROR_SUCCESS)
    return {};
  ::DeleteFileW(UnixToWindows(log).c_str());
  return UnixToWindows(log);
}

namespace {
// At another density this program too measures in physical pixels: its windows, the cursor and the screen agree.
const bool densityAware = !e2e::Env(L"LUMO_DPI").empty() &&
                          ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) != FALSE;
}  // namespace
