#include "shell/purge_rules.h"

#include <gtest/gtest.h>

using namespace modFileOps;

TEST(PurgeAge, CountsCalendarDayBoundaries) {
  EXPECT_EQ(AgeInDays({2026, 12, 5}, {2026, 12, 6}), 1);  // yesterday 23:59 is 1 at 00:01 today
  EXPECT_EQ(AgeInDays({2026, 12, 6}, {2026, 12, 6}), 0);
  EXPECT_EQ(AgeInDays({2026, 9, 7}, {2026, 12, 6}), 90);  // stays with the default
  EXPECT_EQ(AgeInDays({2026, 9, 6}, {2026, 12, 6}), 91);  // goes
  EXPECT_EQ(AgeInDays({2024, 2, 28}, {2024, 3, 1}), 2);   // leap year
  EXPECT_EQ(AgeInDays({2025, 12, 31}, {2026, 1, 1}), 1);
  EXPECT_EQ(AgeInDays({2026, 12, 7}, {2026, 12, 6}), -1);  // from the future: never old
}

TEST(PurgeAge, AFileWhoseDateCannotBeReadIsKept) {
  EXPECT_FALSE(IsTooOld(std::nullopt, {2026, 12, 6}, 1));
  EXPECT_TRUE(IsTooOld(CivilDate{1970, 1, 1}, {2026, 12, 6}, 90));
  EXPECT_FALSE(IsTooOld(CivilDate{2026, 9, 7}, {2026, 12, 6}, 90));
}

TEST(PurgeFolder, OnlyAnImagesFolderOfTheProgramIsTouched) {
  EXPECT_TRUE(IsPurgeableFolder(L"C:\\Users\\ann\\AppData\\Roaming\\Mirel Lumo\\images\\"));
  EXPECT_TRUE(IsPurgeableFolder(L"d:\\shots\\mirel lumo\\IMAGES\\"));
  EXPECT_TRUE(IsPurgeableFolder(L"\\\\server\\share\\Mirel Lumo\\images\\"));
  EXPECT_TRUE(IsPurgeableFolder(L"c:/shots\\Mirel Lumo\\images\\"));  // "/" is a separator too
  EXPECT_TRUE(IsPurgeableFolder(L"//server/share/Mirel Lumo/images/"));
  for (const wchar_t* refused : {L"", L"C:\\", L"C:\\Windows\\", L"\\Mirel Lumo\\images\\", L"Mirel Lumo\\images\\",
        L"shots\\Mirel Lumo\\images\\", L"C:\\Mirel Lumo\\images", L"C:\\Mirel Lumo\\images\\old\\",
        L"C:\\x\\..\\Mirel Lumo\\images\\", L"C:/x/../Mirel Lumo/images/", L"C:\\Users\\ann\\Documents\\"})
    EXPECT_FALSE(IsPurgeableFolder(refused)) << static_cast<int>(std::wstring(refused).size());
}
