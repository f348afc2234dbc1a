#pragma once
// The entry screen of one title (FORM3): name, list price and page count where the kind needs
// them, book type, course and gift. The options and the resolution slider of the same screen
// are in options.h. The screen works on title CUR_TITLE of kind CUR_KIND.
#include <string>

#include "app/files/order_file.h"
#include "runtime/window/window.h"

// Lays out and fills FORM3 for the current title, prices it and shows it.
void タイトル別_SETSUB();

// Book type: 1 (RADIO1) or 2 (RADIO2). The name and the price typed so far are kept and the
// screen is laid out again for the new type.
void RADIO1_ON(Obj& form);
void RADIO2_ON(Obj& form);

// Course: 1 cut only (RADIO3), 2 cut and scan (RADIO4), 3 cut, scan and rebind (RADIO5).
void RADIO3_ON(Obj& form);
void RADIO4_ON(Obj& form);
void RADIO5_ON(Obj& form);

// The gift box: the book is given to the shop after scanning (course 2 only).
void CHECK7_ON(Obj& form);

// "基本金額の計算を実行": prices the title again from what is typed.
void BUTTON12_ON(Obj& form);

// "終　了": stores the name, deletes the title when its name was erased, back to the list.
void BUTTON14_ON(Obj& form);
// The window manager's close of the title screen.
void FORM3_QUERYCLOSE(Obj& form);

// The name box: nothing to do but let the wait loop step, so that the recovery file follows the
// name as it is typed, before 終了 stores it.
void EDIT1_CHANGE(Obj& form);

// At start no title is open.
void ForgetOpenTitle();

// The order file as 終了 would leave the order if it were pressed now: the title open on this
// screen with the name typed so far, or without it when its name is empty. The order file itself
// when no title is open. As far as it reads back (OrderAsFarAsItReadsBack).
KeptOrder OrderAsIfClosed();
