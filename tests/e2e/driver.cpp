#include "e2e/driver.h"

#include <shlobj.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

#include "shell/run_entry.h"

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

std::string ReadBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

bool FileExists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

Program::Program(const std::wstring& args) {
  std::wstring commandLine = L"\"" + ExePath() + L"\"";
  if (!args.empty()) commandLine += L" " + args;
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  // Right after a kill Wine now and then refuses a new process for a moment: a few tries.
  DWORD error = 0;
  for (int attempt = 0; attempt < 5; ++attempt) {
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) {
      error = 0;
      break;
    }
    error = ::GetLastError();
    ::Sleep(200);
  }
  if (error != 0) throw std::runtime_error("MirelLumo.exe did not start, error " + std::to_string(error));
  ::CloseHandle(pi.hThread);
  process_.reset(pi.hProcess);
  pid_ = pi.dwProcessId;
}

Program::~Program() { Kill(); }

bool Program::Running() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }

bool Program::WaitForExit(Duration timeout) const {
  return ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
}

void Program::Kill() {
  if (process_ && Running()) {
    ::TerminateProcess(process_.get(), 99);
    ::WaitForSingleObject(process_.get(), 10000);
  }
}

namespace {
struct Search {
  DWORD pid;
  const wchar_t* className;
  const wchar_t* title;
  HWND found = nullptr;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM lParam) {
  auto* s = reinterpret_cast<Search*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  if (pid != s->pid || !::IsWindowVisible(hwnd)) return TRUE;
  wchar_t text[256] = {};
  if (s->className) {
    ::GetClassNameW(hwnd, text, 256);
    if (wcscmp(text, s->className) != 0) return TRUE;
  }
  if (s->title) {
    ::GetWindowTextW(hwnd, text, 256);
    if (wcscmp(text, s->title) != 0) return TRUE;
  }
  s->found = hwnd;
  return FALSE;
}
}  // namespace

HWND Program::WaitForWindow(const wchar_t* className, const wchar_t* title, Duration timeout) const {
  Search s{pid_, className, title};
  WaitUntil(
      [&] {
        ::EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
        return s.found != nullptr || !Running();
      },
      timeout);
  return s.found;
}

HWND Program::WaitForMainWindow(Duration timeout) const {
  return WaitForWindow(L"MirelLumo.frmMain", nullptr, timeout);
}

HWND Program::WaitForMessageBox(const wchar_t* title, Duration timeout) const {
  return WaitForWindow(L"#32770", title, timeout);
}

bool Program::CloseAndWait(Duration timeout) {
  HWND main = WaitForMainWindow(timeout);
  if (!main) return false;
  ::PostMessageW(main, WM_CLOSE, 0, 0);
  return WaitForExit(timeout);
}

std::wstring MessageBoxText(HWND box) {
  wchar_t text[4096] = {};
  ::GetWindowTextW(::GetDlgItem(box, 0xFFFF), text, 4096);
  return text;
}

void PressOk(HWND box) { ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0); }

}  // namespace e2e

void e2e::PumpFor(Duration time) {
  WaitUntil(
      [] {
        MSG m;
        while (::PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) ::DispatchMessageW(&m);
        return false;
      },
      time);
}

void e2e::MoveMouse(int x, int y) {
  ::SetCursorPos(x, y);
  PumpFor(40ms);
}

void e2e::MouseButton(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  ::SendInput(1, &in, sizeof in);
}

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
  RECT r;
  ::GetWindowRect(control, &r);
  ClickAt({(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

void e2e::KeyChord(std::initializer_list<WORD> keys) {
  std::vector<INPUT> in;
  for (WORD vk : keys) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = vk;
    in.push_back(i);
  }
  for (auto it = keys.end(); it != keys.begin();) {
    INPUT i{};
    i.type = INPUT_KEYBOARD;
    i.ki.wVk = *--it;
    i.ki.dwFlags = KEYEVENTF_KEYUP;
    in.push_back(i);
  }
  ::SendInput(static_cast<UINT>(in.size()), in.data(), sizeof(INPUT));
  PumpFor(60ms);
}

std::vector<COLORREF> e2e::ScreenPixels(const RECT& area) {
  const int w = area.right - area.left, h = area.bottom - area.top;
  std::vector<COLORREF> out;
  if (w <= 0 || h <= 0) return out;
  HDC screen = ::GetDC(nullptr);
  HDC mem = ::CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), w, -h, 1, 32, BI_RGB};
  void* bits = nullptr;
  HBITMAP dib = ::CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = ::SelectObject(mem, dib);
  ::BitBlt(mem, 0, 0, w, h, screen, area.left, area.top, SRCCOPY);
  ::GdiFlush();
  const auto* px = static_cast<const DWORD*>(bits);
  for (int i = 0; i < w * h; ++i) out.push_back(RGB((px[i] >> 16) & 0xFF, (px[i] >> 8) & 0xFF, px[i] & 0xFF));
  ::SelectObject(mem, old);
  ::DeleteObject(dib);
  ::DeleteDC(mem);
  ::ReleaseDC(nullptr, screen);
  return out;
}


std::wstring e2e::Env(const wchar_t* name) {
  wchar_t value[1024] = {};
  return ::GetEnvironmentVariableW(name, value, 1024) ? value : L"";
}

std::wstring e2e::UnixToWindows(const std::wstring& path) {
  std::wstring p = path;
  for (auto& c : p) c = c == L'/' ? L'\\' : c;
  return L"Z:" + p;
}

namespace {
// Where the tests run at another density, this program measures in physical pixels like
// the program under test: its windows, the cursor and the screen agree with the program's.
const bool densityAware = !e2e::Env(L"LUMO_DPI").empty() &&
                          ::SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2) != FALSE;
}  // namespace
