#pragma once
// A folder of the test's own under %TEMP%, removed with everything in it afterwards.
#include <windows.h>

#include <filesystem>
#include <string>

class TempFolder {
 public:
  explicit TempFolder(const wchar_t* name) {
    wchar_t temp[MAX_PATH];
    ::GetTempPathW(MAX_PATH, temp);
    path_ = std::wstring(temp) + name + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    // Process ids come round again: whatever an earlier, killed run left goes first.
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(path_), ignored);
    std::filesystem::create_directories(std::filesystem::path(path_));
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(path_), ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& Path() const { return path_; }  // ends in a backslash

 private:
  std::wstring path_;
};
