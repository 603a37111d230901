#pragma once
// Shared by the benchmarks: start a program, time until its window shows, close it.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

inline std::wstring BesideMe(const wchar_t* name) {
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self);
  return path.substr(0, path.find_last_of(L'\\') + 1) + name;
}

struct FindVisible {
  DWORD pid;
  const wchar_t* className;
  HWND found = nullptr;
};

inline BOOL CALLBACK MatchVisible(HWND hwnd, LPARAM lParam) {
  auto* f = reinterpret_cast<FindVisible*>(lParam);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(hwnd, &pid);
  wchar_t cls[128] = {};
  ::GetClassNameW(hwnd, cls, 128);
  if (pid == f->pid && ::IsWindowVisible(hwnd) && wcscmp(cls, f->className) == 0) {
    f->found = hwnd;
    return FALSE;
  }
  return TRUE;
}

inline HWND FindVisibleWindow(DWORD pid, const wchar_t* className) {
  FindVisible f{pid, className};
  ::EnumWindows(MatchVisible, reinterpret_cast<LPARAM>(&f));
  return f.found;
}

// A started program; ending it asks its window to close, then kills it if it lingers.
struct Started {
  PROCESS_INFORMATION pi{};
  bool ok = false;
  Started(const std::wstring& exe, const std::wstring& args) {
    std::wstring cmd = L"\"" + exe + L"\" " + args;
    STARTUPINFOW si{sizeof si};
    ok = ::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi) != FALSE;
  }
  ~Started() {
    if (!ok) return;
    if (::WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 1);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
  }
  Started(const Started&) = delete;
  Started& operator=(const Started&) = delete;
  // The first visible window of that class, polled every millisecond up to the limit.
  HWND WaitForWindow(const wchar_t* className, int milliseconds) const {
    for (int i = 0; ok && i < milliseconds; ++i) {
      if (HWND w = FindVisibleWindow(pi.dwProcessId, className)) return w;
      ::Sleep(1);
    }
    return nullptr;
  }
};

// Milliseconds from CreateProcess to the first visible window of that class; closes the
// program afterwards. Negative when it did not show within 30 s.
// With end, the program is ended at once instead (a window that only hides on close).
inline double TimeToWindow(const std::wstring& exe, const std::wstring& args, const wchar_t* className,
                           bool end = false) {
  const auto start = std::chrono::steady_clock::now();
  Started program(exe, args);
  HWND window = program.WaitForWindow(className, 30000);
  if (!window) return -1;
  const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
  if (end) ::TerminateProcess(program.pi.hProcess, 0);
  else ::PostMessageW(window, WM_CLOSE, 0, 0);
  ::WaitForSingleObject(program.pi.hProcess, 10000);
  // What the ended program leaves to Wine's services (registry and clipboard flushes) is
  // let to finish, so that it does not fall on the next start measured.
  ::Sleep(250);
  return ms;
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace bench
