// The main screen's refresh on the headless back end: what the customer reads on MAINFORM for
// orders as the title lists leave them (titles counted, kind subtotals stored).
#include "app/fee/fee_chain.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

#include "app/fee/coupon_box.h"
#include "app/fee/order_model.h"
#include "app/fee/order_totals.h"
#include "app/forms/controls.h"
#include "runtime/backends/headless.h"
#include "tests/support/real_forms.h"

namespace {

// `count` titles of one kind, each of `amount` yen, scanned (course 3) unless said otherwise.
void StoreKind(int kind, int count, float amount, int gifts = 0, int course = 3) {
    TITLE_COUNT(kind) = count;
    GIFT_COUNT(kind) = gifts;
    for (int i = 0; i < count; ++i) {
        TITLE_NAME(i, kind) = "title";
        COURSE(i, kind) = course;
        TITLE_TOTAL(i, kind) = amount;
        GIFT_FLAG(i, kind) = i < gifts ? 1 : 0;
    }
    KIND_SUBTOTAL(kind) = static_cast<float>(count) * amount;
}

using Shown = std::vector<std::pair<const Obj*, const char*>>;

struct ChainCase {
    const char* name;
    std::function<void()> order;
    Shown texts;
    bool boxShown, specialShown;
};

using FeeChainScreen = RealForms;

class FeeChain : public FeeChainScreen, public testing::WithParamInterface<ChainCase> {};

TEST_P(FeeChain, ShowsEveryFigureOfTheOrder) {
    const ChainCase& c = GetParam();
    if (c.order) c.order();
    // A previous refresh may have shown the discount figures.
    SetVisible(TEXT16, -1);
    SetVisible(TEXT40, -1);
    SetVisible(FORM2, -1);
    総合画面_SETSUB();
    差引_SUB();  // as a change of the advance or the adjustment box does
    for (const auto& [box, text] : c.texts) EXPECT_EQ(GetText(*box), Text(text)) << text;
    EXPECT_EQ(Visible(TEXT15), c.boxShown);
    EXPECT_EQ(Visible(TEXT16), c.boxShown);
    EXPECT_EQ(Visible(TEXT39), c.specialShown);
    EXPECT_EQ(Visible(TEXT40), c.specialShown);
    EXPECT_TRUE(Visible(MAINFORM));
    EXPECT_FALSE(Visible(FORM2));
}

INSTANTIATE_TEST_SUITE_P(
    Orders, FeeChain,
    testing::Values(
        ChainCase{"EmptyOrder",
                  nullptr,
                  {{&TEXT41, "０円"}, {&TEXT42, "０円"}, {&TEXT43, "０円"}, {&TEXT44, "０円"}, {&TEXT45, "０円"},
                   {&TEXT2, "０円"}, {&TEXT4, "０円"}, {&TEXT6, "０円"}, {&TEXT8, "０円"}, {&TEXT10, "0円"},
                   {&TEXT12, "０円"}},
                  false, false},
        ChainCase{"SixteenComics",
                  [] { StoreKind(kComic, 16, 1400); },
                  {{&TEXT41, "２２,４００円"}, {&TEXT45, "０円"}, {&TEXT2, "２２,４００円"}, {&TEXT4, "１００円"},
                   {&TEXT6, "着払の為、０円"}, {&TEXT8, "２２,５００円"}, {&TEXT16, "1120円"}, {&TEXT10, "0円"},
                   {&TEXT12, "２１,３８０円"}},
                  true, false},
        ChainCase{"SixteenComicsInJanuary",
                  [] {
                      StoreKind(kComic, 16, 1400);
                      SPECIAL_PERIOD = 1;
                  },
                  {{&TEXT16, "1120円"}, {&TEXT40, "11200円"}, {&TEXT12, "１０,１８０円"}},
                  true, true},
        ChainCase{"OneComicWithCoupons",
                  [] {
                      StoreKind(kComic, 1, 1400);
                      COUPON_NO(0) = "2612310031";
                      COUPON_NO(1) = "2612310045";
                      COUPON_NO(3) = "2612310049";  // after a gap: not counted
                  },
                  {{&TEXT4, "５０円"}, {&TEXT6, "５００円"}, {&TEXT8, "１,９５０円"}, {&TEXT10, "5100円"},
                   {&TEXT12, "５００円"}},
                  false, false},
        ChainCase{"TenTitlesSevenGiven",
                  [] {
                      StoreKind(kComic, 8, 1400, 7);
                      StoreKind(kPhotoBook, 2, 1400);
                  },
                  {{&TEXT45, "２,８００円"}, {&TEXT4, "１５０円"}, {&TEXT6, "当店負担、０円"}},
                  false, false},
        ChainCase{"AdvanceAndAdjustmentComeOffTheBalance",
                  [] { StoreKind(kComic, 1, 1400), SetText(EDIT4, "500"), SetText(EDIT5, "30"); },
                  {{&TEXT12, "１,９５０円"}, {&TEXT54, " 1420円"}},
                  false, false},
        ChainCase{"AMillionYen",
                  [] { StoreKind(kPhotoBook, 5, 200000); },
                  {{&TEXT45, "１,０００,０００円"}, {&TEXT2, "１,０００,０００円"}, {&TEXT4, "２５０円"},
                   {&TEXT8, "１,０００,２５０円"}, {&TEXT12, "１,０００,２５０円"}},
                  false, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(FeeChainScreen, TheCouponBoxIsRefilledAndItsChoiceForgotten) {
    StoreKind(kComic, 16, 1400);
    COUPON_NO(0) = "2612310031";
    COUPON_NO(1) = "2612310045";
    SetText(COMBO1, "typed");
    COUPON_SEL = 1;
    総合画面_SETSUB();
    ASSERT_EQ(ListCount(COMBO1), 2);
    EXPECT_EQ(platform.ListItem(rt::WindowOf(COMBO1), 1), "2612310045");
    EXPECT_EQ(GetText(COMBO1), Text());
    EXPECT_EQ(COUPON_SEL, -1);
    EXPECT_EQ(COUPON_COUNT, 2);
    EXPECT_EQ(GetText(TEXT12), Text("１６,２８０円"));

    // Removing a coupon runs the shorter chain: the grand total in half-width digits, the box
    // discount kept from the refresh.
    COUPON_NO(1) = "";
    COUPON_COUNT = 1;
    割引券再計算_SETSUB();
    EXPECT_EQ(ListCount(COMBO1), 1);
    EXPECT_EQ(GetText(TEXT10), Text("100円"));
    EXPECT_EQ(GetText(TEXT12), Text("21280円"));
}

}  // namespace
