#pragma once
// The main screen's own event routines: the kind buttons that open a title list, the end
// button, and the hidden boxes that only a loaded order fills. The figures themselves are
// written by 総合画面_SETSUB (app/fee/fee_chain.h); the coupon box is in coupons.h.
#include "runtime/window/window.h"

// "終　　　了": ends the program at once; nothing is saved.
void BUTTON1_ON(Obj& form);

// Open the title list of kind 0 … 4. Only BUTTON5 (comics) and BUTTON9 (photo books) are
// ever visible; the other three exist hidden, as their form creates them.
void BUTTON5_ON(Obj& form);
void BUTTON6_ON(Obj& form);
void BUTTON7_ON(Obj& form);
void BUTTON8_ON(Obj& form);
void BUTTON9_ON(Obj& form);

// The hidden advance-payment and adjustment boxes: the balance follows them.
void EDIT4_CHANGE(Obj& form);
void EDIT5_CHANGE(Obj& form);

// The hidden special-discount box: the whole screen is refreshed.
void CHECK8_ON(Obj& form);
