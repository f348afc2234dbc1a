// What an edit box accepts from the user: the byte limit, digits only, code page 932.
#include <gtest/gtest.h>

#include "runtime/qt/qt_widgets.h"
#include "tests/qt/qt_test_support.h"

namespace rt::qt {
namespace {

using kvtest::Q;

struct InputCase {
    const char8_t* before;
    const char8_t* after;
    InputRules rules;
    const char8_t* expected;  // nullptr: refused
    int caret;
};

class AcceptsInput : public ::testing::TestWithParam<InputCase> {};

TEST_P(AcceptsInput, AsTheOriginalEditBox) {
    const InputCase& c = GetParam();
    const auto accepted = AcceptInput(Q(c.before), Q(c.after), c.rules);
    if (!c.expected) {
        EXPECT_FALSE(accepted.has_value());
        return;
    }
    ASSERT_TRUE(accepted.has_value());
    EXPECT_EQ(accepted->text, Q(c.expected));
    EXPECT_EQ(accepted->insertEnd, c.caret);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AcceptsInput,
    ::testing::Values(
        // Digits-only boxes (ES_NUMBER)
        InputCase{u8"12", u8"123", {0, true}, u8"123", 3},
        InputCase{u8"12", u8"12a", {0, true}, nullptr, 0},
        InputCase{u8"12", u8"1２2", {0, true}, nullptr, 0},  // full-width digits are not digits
        // A text the program put there does not stop the user from typing digits.
        InputCase{u8"abc", u8"abc1", {0, true}, u8"abc1", 4},
        // Byte limits: a full-width character takes two bytes.
        InputCase{u8"12345", u8"123456", {6, true}, u8"123456", 6},
        InputCase{u8"123456", u8"1234567", {6, true}, nullptr, 0},
        InputCase{u8"ああ", u8"あああ", {5, false}, nullptr, 0},
        InputCase{u8"ああ", u8"ああa", {5, false}, u8"ああa", 3},
        // A paste is cut to what fits, never in the middle of a character.
        InputCase{u8"ab", u8"aXYZb", {4, false}, u8"aXYb", 3},
        InputCase{u8"a", u8"aあい", {4, false}, u8"aあ", 2},
        // Deleting is fine even above the limit (the program's text may be longer).
        InputCase{u8"1234567", u8"123456", {3, false}, u8"123456", 6},
        // Characters code page 932 lacks are refused, the yen sign is not.
        InputCase{u8"a", u8"a€", {0, false}, nullptr, 0},
        InputCase{u8"a", u8"a😀", {0, false}, nullptr, 0},
        InputCase{u8"a", u8"a¥", {0, false}, u8"a¥", 2}));

TEST(AcceptsInput, MultiLineBoxesCountLineBreaksAsTwoBytes) {
    const auto accepted = AcceptInput(QStringLiteral("ab"), QStringLiteral("ab\n"), {3, false}, LineEnds::CrLf);
    EXPECT_FALSE(accepted.has_value());
    EXPECT_TRUE(AcceptInput(QStringLiteral("ab"), QStringLiteral("ab\n"), {4, true}, LineEnds::CrLf).has_value());
}

}  // namespace
}  // namespace rt::qt
