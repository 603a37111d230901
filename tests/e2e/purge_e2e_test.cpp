// The images folder purge at shutdown, on real files with real ages: old files go to the
// recycle bin (Wine's is the XDG trash) or for good, recent files and subfolders stay, and
// without switches nothing is purged.
#include <gtest/gtest.h>

#include <filesystem>

#include "e2e/driver.h"

using namespace e2e;
namespace fs = std::filesystem;

namespace {

void MakeFile(const std::wstring& path, int daysAgo) {
  WriteBytes(path, "picture");
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
  t.QuadPart -= static_cast<ULONGLONG>(daysAgo) * 24 * 3600 * 10000000ULL;
  const FILETIME then{t.LowPart, t.HighPart};
  HANDLE h = ::CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ::SetFileTime(h, nullptr, nullptr, &then);
  ::CloseHandle(h);
}

// Where Wine's recycle bin keeps files: $XDG_DATA_HOME/Trash/files, seen from Windows.
std::wstring TrashFolder() {
  wchar_t unix[MAX_PATH] = {};
  if (!::GetEnvironmentVariableW(L"XDG_DATA_HOME", unix, MAX_PATH)) return {};
  std::wstring path = L"Z:" + std::wstring(unix) + L"/Trash/files/";
  for (auto& c : path) c = c == L'/' ? L'\\' : c;
  return path;
}

class Purge : public ::testing::Test {
 protected:
  void SetUp() override {
    base_ = L"c:\\lumo-purge-" + std::to_wstring(::GetCurrentProcessId()) + L"\\";
    images_ = base_ + L"Mirel Lumo\\images\\";
    fs::remove_all(fs::path(base_));
    fs::create_directories(fs::path(images_ + L"sub"));
  }
  void TearDown() override {
    std::error_code ignored;
    fs::remove_all(fs::path(base_), ignored);
  }
  void RunAndClose(const std::wstring& args) {
    Program app(args);
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    ASSERT_TRUE(app.CloseAndWait());
  }
  std::wstring Folder() const { return base_.substr(0, base_.size() - 1); }
  std::wstring base_, images_;
};

}  // namespace

TEST_F(Purge, OldFilesGoToTheRecycleBinRecentOnesAndSubfoldersStay) {
  const std::wstring stamp = std::to_wstring(::GetTickCount64());
  const std::wstring oldName = L"old-" + stamp + L".bmp";
  MakeFile(images_ + oldName, 8);
  MakeFile(images_ + L"notes.txt", 9);  // any file type directly in the folder
  MakeFile(images_ + L"recent.bmp", 2);
  MakeFile(images_ + L"sub\\older.bmp", 30);
  RunAndClose(L"purgeimgage=5 saveimgsloc=" + Folder());
  EXPECT_FALSE(FileExists(images_ + oldName));
  EXPECT_FALSE(FileExists(images_ + L"notes.txt"));
  EXPECT_TRUE(FileExists(images_ + L"recent.bmp"));
  EXPECT_TRUE(FileExists(images_ + L"sub\\older.bmp"));
  const std::wstring trash = TrashFolder();
  ASSERT_FALSE(trash.empty()) << "XDG_DATA_HOME is not set";
  EXPECT_TRUE(FileExists(trash + oldName));
}

TEST_F(Purge, PurgeImgDeleteRemovesForGood) {
  const std::wstring oldName = L"gone-" + std::to_wstring(::GetTickCount64()) + L".bmp";
  MakeFile(images_ + oldName, 100);
  MakeFile(images_ + L"kept.bmp", 89);
  RunAndClose(L"purgeImgDelete=1 saveimgsloc=" + Folder());  // default age: 90 days
  EXPECT_FALSE(FileExists(images_ + oldName));
  EXPECT_TRUE(FileExists(images_ + L"kept.bmp"));
  const std::wstring trash = TrashFolder();
  if (!trash.empty()) {
    EXPECT_FALSE(FileExists(trash + oldName));
  }
}

TEST_F(Purge, NoSwitchesMeansNoPurge) {
  const std::wstring defaultImages = AppDataFolder() + L"\\Mirel Lumo\\images\\";
  fs::create_directories(fs::path(defaultImages));
  const std::wstring oldFile = defaultImages + L"ancient-" + std::to_wstring(::GetTickCount64()) + L".bmp";
  MakeFile(oldFile, 400);
  RunAndClose(L"");
  EXPECT_TRUE(FileExists(oldFile));
  ::DeleteFileW(oldFile.c_str());
}

TEST_F(Purge, PurgeImgsZeroTurnsItOff) {
  MakeFile(images_ + L"old.bmp", 400);
  RunAndClose(L"purgeimgs=0 saveimgsloc=" + Folder());
  EXPECT_TRUE(FileExists(images_ + L"old.bmp"));
}
