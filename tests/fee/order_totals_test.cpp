#include "app/fee/order_totals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <vector>

#include "app/fee/coupon_box.h"
#include "app/fee/order_model.h"
#include "app/fee/title_amounts.h"
#include "tests/support/fresh_order.h"

namespace {

// Titles as the title entry screen leaves them (reset, priced at the list price it forces),
// then counted and subtotalled as the title list does.
void AddTitles(int kind, int count, int course = 3) {
    for (int i = 0; i < count; ++i) {
        CUR_KIND = kind;
        CUR_TITLE = TITLE_COUNT(kind);
        変数_RESETSUB();
        TITLE_NAME(CUR_TITLE, kind) = "title";
        LIST_PRICE(CUR_TITLE, kind) = 1000;
        COURSE(CUR_TITLE, kind) = course;
        RepriceCurrentTitle();
        TITLE_COUNT(kind) = TITLE_COUNT(kind) + 1;
    }
    CUR_KIND = kind;
    小合計_SUB();
}

class OrderTotals : public FreshOrder {};

struct MediaCase {
    int kind, scanned, cutOnly;
    float fee;
};

class MediaFee : public OrderTotals, public testing::WithParamInterface<MediaCase> {};

TEST_P(MediaFee, CountsTheScannedTitlesOfTheKind) {
    const MediaCase& c = GetParam();
    AddTitles(c.kind, c.scanned, 2);
    AddTitles(c.kind, c.cutOnly, 1);
    メディア代_SUB();
    EXPECT_EQ(MEDIA_FEE, c.fee);
}

INSTANTIATE_TEST_SUITE_P(
    Steps, MediaFee,
    testing::Values(MediaCase{kComic, 9, 0, 50}, MediaCase{kComic, 10, 0, 100}, MediaCase{kComic, 19, 1, 100},
                    MediaCase{kComic, 0, 3, 0}, MediaCase{kDoujin, 39, 0, 50},
                    MediaCase{kDoujin, 40, 0, 100}, MediaCase{kSaddleMagazine, 2, 0, 50},
                    MediaCase{kSaddleMagazine, 3, 0, 100}, MediaCase{kPerfectMagazine, 2, 1, 100},
                    MediaCase{kPhotoBook, 5, 0, 250}));

TEST_F(OrderTotals, MediaFeeAddsTheKindsAndLeavesTheLastKindsCountInCurTitle) {
    AddTitles(kComic, 3);
    AddTitles(kPhotoBook, 2);
    CUR_TITLE = 0;
    メディア代_SUB();
    EXPECT_EQ(MEDIA_FEE, 50 + 100);
    EXPECT_EQ(CUR_TITLE, 2);
}

struct ShippingCase {
    const char* name;
    std::array<int, kKindCount> titles;
    int gifts;  // given to the shop, spread over the kinds in order
    float shipping;
    const char* text;
};

class ReturnShipping : public OrderTotals, public testing::WithParamInterface<ShippingCase> {};

TEST_P(ReturnShipping, IsChargedOnSmallSingleKindOrdersBelowTheGiftQuota) {
    const ShippingCase& c = GetParam();
    int gifts = c.gifts;
    for (int k = 0; k < kKindCount; ++k) {
        TITLE_COUNT(k) = c.titles[k];
        GIFT_COUNT(k) = std::min(gifts, c.titles[k]);
        gifts -= GIFT_COUNT(k);
    }
    CountTitlesAndGifts();
    送料_SUB();
    EXPECT_EQ(RETURN_SHIPPING, c.shipping);
    EXPECT_EQ(ReturnShippingText(), Text(c.text));
}

INSTANTIATE_TEST_SUITE_P(
    OrdersAndGifts, ReturnShipping,
    testing::Values(
        ShippingCase{"NoTitles", {0, 0, 0, 0, 0}, 0, 0, "０円"},
        ShippingCase{"OneComic", {1, 0, 0, 0, 0}, 0, 500, "５００円"},
        ShippingCase{"ThreeComics", {3, 0, 0, 0, 0}, 0, 0, "着払の為、０円"},
        ShippingCase{"TwoComicsAndADoujinshi", {2, 1, 0, 0, 0}, 0, 0, "着払の為、０円"},
        ShippingCase{"OneComicGiven", {1, 0, 0, 0, 0}, 1, 0, "当店負担、０円"},
        ShippingCase{"FiveDoujinshi", {0, 5, 0, 0, 0}, 0, 500, "５００円"},
        ShippingCase{"SixDoujinshi", {0, 6, 0, 0, 0}, 0, 0, "着払の為、０円"},
        ShippingCase{"FiveDoujinshiFourGiven", {0, 5, 0, 0, 0}, 4, 0, "当店負担、０円"},
        ShippingCase{"OnePerfectMagazine", {0, 0, 0, 1, 0}, 0, 500, "５００円"},
        ShippingCase{"OnePhotoBook", {0, 0, 0, 0, 1}, 0, 500, "５００円"},
        ShippingCase{"TwoPhotoBooks", {0, 0, 0, 0, 2}, 0, 0, "着払の為、０円"},
        // Exactly 70 % given: 10 × 0.7f rounds to exactly 7 when stored, so the shop bears it.
        ShippingCase{"TenTitlesSevenGiven", {10, 0, 0, 0, 0}, 7, 0, "当店負担、０円"},
        ShippingCase{"TenTitlesSixGiven", {10, 0, 0, 0, 0}, 6, 0, "着払の為、０円"},
        ShippingCase{"SeventyTitlesFortyNineGiven", {20, 50, 0, 0, 0}, 49, 0, "当店負担、０円"}),
    [](const auto& info) { return std::string(info.param.name); });

struct BoxCase {
    int comics, doujinshi;
    float comicSubtotal, doujinSubtotal;
    bool applies;
    float comicBox, doujinBox;
};

class BoxDiscount : public OrderTotals, public testing::WithParamInterface<BoxCase> {};

TEST_P(BoxDiscount, TakesATwentiethOffPerFullBox) {
    const BoxCase& c = GetParam();
    TITLE_COUNT(kComic) = c.comics;
    TITLE_COUNT(kDoujin) = c.doujinshi;
    KIND_SUBTOTAL(kComic) = c.comicSubtotal;
    KIND_SUBTOTAL(kDoujin) = c.doujinSubtotal;
    EXPECT_EQ(ComputeBoxDiscount(), c.applies);
    EXPECT_EQ(BOX_DISCOUNT_COMIC, c.comicBox);
    EXPECT_EQ(BOX_DISCOUNT_DOUJIN, c.doujinBox);
    EXPECT_EQ(BOX_DISCOUNT, c.comicBox + c.doujinBox);
}

INSTANTIATE_TEST_SUITE_P(
    BoxSizes, BoxDiscount,
    testing::Values(BoxCase{14, 0, 19600, 0, false, 0, 0}, BoxCase{15, 0, 21019, 0, true, 1050, 0},
                    BoxCase{30, 0, 42000, 0, true, 4200, 0}, BoxCase{3, 39, 4200, 3900, false, 0, 0},
                    BoxCase{3, 40, 4200, 4000, true, 0, 200}, BoxCase{15, 40, 21000, 4000, true, 1050, 200}));

struct CouponCase {
    std::vector<const char*> numbers;
    int count;
    float discount;
};

class CouponDiscount : public OrderTotals, public testing::WithParamInterface<CouponCase> {};

TEST_P(CouponDiscount, SumsTheRegisteredCoupons) {
    const CouponCase& c = GetParam();
    for (size_t i = 0; i < c.numbers.size(); ++i) COUPON_NO(static_cast<int>(i)) = c.numbers[i];
    CountRegisteredCoupons();
    ComputeCouponDiscount();
    EXPECT_EQ(COUPON_COUNT, c.count);
    EXPECT_FLOAT_EQ(COUPON_DISCOUNT, c.discount);
}

INSTANTIATE_TEST_SUITE_P(
    Numbers, CouponDiscount,
    testing::Values(CouponCase{{}, 0, 0}, CouponCase{{"2612310039"}, 1, 900}, CouponCase{{"2612310041"}, 1, 1000},
                    CouponCase{{"2612310031", "2612310045", "2612310031"}, 3, 5200},
                    CouponCase{{"2612310031", "", "2612310045"}, 1, 100},  // a gap ends the list
                    CouponCase{std::vector<const char*>(10, "2612310049"), 10, 90000},
                    // unchecked numbers: a missing multiplier adds nothing, a missing power a tenth
                    CouponCase{{"261231003"}, 1, 0}, CouponCase{{"26123100X5"}, 1, 0.5f},
                    CouponCase{{"2612310003", "2612310003"}, 2, 0.6f}));

struct SpecialCase {
    int barredSlot;  // −1: the barring coupon is not registered
    int specialPeriod;
    bool boxTicked, applies;
};

class SpecialDiscount : public OrderTotals, public testing::WithParamInterface<SpecialCase> {};

TEST_P(SpecialDiscount, IsHalfTheWorkFeeUnlessBarredByTheFirstTwoCoupons) {
    const SpecialCase& c = GetParam();
    for (int i = 0; i < 3; ++i) COUPON_NO(i) = i == c.barredSlot ? "9912310342" : "2612310031";
    SPECIAL_PERIOD = c.specialPeriod;
    WORK_FEE = 22401;
    EXPECT_EQ(ComputeSpecialDiscount(c.boxTicked), c.applies);
    EXPECT_EQ(SPECIAL_DISCOUNT, c.applies ? 11200 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    PeriodBoxAndCoupons, SpecialDiscount,
    testing::Values(SpecialCase{-1, 1, false, true}, SpecialCase{-1, 0, true, true},
                    SpecialCase{-1, 0, false, false}, SpecialCase{0, 1, false, false},
                    SpecialCase{1, 1, false, false}, SpecialCase{1, 0, true, false},
                    SpecialCase{2, 1, false, true}));

struct GrandCase {
    float work, media, shipping, coupon, special, box, compensation;
    float grandTotal;
};

class GrandTotal : public OrderTotals, public testing::WithParamInterface<GrandCase> {};

TEST_P(GrandTotal, ClampsBeforeTheReturnShippingIsAdded) {
    const GrandCase& c = GetParam();
    WORK_FEE = c.work;
    MEDIA_FEE = c.media;
    RETURN_SHIPPING = c.shipping;
    COUPON_DISCOUNT = c.coupon;
    SPECIAL_DISCOUNT = c.special;
    BOX_DISCOUNT = c.box;
    COMPENSATION_TOTAL = c.compensation;
    割引額_SUB();
    総合計金額_SUB();
    EXPECT_EQ(DISCOUNT_TOTAL, c.coupon + c.special + c.box);
    EXPECT_EQ(GRAND_TOTAL, c.grandTotal);
}

INSTANTIATE_TEST_SUITE_P(Discounts, GrandTotal,
                         testing::Values(GrandCase{1400, 50, 500, 9000, 0, 0, 0, 500},
                                         GrandCase{1400, 50, 500, 100, 700, 0, 650, 500},
                                         GrandCase{1400, 50, 500, 0, 0, 0, 1400, 550},
                                         GrandCase{1400, 50, 0, 1000, 700, 0, 0, 0}));

TEST_F(OrderTotals, CompensationCountsTheTitlesOfEveryKindOnly) {
    AddTitles(kComic, 2);
    AddTitles(kPhotoBook, 1);
    COMPENSATION_AMOUNT(1, kComic) = 1400;
    COMPENSATION_AMOUNT(0, kPhotoBook) = 1800;
    COMPENSATION_AMOUNT(2, kComic) = 5000;  // beyond the kind's titles
    ComputeCompensationTotal();
    EXPECT_EQ(COMPENSATION_TOTAL, 3200);
}

}  // namespace
