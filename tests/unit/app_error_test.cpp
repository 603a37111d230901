#include "base/app_error.h"

#include <gtest/gtest.h>

// Positive numbers: the Startup tests read them off the real start-up error.
TEST(FatalMessage, LaysOutErrorNumberAndLineWithVbStyleSigns) {
  EXPECT_EQ(AppErrors::FormatFatalMessage(L"S", AppError{AppErrors::FirstObjectError, L"[C000000D] Error in X", 0}),
            L"S\r\n\r\nError: [C000000D] Error in X\r\nNumber: -2147221504\r\nLine:  0");
}
