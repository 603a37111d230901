#include "shell/app_error.h"

#include <gtest/gtest.h>

TEST(FatalMessage, LaysOutErrorNumberAndLineWithVbStyleSigns) {
  EXPECT_EQ(AppErrors::FormatFatalMessage(L"It failed", AppError{6, L"Overflow", 3}),
            L"It failed\r\n\r\nError: Overflow\r\nNumber:  6\r\nLine:  3");
  EXPECT_EQ(AppErrors::FormatFatalMessage(L"S", AppError{AppErrors::FirstObjectError, L"[C000000D] Error in X", 0}),
            L"S\r\n\r\nError: [C000000D] Error in X\r\nNumber: -2147221504\r\nLine:  0");
}
