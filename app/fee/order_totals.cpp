// The order's figures from the work fee to the grand total, each formed in double and rounded to
// single when stored, and the boxes of the main screen that show them.
#include "app/fee/order_totals.h"

#include <cmath>

#include "app/fee/amount_text.h"
#include "app/fee/coupon_box.h"
#include "app/fee/order_model.h"
#include "app/fee/price_tables.h"
#include "app/forms/controls.h"
#include "runtime/values/number_text.h"

// Amounts are formed in double and rounded to single only when stored, so every expression
// below widens its first operand before the arithmetic. Loops over a kind's titles run over
// its leading TITLE_COUNT slots.

void 小合計_SUB() {
    const int k = CUR_KIND;
    KIND_SUBTOTAL(k) = 0;
    for (int i = 0; i < TITLE_COUNT(k); ++i)
        KIND_SUBTOTAL(k) = StoreSingle(static_cast<double>(KIND_SUBTOTAL(k)) + TITLE_TOTAL(i, k));
}

void 作業代_SUB() {
    WORK_FEE = StoreSingle(static_cast<double>(KIND_SUBTOTAL(0)) + KIND_SUBTOTAL(1) + KIND_SUBTOTAL(2) +
                           KIND_SUBTOTAL(3) + KIND_SUBTOTAL(4));
}

void メディア代_SUB() {
    MEDIA_FEE = 0;
    for (int k = 0; k < kKindCount; ++k) {
        if (TITLE_COUNT(k) <= 0) continue;
        // The counter is CUR_TITLE itself, left at the count of the last kind that has titles;
        // the screens set it again before they use it.
        int scanned = 0;
        for (CUR_TITLE = 0; CUR_TITLE < TITLE_COUNT(k); ++CUR_TITLE)
            if (COURSE(CUR_TITLE, k) > 1) ++scanned;
        if (scanned == 0) continue;
        const int perMedium = kTitlesPerMedium[k];
        const Int32 units = perMedium > 0 ? IntDiv(scanned, perMedium) + 1 : scanned;
        MEDIA_FEE = StoreSingle(static_cast<double>(MEDIA_FEE) + static_cast<double>(units) * kMediaUnitFee);
    }
}

void CountTitlesAndGifts() {
    int titles = 0, gifts = 0;
    for (int k = 0; k < kKindCount; ++k) {
        titles += TITLE_COUNT(k);
        gifts += GIFT_COUNT(k);
    }
    TOTAL_TITLES = titles;
    TOTAL_GIFTS = gifts;
    // 10 × 0.7f is 6.99999988 in double and exactly 7 once stored as a single, so exactly 70 %
    // given to the shop reaches the quota.
    GIFT_QUOTA = StoreSingle(static_cast<double>(TOTAL_TITLES) * kGiftShare);
}

void 送料_SUB() {
    RETURN_SHIPPING = 0;
    if (!(GIFT_QUOTA > TOTAL_GIFTS)) return;
    // A small order of one kind only: that kind has 1 to its small-order limit of titles and no
    // other kind has any.
    for (int k = 0; k < kKindCount; ++k) {
        if (TITLE_COUNT(k) < 1 || TITLE_COUNT(k) > kSmallOrderMost[k]) continue;
        bool othersEmpty = true;
        for (int other = 0; other < kKindCount; ++other)
            if (other != k && TITLE_COUNT(other) != 0) othersEmpty = false;
        if (othersEmpty) RETURN_SHIPPING = kReturnShippingFee;
    }
}

Text ReturnShippingText() {
    if (RETURN_SHIPPING > 0) return FullWidthYen(RETURN_SHIPPING);
    if (TOTAL_TITLES == 0) return "０円";
    if (GIFT_QUOTA <= TOTAL_GIFTS) return "当店負担、０円";
    return "着払の為、０円";
}

void 小計_SUB() { SUBTOTAL = StoreSingle(static_cast<double>(WORK_FEE) + MEDIA_FEE + RETURN_SHIPPING); }

bool ComputeSpecialDiscount(bool boxTicked) {
    SPECIAL_DISCOUNT = 0;
    // Only the first two registered coupons are looked at.
    const Text barring(kSpecialDiscountBarCoupon);
    if (COUPON_NO(0) == barring || COUPON_NO(1) == barring) return false;
    if (SPECIAL_PERIOD != 1 && !boxTicked) return false;
    SPECIAL_DISCOUNT = StoreSingle(IntDiv(WORK_FEE, 2));
    return true;
}

