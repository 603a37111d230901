#pragma once
// A folder of the test's own, removed with everything in it afterwards.
#include <windows.h>

#include <filesystem>
#include <string>

class TempFolder {
 public:
  // <name>-<process id> in the parent folder (%TEMP% when none), with the folder `inside` it.
  explicit TempFolder(const wchar_t* name, std::wstring parent = L"", const wchar_t* inside = L"") {
    if (parent.empty()) {
      wchar_t temp[MAX_PATH];
      ::GetTempPathW(MAX_PATH, temp);
      parent = temp;
    }
    path_ = parent + name + L"-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    // Process ids come round again: whatever an earlier, killed run left goes first.
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(path_), ignored);
    std::filesystem::create_directories(std::filesystem::path(path_ + inside));
  }
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(std::filesystem::path(path_), ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const std::wstring& Path() const { return path_; }  // ends in a backslash
  // The folder as the program takes it ("saveimgsloc=..."), and the images folder it keeps there.
  std::wstring Location() const { return path_.substr(0, path_.size() - 1); }
  std::wstring Images() const { return path_ + L"Mirel Lumo\\images\\"; }

 private:
  std::wstring path_;
};
