#include "app/fee/order_model.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/expect_error.h"

namespace {

class StartUp : public testing::TestWithParam<std::pair<const char*, int>> {
protected:
    void SetUp() override { ResetOrderModel(); }
    void TearDown() override { unsetenv("KALVORO_TODAY"); }
};

TEST_P(StartUp, OpensTheSpecialWindowInJanuaryAndMayOnly) {
    setenv("KALVORO_TODAY", GetParam().first, 1);
    起動_SUB();
    EXPECT_EQ(SPECIAL_PERIOD, GetParam().second) << GetParam().first;
}

INSTANTIATE_TEST_SUITE_P(WindowEdges, StartUp,
                         testing::Values(std::pair{"2027-01-01", 1}, std::pair{"2027-01-31", 1},
                                         std::pair{"2027-02-01", 0}, std::pair{"2027-04-30", 0},
                                         std::pair{"2027-05-01", 1}, std::pair{"2027-05-31", 1},
                                         std::pair{"2027-06-01", 0}, std::pair{"2026-12-31", 0}));

TEST(StartUpValues, DateFieldsPresetsAndLimits) {
    ResetOrderModel();
    setenv("KALVORO_TODAY", "2026-12-07", 1);
    起動_SUB();
    unsetenv("KALVORO_TODAY");
    EXPECT_EQ(TODAY_DATE, Text("2026/12/07"));
    EXPECT_EQ(TODAY_YEAR, Text("2026"));
    EXPECT_EQ(TODAY_MONTH, Text("12"));
    EXPECT_EQ(TODAY_DAY, Text("07"));
    EXPECT_EQ(TODAY_MMDD, 1207);
    EXPECT_EQ(DPI_PRESET_HIGH, 156);
    EXPECT_EQ(DPI_PRESET_LOW, 120);
    const int limits[] = {20, 60, 6, 6, 5};
    for (int k = 0; k < kKindCount; ++k) EXPECT_EQ(MAX_TITLES(k), limits[k]) << k;
}

TEST(StartUpValues, TheDecisionIsTakenOnceAndKept) {
    ResetOrderModel();
    setenv("KALVORO_TODAY", "2027-01-31", 1);
    起動_SUB();
    setenv("KALVORO_TODAY", "2027-02-01", 1);  // the run goes on past midnight
    EXPECT_EQ(SPECIAL_PERIOD, 1);
    unsetenv("KALVORO_TODAY");
}

struct ResetCase {
    int kind;
    int bookType, course, dpi;
};
class ResetSlot : public testing::TestWithParam<ResetCase> {};

TEST_P(ResetSlot, StartsANewTitleWithTheKindsDefaults) {
    ResetOrderModel();
    起動_SUB();
    const ResetCase& c = GetParam();
    CUR_KIND = c.kind;
    CUR_TITLE = 3;
    TITLE_NAME(3, c.kind) = "old";
    TITLE_TOTAL(3, c.kind) = 1400;
    COMPENSATION_AMOUNT(3, c.kind) = 1400;
    COMPENSATE_FLAG(3, c.kind) = 1;
    LIST_PRICE(3, c.kind) = 900;
    PAGE_COUNT(3, c.kind) = 70;
    OPT_WORKS(3, c.kind) = OPT_NO_MOIRE(3, c.kind) = OPT_NO_SPREAD(3, c.kind) = OPT_TRIM(3, c.kind) = 1;
    GIFT_FLAG(3, c.kind) = 1;
    変数_RESETSUB();
    EXPECT_EQ(TITLE_NAME(3, c.kind), Text());
    EXPECT_EQ(TITLE_TOTAL(3, c.kind), 0);
    EXPECT_EQ(COMPENSATION_AMOUNT(3, c.kind), 0);
    EXPECT_EQ(COMPENSATE_FLAG(3, c.kind), 0);
    EXPECT_EQ(LIST_PRICE(3, c.kind), 0);
    EXPECT_EQ(PAGE_COUNT(3, c.kind), 0);
    EXPECT_EQ(BOOK_TYPE(3, c.kind), c.bookType);
    EXPECT_EQ(COURSE(3, c.kind), c.course);
    EXPECT_EQ(OPT_WORKS(3, c.kind) + OPT_NO_MOIRE(3, c.kind) + OPT_NO_SPREAD(3, c.kind) + OPT_TRIM(3, c.kind), 0);
    EXPECT_EQ(TITLE_DPI(3, c.kind), c.dpi);
    EXPECT_EQ(GIFT_FLAG(3, c.kind), 0);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, ResetSlot,
                         testing::Values(ResetCase{0, 1, 3, 156}, ResetCase{1, 1, 3, 120}, ResetCase{2, 0, 2, 120},
                                         ResetCase{3, 0, 2, 156}, ResetCase{4, 0, 3, 156}));

TEST(OrderModel, BoundsOfThePerTitleArrays) {
    ResetOrderModel();
    TITLE_NAME(120, 4) = "last";
    EXPECT_RT_ERROR(TITLE_NAME(121, 0), 9);
    EXPECT_RT_ERROR(KIND_SUBTOTAL(5), 9);
    COUPON_NO(10) = "x";
    EXPECT_RT_ERROR(COUPON_NO(11), 9);
    DOC_LINE(250) = "x";
    EXPECT_RT_ERROR(DOC_LINE(251), 9);
    ResetOrderModel();
    EXPECT_EQ(TITLE_NAME(120, 4), Text());
}

TEST(OrderModel, KindNames) {
    EXPECT_EQ(KindName(0), Text("コミック"));
    EXPECT_EQ(KindName(4), Text("写真集・資料集等"));
    EXPECT_EQ(KindName(5), Text());
}

}  // namespace
