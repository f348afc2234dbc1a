#include "runtime/values/values.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <cmath>
#include <limits>

#include "tests/support/expect_error.h"

namespace {

TEST(RoundToInteger, HalfAwayFromZero) {
    EXPECT_EQ(RoundToInteger(2.5), 3);
    EXPECT_EQ(RoundToInteger(-2.5), -3);
    EXPECT_EQ(RoundToInteger(2.4999), 2);
    EXPECT_EQ(RoundToInteger(0.5), 1);
    EXPECT_EQ(RoundToInteger(-0.4), 0);
    EXPECT_EQ(RoundToInteger(2147483647.4), 2147483647);
    EXPECT_RT_ERROR(RoundToInteger(2147483647.5), 6);
    EXPECT_RT_ERROR(RoundToInteger(-2147483648.5), 6);
    EXPECT_RT_ERROR(RoundToInt16(32767.5), 6);
    EXPECT_EQ(RoundToInt16(-32768.4), -32768);
}

TEST(StoreInt16, TiesToEvenAndOverflow) {
    Int16 v = 2.5;
    EXPECT_EQ(v, 2);
    v = 3.5;
    EXPECT_EQ(v, 4);
    v = -2.5;
    EXPECT_EQ(v, -2);
    v = 1.5f * 103;  // a price factor times a resolution: 154.5 → 154
    EXPECT_EQ(v, 154);
    v = 32767.4;
    EXPECT_EQ(v, 32767);
    EXPECT_RT_ERROR(v = 32767.6, 6);
    EXPECT_RT_ERROR(v = -32768.6, 6);
    EXPECT_RT_ERROR(v = 40000, 6);
    EXPECT_EQ(v, 32767);  // a failed store leaves the variable as it was
}

TEST(StoreInt16, RoundsAsNearbyintAndLeavesNoFlagAcrossTheWholeRange) {
    const double edges[] = {0.5, 1.5, 32766.5, 32767.5, 32768.5, 65535.5, 65536.0, 65536.5, 65537.0,
                            2147483647.5, 2147483648.5, 9.3e18, 1e300, INFINITY};
    for (double edge : edges) {
        for (double x : {edge, -edge, std::nextafter(edge, 0.0), -std::nextafter(edge, 0.0),
                         std::nextafter(edge, INFINITY), -std::nextafter(edge, INFINITY)}) {
            std::feclearexcept(FE_ALL_EXCEPT);
            const double expected = std::nearbyint(x);
            Int16 v = 7;
            if (expected >= -32768 && expected <= 32767) {
                v = x;
                EXPECT_EQ(v, expected) << x;
            } else {
                SCOPED_TRACE(x);
                EXPECT_RT_ERROR(v = x, 6);
            }
            EXPECT_EQ(std::fetestexcept(FE_INVALID | FE_OVERFLOW), 0) << x;
        }
    }
}

TEST(StoreInt16, IncrementPastTheTopIsAnOverflow) {
    Int16 v = 32766;
    ++v;
    EXPECT_EQ(v, 32767);
    EXPECT_RT_ERROR(++v, 6);
    Int16 w = -32768;
    EXPECT_RT_ERROR(--w, 6);
}

TEST(IntDiv, RoundsOperandsThenTruncates) {
    EXPECT_EQ(IntDiv(7, 2), 3);
    EXPECT_EQ(IntDiv(-7, 2), -3);
    EXPECT_EQ(IntDiv(1400, 2), 700);
    EXPECT_EQ(IntDiv(7.5, 2), 4);    // 7.5 → 8
    EXPECT_EQ(IntDiv(7, 2.5), 2);    // 2.5 → 3
    EXPECT_EQ(IntDiv(22400, 20), 1120);
    EXPECT_RT_ERROR(IntDiv(5, 0), 11);
    EXPECT_RT_ERROR(IntDiv(5, 0.4), 11);  // 0.4 rounds to a zero divisor
    EXPECT_RT_ERROR(IntDiv(-2147483648.0, -1), 6);
}

TEST(CheckedInt32, OverflowIsError6) {
    EXPECT_EQ(CheckedAdd(2147483646, 1), 2147483647);
    EXPECT_RT_ERROR(CheckedAdd(2147483647, 1), 6);
    EXPECT_RT_ERROR(CheckedSub(-2147483647 - 1, 1), 6);
    EXPECT_RT_ERROR(CheckedMul(65536, 65536), 6);
}

TEST(FloatChecks, ExceptionFlagsBecomeErrors) {
    std::feclearexcept(FE_ALL_EXCEPT);
    volatile double zero = 0;
    volatile double r = 1.0 / zero;
    (void)r;
    EXPECT_RT_ERROR(CheckFloatFlags(), 11);
    volatile double inv = zero / zero;
    (void)inv;
    EXPECT_RT_ERROR(CheckFloatFlags(), 5);
    volatile double big = 1e308;
    volatile double o = big * 10;
    (void)o;
    EXPECT_RT_ERROR(CheckFloatFlags(), 6);
    CheckFloatFlags();  // cleared after each report
    EXPECT_RT_ERROR(StoreSingle(1e39), 6);
    EXPECT_FLOAT_EQ(StoreSingle(0.1), 0.1f);
    EXPECT_EQ(FloorValue(-2.5), -3);
    EXPECT_EQ(FloorValue(2.5), 2);
}

}  // namespace
