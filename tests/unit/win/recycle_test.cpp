// RecycleFile's refusals and the purge's refusal of folders that are not images folders.
#include <gtest/gtest.h>

#include <windows.h>

#include <filesystem>
#include <fstream>

#include "shell/modFileOps.h"
#include "unit/win/temp_folder.h"

TEST(RecycleFile, RefusesRelativeAndMissingPaths) {
  std::wstring error;
  EXPECT_FALSE(modFileOps::RecycleFile(L"images\\image1.bmp", error));
  EXPECT_EQ(error, L"'images\\image1.bmp' is not a fully qualified name on the local machine");
  EXPECT_FALSE(modFileOps::RecycleFile(L"C:\\no\\such\\file.bmp", error));
  EXPECT_EQ(error, L"'C:\\no\\such\\file.bmp' does not exist");
}

TEST(PurgeOldImages, LeavesEveryOtherFolderAlone) {
  TempFolder temp(L"lumo-purge-refused");
  const std::wstring file = temp.Path() + L"old.bmp";
  std::ofstream(std::filesystem::path(file)) << "x";
  FILETIME old{0, 0x01000000};  // the 1600s
  HANDLE h = ::CreateFileW(file.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ::SetFileTime(h, nullptr, nullptr, &old);
  ::CloseHandle(h);
  int16_t days = 0;
  EXPECT_EQ(modFileOps::PurgeOldImages(temp.Path(), days, false), 0);
  EXPECT_EQ(days, 90);  // days below 1 become 90 in the caller's variable too
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(file)));
  EXPECT_EQ(modFileOps::PurgeOldImages(L"", days, false), 0);
}
