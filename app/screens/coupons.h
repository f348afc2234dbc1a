#pragma once
// The coupon box of the main screen: a 10-digit coupon number is typed into COMBO1 and
// registered with BUTTON15; choosing a registered number in the list first replaces it, or
// removes it when the box is emptied. The list itself and the totals that follow it are in
// app/fee/coupon_box.h.
#include "runtime/window/window.h"

// Registers, replaces or removes the number typed into COMBO1, after checking its expiry date
// and its discount digits; the totals follow in any case.
void BUTTON15_ON(Obj& form);

// Remembers which registered number was chosen in the list (typing leaves it as it was).
void COMBO1_CHANGE(Obj& form);
