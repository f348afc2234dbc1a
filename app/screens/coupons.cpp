// Coupon numbers registered, replaced and removed through the main screen's coupon box, each
// checked for its expiry date and discount digits first.
#include "app/screens/coupons.h"

#include "app/fee/coupon_box.h"
#include "app/fee/order_model.h"
#include "app/forms/controls.h"
#include "runtime/values/number_text.h"
#include "runtime/window/dialogs.h"

namespace {

// Digits of a coupon number as numbers; a missing or non-digit character counts as 0.
double Digits(const Text& number, Int32 position, Int32 count) {
    return TextToNumber(TextMid(number, position, count));
}

void RefuseCoupon(Obj& form, const char* why) {
    MessageBox(form, "入力エラーメッセージ", why, 0, 0);
}

// The number's own checks: not expired (it is still good on its expiry day) and a discount of
// 100 … 900 or 1,000 … 9,000 yen. True when it passes; the customer has been told otherwise.
bool CouponAcceptable(Obj& form, const Text& number) {
    const double expiry = 20000000 + Digits(number, 1, 2) * 10000 + Digits(number, 3, 2) * 100 + Digits(number, 5, 2);
    const double today = TextToNumber(TODAY_YEAR) * 10000 + TODAY_MMDD;
    if (today > expiry) {
        RefuseCoupon(form, "その割引券の番号では有効期限が過ぎています。");
        return false;
    }
    const double magnitude = Digits(number, 9, 1);
    const double amount = Digits(number, 10, 1);
    if (magnitude > 4 || magnitude < 3 || amount == 0) {
        RefuseCoupon(form, "その割引券の番号では正しい割引額が出ません。");
        return false;
    }
    return true;
}

}  // namespace

void BUTTON15_ON(Obj& form) {
    CountRegisteredCoupons();
    const Text number = GetText(COMBO1);
    if (!number.empty()) {
        if (CouponAcceptable(form, number)) {
            if (COUPON_SEL == -1) {
                if (COUPON_COUNT == kMostCoupons) {
                    RefuseCoupon(form, "割引券番号の登録は１０枚分までです。");
                } else {
                    COUPON_NO(COUPON_COUNT) = number;
                    COUPON_COUNT = COUPON_COUNT + 1;
                }
            } else {
                // The chosen number is replaced; the same number may be registered twice.
                COUPON_NO(COUPON_SEL) = number;
            }
        }
    } else if (COUPON_SEL >= 0) {
        // An emptied box with a number chosen removes that number; the later ones move up and
        // the always-empty slot 10 closes the list.
        for (int i = COUPON_SEL; i <= COUPON_COUNT - 1; ++i) COUPON_NO(i) = COUPON_NO(i + 1);
        COUPON_COUNT = COUPON_COUNT - 1;
    }
    割引券再計算_SETSUB();
}

void COMBO1_CHANGE(Obj&) {
    const Int32 chosen = ListIndex(COMBO1);
    if (chosen >= 0) COUPON_SEL = chosen;
}
