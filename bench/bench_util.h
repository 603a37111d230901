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

// Milliseconds from CreateProcess to the first visible window of that class; closes the
// program afterwards. Negative when it did not show within 30 s.
inline double TimeToWindow(const std::wstring& exe, const std::wstring& args, const wchar_t* className) {
  std::wstring cmd = L"\"" + exe + L"\" " + args;
  STARTUPINFOW si{sizeof si};
  PROCESS_INFORMATION pi{};
  const auto start = std::chrono::steady_clock::now();
  if (!::CreateProcessW(nullptr, cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return -1;
  FindVisible f{pi.dwProcessId, className};
  double ms = -1;
  while (std::chrono::steady_clock::now() - start < std::chrono::seconds(30)) {
    ::EnumWindows(MatchVisible, reinterpret_cast<LPARAM>(&f));
    if (f.found) {
      ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
      break;
    }
    ::Sleep(1);
  }
  if (f.found) ::PostMessageW(f.found, WM_CLOSE, 0, 0);
  if (::WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) ::TerminateProcess(pi.hProcess, 1);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
  return ms;
}

inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

}  // namespace bench
