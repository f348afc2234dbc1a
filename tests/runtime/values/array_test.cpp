#include "runtime/values/array.h"

#include <gtest/gtest.h>

#include "runtime/values/text.h"
#include "tests/support/expect_error.h"

namespace {

TEST(Array, DeclaredBoundsAreInclusive) {
    Array<Int16> a{120, 4};
    a(120, 4) = 7;
    EXPECT_EQ(a(120, 4), 7);
    EXPECT_EQ(a(0, 0), 0);
    EXPECT_RT_ERROR(a(121, 0), 9);
    EXPECT_RT_ERROR(a(0, 5), 9);
    EXPECT_RT_ERROR(a(-1, 0), 9);
    EXPECT_RT_ERROR(a(3), 5);  // wrong number of indices
}

TEST(Array, UsedBeforeDeclaredIsZeroToTen) {
    Array<Text> a;
    a(10) = "x";
    EXPECT_EQ(a(10), Text("x"));
    EXPECT_RT_ERROR(a(11), 9);
    Array<Single> b;
    b(10, 10) = 1.5f;
    EXPECT_RT_ERROR(b(0, 11), 9);
}

TEST(Array, DeclareTwiceEraseAndRedeclare) {
    Array<Int16> a{4};
    EXPECT_RT_ERROR(a.Declare({4}), 10);
    a(4) = 3;
    a.Erase();
    EXPECT_RT_ERROR(a.Erase(), 5);
    a.Declare({2});
    EXPECT_EQ(a(2), 0);  // a fresh declaration starts at zero
    Array<Int16> big;
    EXPECT_RT_ERROR(big.Declare({2147483647LL}), 5);
}

TEST(Array, FloatingIndicesRoundHalfAwayFromZero) {
    Array<Int16> a{10};
    a(2.5) = 1;  // index 3
    EXPECT_EQ(a(3), 1);
    EXPECT_RT_ERROR(a(10.5), 9);
}

// More than the memory there is: the program's out-of-memory error, and the array stays
// undeclared, so a smaller declaration still works afterwards.
TEST(Array, TooLargeToAllocateIsErrorSeven) {
#if defined(__SANITIZE_ADDRESS__)
    GTEST_SKIP() << "the address sanitizer's allocator ends the process instead of failing the allocation";
#endif
    Array<Text> a;
    EXPECT_RT_ERROR(a.Declare({1000000, 1000000, 1000}), 7);
    EXPECT_FALSE(a.allocated());
    a.Declare({3});
    EXPECT_EQ(a.upper(0), 3);
}

}  // namespace