void 特別割_SUB() {
    if (!ComputeSpecialDiscount(GetCheck(CHECK8) == 1)) return;
    SetVisible(TEXT39, -1);
    SetVisible(TEXT40, -1);
    SetText(TEXT40, PlainYen(SPECIAL_DISCOUNT));
}

bool ComputeBoxDiscount() {
    BOX_DISCOUNT = 0;
    BOX_DISCOUNT_COMIC = 0;
    BOX_DISCOUNT_DOUJIN = 0;
    if (TITLE_COUNT(kComic) < kComicsPerBox && TITLE_COUNT(kDoujin) < kDoujinPerBox) return false;
    // A twentieth of the kind's subtotal, in whole yen, for every full box.
    BOX_DISCOUNT_COMIC = StoreSingle(CheckedMul(IntDiv(KIND_SUBTOTAL(kComic), kBoxDiscountDivisor),
                                                IntDiv(TITLE_COUNT(kComic), kComicsPerBox)));
    BOX_DISCOUNT_DOUJIN = StoreSingle(CheckedMul(IntDiv(KIND_SUBTOTAL(kDoujin), kBoxDiscountDivisor),
                                                 IntDiv(TITLE_COUNT(kDoujin), kDoujinPerBox)));
    BOX_DISCOUNT = StoreSingle(static_cast<double>(BOX_DISCOUNT_COMIC) + BOX_DISCOUNT_DOUJIN);
    return true;
}

void 箱割_SUB() {
    if (!ComputeBoxDiscount()) return;
    SetVisible(TEXT15, -1);
    SetVisible(TEXT16, -1);
    SetText(TEXT16, PlainYen(BOX_DISCOUNT));
}

void ComputeCouponDiscount() {
    COUPON_DISCOUNT = 0;
    for (int i = 0; i < COUPON_COUNT; ++i) {
        // Character 9 is the power of ten plus one, character 10 the multiplier: "…31" is 100
        // yen, "…45" 5,000 yen. A missing character counts as 0.
        const double power = TextToNumber(TextMid(COUPON_NO(i), 9, 1));
        const double multiplier = TextToNumber(TextMid(COUPON_NO(i), 10, 1));
        COUPON_DISCOUNT =
            StoreSingle(static_cast<double>(COUPON_DISCOUNT) + std::pow(10.0, power - 1) * multiplier);
    }
}

void クーポン割_SUB() {
    ComputeCouponDiscount();
    SetText(TEXT10, PlainYen(COUPON_DISCOUNT));
}

void 割引額_SUB() {
    DISCOUNT_TOTAL = StoreSingle(static_cast<double>(COUPON_DISCOUNT) + BOX_DISCOUNT + SPECIAL_DISCOUNT);
}

void ComputeCompensationTotal() {
    COMPENSATION_TOTAL = 0;
    for (int k = 0; k < kKindCount; ++k)
        for (int i = 0; i < TITLE_COUNT(k); ++i)
            COMPENSATION_TOTAL = StoreSingle(static_cast<double>(COMPENSATION_TOTAL) + COMPENSATION_AMOUNT(i, k));
}

void 補償額_SUB() {
    ComputeCompensationTotal();
    SetText(TEXT50, PlainYen(COMPENSATION_TOTAL));
}

void 総合計金額_SUB() {
    GRAND_TOTAL = StoreSingle(static_cast<double>(WORK_FEE) + MEDIA_FEE - DISCOUNT_TOTAL - COMPENSATION_TOTAL);
    // Discounts and compensation never reduce the return shipping.
    if (GRAND_TOTAL < 0) GRAND_TOTAL = 0;
    GRAND_TOTAL = StoreSingle(static_cast<double>(GRAND_TOTAL) + RETURN_SHIPPING);
}

void 差引_SUB() {
    ADVANCE_PAYMENT = StoreSingle(TextToNumber(GetText(EDIT4)));
    ADJUST_DISCOUNT = StoreSingle(TextToNumber(GetText(EDIT5)));
    const Single balance =
        StoreSingle(static_cast<double>(GRAND_TOTAL) - ADVANCE_PAYMENT - ADJUST_DISCOUNT);
    SetText(TEXT54, SignedAmountText(balance) + "円");
}

void ComputeOrderFigures() {
    作業代_SUB();
    メディア代_SUB();
    CountTitlesAndGifts();
    送料_SUB();
    小計_SUB();
    ComputeSpecialDiscount(false);
    ComputeBoxDiscount();
    CountRegisteredCoupons();
    ComputeCouponDiscount();
    割引額_SUB();
    ComputeCompensationTotal();
    総合計金額_SUB();
}
