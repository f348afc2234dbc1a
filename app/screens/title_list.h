#pragma once
// The title list of one book kind (FORM2): one line per title with its number, its amount and
// its gift mark, then "タイトルを追加" while the kind has room. A click opens the title on the
// entry screen (title_entry.h); the return button goes back to the main screen.
#include "runtime/values/values.h"
#include "runtime/window/window.h"

// The number of titles the list shows, which is also the index of its "add" line.
extern Int16 LISTED_TITLES;
// 1 when the list last built holds a title whose total is 0 yen.
extern Int16 ZERO_AMOUNT_FLAG;

// Rebuilds LIST1, the kind's title and gift counts and its subtotal (TEXT14) for CUR_KIND.
void LIST1_ADD();

// Opens the clicked title; the "add" line opens a fresh slot with the kind's defaults.
void LIST1_CLICK(Obj& form);

// "総合画面に戻る": warns once about titles of 0 yen, then refreshes the main screen.
void BUTTON11_ON(Obj& form);

// "全タイトル消去": empties every title of the kind, without asking.
void BUTTON20_ON(Obj& form);
// The window manager's close of the list: as 総合画面に戻る.
void FORM2_QUERYCLOSE(Obj& form);

// Removes title t of CUR_KIND: the titles after it move up one slot, so the kind's list stays
// without gaps.
void タイトル削除_SUB(int t);
