// The main screen's coupon box: the registered coupons counted and listed in COMBO1, and the totals
// that follow when they change.
#include "app/fee/coupon_box.h"

#include "app/fee/amount_text.h"
#include "app/fee/order_model.h"
#include "app/fee/order_totals.h"
#include "app/forms/controls.h"

Int16 COUPON_SEL = -1;

void CountRegisteredCoupons() {
    int count = 0;
    while (count < kMostCoupons && !COUPON_NO(count).empty()) ++count;
    COUPON_COUNT = count;
}

void COMBO1_ADD() {
    ListClear(COMBO1);
    SetText(COMBO1, Text());
    COUPON_SEL = -1;
    for (int i = 0; i < COUPON_COUNT; ++i) ListAdd(COMBO1, COUPON_NO(i));
    クーポン割_SUB();
}

void 割引券再計算_SETSUB() {
    COMBO1_ADD();
    割引額_SUB();
    補償額_SUB();
    総合計金額_SUB();
    SetText(TEXT12, PlainYen(GRAND_TOTAL));
}
