#pragma once
// Whole files as bytes, file counts and file ages.
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace testfiles {

inline std::string ReadBytes(const std::wstring& path) {  // "" when missing
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return {std::istreambuf_iterator<char>(in), {}};
}

// Makes the folders on the way as needed.
inline void WriteBytes(const std::wstring& path, const std::string& bytes) {
  std::error_code ignored;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ignored);
  std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

// The files (not folders) right in the folder.
inline size_t FileCount(const std::wstring& folder) {
  size_t n = 0;
  for (const auto& e : std::filesystem::directory_iterator(std::filesystem::path(folder))) n += !e.is_directory();
  return n;
}

// Dates the file's last write that many days back from now.
inline void SetAgeDays(const std::wstring& path, int days) {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
  t.QuadPart -= static_cast<ULONGLONG>(days) * 24 * 3600 * 10000000ULL;
  const FILETIME then{t.LowPart, t.HighPart};
  HANDLE h = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ::SetFileTime(h, nullptr, nullptr, &then);
  ::CloseHandle(h);
}

}  // namespace testfiles
