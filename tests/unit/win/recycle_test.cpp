// RecycleFile's refusals and the purge's refusal of folders that are not images folders.
#include <gtest/gtest.h>

#include <filesystem>

#include "shell/modFileOps.h"
#include "support/files.h"
#include "support/temp_folder.h"

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
  testfiles::WriteBytes(file, "x");
  testfiles::SetAgeDays(file, 400);  // it would go from an images folder
  int16_t days = 0;
  EXPECT_EQ(modFileOps::PurgeOldImages(temp.Path(), days, false), 0);
  EXPECT_EQ(days, 90);  // days below 1 become 90 in the caller's variable too
  EXPECT_TRUE(std::filesystem::exists(std::filesystem::path(file)));
  EXPECT_EQ(modFileOps::PurgeOldImages(L"", days, false), 0);
}
