#pragma once
// Drives the real MirelLumo.exe from a test: starts it, finds its windows with bounded waits,
// answers its message boxes, closes or kills it. Only processes started here are ever ended.
#include <windows.h>

#include <chrono>
#include <initializer_list>
#include <string>
#include <vector>

#include "support/files.h"
#include "support/temp_folder.h"
#include "win/dib.h"
#include "win/handles.h"

namespace e2e {

using namespace std::chrono_literals;
using Duration = std::chrono::milliseconds;

std::wstring ExePath();        // MirelLumo.exe beside the test program
std::wstring AppDataFolder();  // the per-user roaming folder
std::wstring ConfigFile();     // AppData\Mirel Lumo\config\config.ini
using testfiles::ReadBytes, testfiles::WriteBytes;
bool FileExists(const std::wstring& path);
std::wstring Env(const wchar_t* name);                // "" when not set
std::wstring UnixToWindows(const std::wstring& path);  // a path of the machine under Wine's Z: drive
// No Run entry stays behind a test: Wine would start the program from it with its services.
void DeleteRunEntry();
// Points Wine's hand-off of addresses ("Browsers" or "Mailers") at the recorder scripts/test
// sets up and empties the recorder's log: the log's path, "" without a recorder.
std::wstring RecordUrls(const wchar_t* kind);

class Program {
 public:
  explicit Program(const std::wstring& args);
  ~Program() { Kill(); }  // kills the process if it still runs (and it is never copied: it owns the process)

  DWORD Pid() const { return pid_; }
  HANDLE Process() const { return process_.get(); }
  bool Running() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT; }
  // The visible top-level window of this process with that class (or title), or nullptr.
  HWND WaitForWindow(const wchar_t* className, const wchar_t* title, Duration timeout) const;
  HWND WaitForMainWindow(Duration timeout = 20s) const { return WaitForWindow(L"MirelLumo.frmMain", nullptr, timeout); }
  HWND WaitForMessageBox(const wchar_t* title, Duration t = 20s) const { return WaitForWindow(L"#32770", title, t); }
  // The text of the next message box with that title ("(no message)": none) once OK has closed it.
  std::wstring DismissMessageBox(const wchar_t* title, Duration timeout = 20s) const;
  // Asks the main window to close and waits for the process to end: whether it did in time.
  bool CloseAndWait(Duration timeout = 20s);
  bool WaitForExit(Duration timeout) const {
    return ::WaitForSingleObject(process_.get(), static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
  }
  void Kill();

 private:
  win::unique_handle process_;
  DWORD pid_ = 0;
};

// The first window below root (at any depth) of that class (any: nullptr) and control id (any: 0).
HWND Descendant(HWND root, const wchar_t* cls, int id = 0);
RECT ScreenRect(HWND window);
// A window's text asked of its process (an edit control's as typed), a control's, a message box's.
std::wstring WindowText(HWND window);
std::wstring ItemText(HWND dialog, int id);
std::wstring MessageBoxText(HWND box);
void PressOk(HWND box);

// Input as a person gives it; every wait below keeps this thread's own windows answering.
void PumpFor(Duration time);
void MoveMouse(int x, int y);
void MouseButton(DWORD flags);  // MOUSEEVENTF_LEFTDOWN, ...
void Drag(POINT from, POINT to);
void ClickAt(POINT at);
void Click(HWND control);  // its middle
// Presses the keys in order and releases them in reverse (Ctrl+Z: {VK_CONTROL, 'Z'}).
void KeyChord(std::initializer_list<WORD> keys);
// The screen's pixels in the rectangle and a bitmap's, rows top to bottom, as COLORREF values,
// and how many of two such lists differ (all when the sizes do).
std::vector<COLORREF> ScreenPixels(const RECT& area);
std::vector<COLORREF> Colours(const win::DibSection& dib);
int Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b);

// Polls a condition every few milliseconds until it holds or the time is up.
template <class Condition>
bool WaitUntil(Condition condition, Duration timeout) {
  for (const auto end = std::chrono::steady_clock::now() + timeout;; ::Sleep(15)) {
    if (condition()) return true;
    if (std::chrono::steady_clock::now() >= end) return false;
  }
}

}  // namespace e2e
