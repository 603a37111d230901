#include "base/numbers.h"

#include <gtest/gtest.h>

#include <cmath>

using numbers::ParseDecimal;

TEST(Numbers, OrdinaryDecimalNotationWithBlanksAround) {
  for (auto [text, value] : {std::pair{L"42", 42.0}, {L"  -7 ", -7.0}, {L"+3", 3.0}, {L"2.5", 2.5}, {L".5", 0.5},
                             {L"5.", 5.0}, {L"1E3", 1000.0}, {L"0007", 7.0}, {L"2.5e-1", 0.25}, {L"1e-400", 0.0}})
    EXPECT_EQ(ParseDecimal(text), value) << text;
}

TEST(Numbers, AnythingElseIsNotANumber) {
  for (const wchar_t* s : {L"", L"  ", L"-", L".", L"e3", L"1e", L"1e+", L"1 2", L"12a", L"0x10",
                           L"\u0661", L"1,5", L"--1", L"_old", L"foo12", L"inf", L"nan"})
    EXPECT_FALSE(ParseDecimal(s).has_value()) << static_cast<int>(s[0]);
}

TEST(Numbers, RoundsHalfToEvenWithinSixteenBits) {
  for (auto [value, rounded] : {std::pair{0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {2.51, 3}, {32767.4, 32767},
                                {-32768.5, -32768}})
    EXPECT_EQ(numbers::RoundToInt16(value), rounded) << value;
  EXPECT_FALSE(numbers::RoundToInt16(32767.5) || numbers::RoundToInt16(-32769));
  EXPECT_EQ(numbers::RoundToInt32(2147483647.4), 2147483647);
  EXPECT_FALSE(numbers::RoundToInt32(2147483647.5) || numbers::RoundToInt32(HUGE_VAL));
}
