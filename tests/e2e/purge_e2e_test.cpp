// The images folder purge at shutdown, on real files with real ages.
#include <gtest/gtest.h>

#include <algorithm>

#include "e2e/driver.h"

using namespace e2e;

namespace {

void MakeFile(const std::wstring& path, int daysAgo) {  // with the folders on its way
  WriteBytes(path, "picture");
  testfiles::SetAgeDays(path, daysAgo);
}

// Where Wine's recycle bin keeps files: $XDG_DATA_HOME/Trash/files, seen from Windows.
std::wstring TrashFolder() {
  const std::wstring data = Env(L"XDG_DATA_HOME");
  return data.empty() ? data : UnixToWindows(data + L"/Trash/files/");
}

class Purge : public ::testing::Test {
 protected:
  void RunAndClose(const std::wstring& args) {
    Program app(args);
    ASSERT_NE(app.WaitForMainWindow(), nullptr);
    ASSERT_TRUE(app.CloseAndWait());
  }
  TempFolder folder_{L"lumo-purge", L"c:\\", L"Mirel Lumo\\images\\sub"};
  const std::wstring images_ = folder_.Images();
};

}  // namespace

TEST_F(Purge, OldFilesGoToTheRecycleBinRecentOnesAndSubfoldersStay) {
  const std::wstring oldName = L"old-" + std::to_wstring(::GetTickCount64()) + L".bmp";
  MakeFile(images_ + oldName, 8);
  MakeFile(images_ + L"notes.txt", 9);  // any file type directly in the folder
  MakeFile(images_ + L"recent.bmp", 2);
  MakeFile(images_ + L"sub\\older.bmp", 30);
  RunAndClose(L"purgeimgage=5 saveimgsloc=" + folder_.Location());
  EXPECT_FALSE(FileExists(images_ + oldName) || FileExists(images_ + L"notes.txt"));
  EXPECT_TRUE(FileExists(images_ + L"recent.bmp") && FileExists(images_ + L"sub\\older.bmp"));
  const std::wstring trash = TrashFolder();
  ASSERT_FALSE(trash.empty()) << "XDG_DATA_HOME is not set";
  EXPECT_TRUE(FileExists(trash + oldName));
}

TEST_F(Purge, PurgeImgDeleteRemovesForGood) {
  const std::wstring oldName = L"gone-" + std::to_wstring(::GetTickCount64()) + L".bmp";
  MakeFile(images_ + oldName, 100);
  MakeFile(images_ + L"kept.bmp", 89);
  // The folder given with "/": the purge treats it as written with "\\".
  std::wstring forward = folder_.Location();
  std::replace(forward.begin(), forward.end(), L'\\', L'/');
  RunAndClose(L"purgeImgDelete=1 saveimgsloc=" + forward + L"/");  // default age: 90 days
  EXPECT_TRUE(!FileExists(images_ + oldName) && FileExists(images_ + L"kept.bmp"));
  EXPECT_FALSE(!TrashFolder().empty() && FileExists(TrashFolder() + oldName));
}

TEST_F(Purge, NoSwitchesMeansNoPurge) {
  const std::wstring oldFile =
      AppDataFolder() + L"\\Mirel Lumo\\images\\ancient-" + std::to_wstring(::GetTickCount64()) + L".bmp";
  MakeFile(oldFile, 400);
  RunAndClose(L"");
  EXPECT_TRUE(FileExists(oldFile));
  ::DeleteFileW(oldFile.c_str());
}
