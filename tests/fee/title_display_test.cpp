// The figures of the title entry screen (FORM3) on the headless back end: typed texts in,
// full-width figures out.
#include "app/fee/title_display.h"

#include <gtest/gtest.h>

#include "app/fee/order_model.h"
#include "app/forms/controls.h"
#include "runtime/backends/headless.h"
#include "tests/support/expect_error.h"
#include "tests/support/real_forms.h"

namespace {

using TypedFigures = RealForms;

struct TypedCase {
    int kind, bookType, course;
    const char *price, *pages;
    int storedPages;
    const char *refPrice, *cut, *scan, *scanAndRebind, *basic;
};

class BasicAmountShown : public TypedFigures, public testing::WithParamInterface<TypedCase> {};

TEST_P(BasicAmountShown, TakesThePriceAndPagesAndShowsThePrices) {
    const TypedCase& c = GetParam();
    CUR_KIND = c.kind;
    CUR_TITLE = 4;
    BOOK_TYPE(4, c.kind) = c.bookType;
    COURSE(4, c.kind) = c.course;
    SetText(EDIT2, c.price);
    SetText(EDIT3, c.pages);
    基本金額表示_SUB();
    EXPECT_EQ(PAGE_COUNT(4, c.kind), c.storedPages);
    EXPECT_EQ(GetText(TEXT21), Text(c.refPrice));
    EXPECT_EQ(GetText(TEXT25), Text(c.cut));
    EXPECT_EQ(GetText(TEXT27), Text(c.scan));
    EXPECT_EQ(GetText(TEXT29), Text(c.scanAndRebind));
    EXPECT_EQ(GetText(TEXT23), Text(c.basic));
}

INSTANTIATE_TEST_SUITE_P(
    Kinds, BasicAmountShown,
    testing::Values(TypedCase{0, 1, 3, "1000", "", 0, "５００", "２００", "８００", "１,２００", "１,４００"},
                    // a page count is stored rounded to even: 398.5 → 398
                    TypedCase{3, 0, 2, "1200", "398.5", 398, "２,４００", "２００", "１,０００", "１,４００", "１,２００"},
                    // not a number: 0
                    TypedCase{2, 0, 1, "９００", "abc", 0, "０", "０", "３００", "４００", "０"},
                    TypedCase{1, 2, 3, "300", "70", 70, "１０", "８０", "２００", "３００", "３８０"}));

TEST_F(TypedFigures, APageCountBeyondSixteenBitsStopsWithTheOverflowError) {
    CUR_KIND = int{kPerfectMagazine};
    SetText(EDIT2, "1000");
    SetText(EDIT3, "32768");
    EXPECT_RT_ERROR(基本金額表示_SUB(), 6);
}

TEST_F(TypedFigures, TheTitleTotalIsStoredAndShownWithoutUnit) {
    CUR_KIND = int{kComic};
    CUR_TITLE = 1;
    BASIC_AMOUNT = 1400;
    OPT_WORKS_FEE = 100;
    OPT_NOSPREAD_FEE = -80;
    OPT_TRIM_FEE = 800;
    OPT_DPI_FEE = 4000;
    タイトル別合計表示_SUB();
    EXPECT_EQ(TITLE_TOTAL(1, kComic), 6220);
    EXPECT_EQ(GetText(TEXT38), Text("６,２２０"));
}

}  // namespace
