#pragma once
// The coupon box of the main screen (COMBO1): the list of registered coupon numbers and what
// the order's figures do when it changes.
#include "runtime/values/values.h"

// The list entry of COMBO1 last chosen, −1 when none; every refill of the list forgets it, so
// a choice serves one press of the registration button only.
extern Int16 COUPON_SEL;

// COUPON_COUNT ← the number of leading non-empty COUPON_NO(0..9); a gap ends the count.
void CountRegisteredCoupons();

// Empties COMBO1 (entries and edit text), forgets the choice, lists COUPON_NO(0 ..
// COUPON_COUNT − 1) and runs クーポン割_SUB.
void COMBO1_ADD();

// After a coupon is registered, replaced or removed: COMBO1_ADD, then the discount total, the
// compensation and the grand total, shown in TEXT12 in half-width digits until the next full
// refresh. The special and box discounts keep the values of the last full refresh.
void 割引券再計算_SETSUB();
