#include "app/fee/amount_text.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/fee/order_model.h"

namespace {

struct GroupingCase {
    const char* in;
    const char* out;
};

class FullWidthGrouping : public testing::TestWithParam<GroupingCase> {};

TEST_P(FullWidthGrouping, GroupsCharactersByThreeFromTheRight) {
    Text s = GetParam().in;
    全角数字化_SUB(s);
    EXPECT_EQ(s, Text(GetParam().out)) << GetParam().in;
}

INSTANTIATE_TEST_SUITE_P(
    NumberTexts, FullWidthGrouping,
    testing::Values(GroupingCase{"", ""}, GroupingCase{"0", "０"}, GroupingCase{"100", "１００"},
                    GroupingCase{"1400", "１,４００"}, GroupingCase{"22400", "２２,４００"},
                    GroupingCase{"123456", "１２３,４５６"}, GroupingCase{"1234567", "１,２３４,５６７"},
                    // characters are counted, not digits
                    GroupingCase{"12.5", "１,２．５"}, GroupingCase{"1E+06", "１Ｅ,＋０６"},
                    GroupingCase{"１２３４", "１,２３４"}));

struct AmountCase {
    float amount;
    const char* digits;
    const char* fullWidthYen;
};

class AmountTexts : public testing::TestWithParam<AmountCase> {};

TEST_P(AmountTexts, ShowEveryWholeYen) {
    const AmountCase& c = GetParam();
    EXPECT_EQ(AmountDigits(c.amount), Text(c.digits));
    EXPECT_EQ(PlainYen(c.amount), Text(c.digits) + "円");
    EXPECT_EQ(FullWidthYen(c.amount), Text(c.fullWidthYen));
}

INSTANTIATE_TEST_SUITE_P(
    Amounts, AmountTexts,
    testing::Values(AmountCase{0, "0", "０円"}, AmountCase{3000, "3000", "３,０００円"},
                    AmountCase{22400, "22400", "２２,４００円"}, AmountCase{12.5f, "12.5", "１,２．５円"},
                    AmountCase{0.5f, ".5", "．５円"}, AmountCase{123456.7f, "123457", "１２３,４５７円"},
                    AmountCase{999999, "999999", "９９９,９９９円"},
                    AmountCase{999999.5f, "1000000", "１,０００,０００円"},
                    AmountCase{1000000, "1000000", "１,０００,０００円"},
                    AmountCase{1234567, "1234567", "１,２３４,５６７円"},
                    AmountCase{1234567.5f, "1234568", "１,２３４,５６８円"},
                    AmountCase{16777216, "16777216", "１６,７７７,２１６円"},
                    // the sign position is dropped
                    AmountCase{-1400, "1400", "１,４００円"}, AmountCase{-1234567, "1234567", "１,２３４,５６７円"}));

TEST(AmountTexts, TheSignedFormKeepsTheSignPosition) {
    EXPECT_EQ(SignedAmountText(5), Text(" 5"));
    EXPECT_EQ(SignedAmountText(-0.5f), Text("-.5"));
    EXPECT_EQ(SignedAmountText(1234567), Text(" 1234567"));
    EXPECT_EQ(SignedAmountText(-1234567), Text("-1234567"));
}

struct AlignCase {
    int mode;
    std::vector<const char*> lines, aligned;
};

class AlignLines : public testing::TestWithParam<AlignCase> {
protected:
    void SetUp() override { ResetOrderModel(); }
};

TEST_P(AlignLines, PadsEveryLineToTheWidestInBytes) {
    const AlignCase& c = GetParam();
    Int16 n = static_cast<int>(c.lines.size());
    for (int i = 1; i <= n; ++i) DOC_LINE(i) = c.lines[i - 1];
    DOC_LINE(n + 1) = "untouched";
    Int16 mode = c.mode;
    文字列整理_SUB(mode, n);
    const size_t width = std::string(c.aligned[0]).size();
    EXPECT_EQ(DOC_LINE(0), Text(std::string(width, ' ')));
    for (int i = 1; i <= n; ++i) EXPECT_EQ(DOC_LINE(i), Text(c.aligned[i - 1])) << "line " << i;
    EXPECT_EQ(DOC_LINE(n + 1), Text("untouched"));
}

INSTANTIATE_TEST_SUITE_P(
    Modes, AlignLines,
    testing::Values(AlignCase{2, {"7", "1400"}, {"   7", "1400"}}, AlignCase{0, {"7", "1400"}, {"7   ", "1400"}},
                    AlignCase{1, {"7", "1400"}, {" 7  ", "1400"}}, AlignCase{1, {"ab", "12345"}, {" ab  ", "12345"}},
                    AlignCase{7, {"7", "1400"}, {"   7", "1400"}},  // any other mode aligns right
                    AlignCase{2, {"", "12"}, {"  ", "12"}},
                    // full-width characters take two bytes each
                    AlignCase{2, {"7", "コミック"}, {"       7", "コミック"}},
                    AlignCase{1, {"同人誌", "7"}, {"同人誌", "  7   "}}));

TEST(AlignLines, NoLinesOrOnlyEmptyLinesChangeNothing) {
    for (int count : {0, -1, 3}) {
        ResetOrderModel();
        DOC_LINE(0) = "line zero";
        Int16 mode = 2, n = count;
        文字列整理_SUB(mode, n);
        EXPECT_EQ(DOC_LINE(0), Text("line zero")) << "n = " << count;
        for (int i = 1; i <= 3; ++i) EXPECT_EQ(DOC_LINE(i), Text()) << "n = " << count;
    }
}

}  // namespace
