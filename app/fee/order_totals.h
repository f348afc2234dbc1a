#pragma once
// The order's figures from the stored title totals: ④ work fee, ⑤ media fee, ⑥ return
// shipping, ⑦ subtotal, ⑧ coupon, ⑨ special and ⑩ box discount, ⑫ discount total,
// ⑬ compensation and ⑭ grand total. The main screen's refresh (総合画面_SETSUB) runs them in a
// fixed order; several write their figure into a box of the main screen as well.
//
// The routines that touch the screen have their computation available on its own below, so the
// figures can be formed where no window exists (tests, the benchmark).
#include "runtime/values/text.h"

// KIND_SUBTOTAL(CUR_KIND) ← the sum of the kind's title totals.
void 小合計_SUB();

// WORK_FEE ← the sum of KIND_SUBTOTAL(0..4), as last stored.
void 作業代_SUB();

// MEDIA_FEE from the scanned titles (COURSE above 1) of every kind. Counts with CUR_TITLE,
// which afterwards holds the title count of the last kind that has titles.
void メディア代_SUB();

// RETURN_SHIPPING: 500 for a small order of a single kind unless GIFT_QUOTA ≤ TOTAL_GIFTS.
void 送料_SUB();

// SUBTOTAL ← WORK_FEE + MEDIA_FEE + RETURN_SHIPPING.
void 小計_SUB();

// SPECIAL_DISCOUNT ← WORK_FEE \ 2 in the special-discount months or with CHECK8 ticked, unless
// one of the first two coupons is the barring number; shows TEXT39 and TEXT40 when it applies.
void 特別割_SUB();

// BOX_DISCOUNT from full boxes of 15 comics or 40 doujinshi; shows TEXT15 and TEXT16 when
// there is at least one box.
void 箱割_SUB();

// COUPON_DISCOUNT ← the sum over COUPON_NO(0..COUPON_COUNT − 1); TEXT10 shows it.
void クーポン割_SUB();

// DISCOUNT_TOTAL ← ⑧ + ⑨ + ⑩.
void 割引額_SUB();

// COMPENSATION_TOTAL ← the sum of every title's COMPENSATION_AMOUNT; hidden TEXT50 shows it.
void 補償額_SUB();

// GRAND_TOTAL ← (④ + ⑤ − ⑫ − ⑬, 0 when negative) + ⑥.
void 総合計金額_SUB();

// Takes the advance payment (EDIT4) and adjustment discount (EDIT5) and shows the balance in the
// hidden TEXT54. Neither value enters the totals.
void 差引_SUB();

// The computations without the screen.
// Sets SPECIAL_DISCOUNT; true when the discount applies (even if it is 0).
bool ComputeSpecialDiscount(bool boxTicked);
// Sets BOX_DISCOUNT, BOX_DISCOUNT_COMIC and BOX_DISCOUNT_DOUJIN; true when a box is full.
bool ComputeBoxDiscount();
void ComputeCouponDiscount();
void ComputeCompensationTotal();

// TOTAL_TITLES, TOTAL_GIFTS and GIFT_QUOTA (70 % of the titles, single precision).
void CountTitlesAndGifts();

// Every figure of the main screen's refresh, in its order, from the stored title totals and
// kind subtotals, without touching the screen (the special-discount box counts as not ticked).
void ComputeOrderFigures();

// What the main screen shows for the return shipping: the amount, or why it is 0.
Text ReturnShippingText();
