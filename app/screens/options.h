#pragma once
// The options and the capture resolution of the title on the entry screen (FORM3): the four
// option boxes, the resolution slider with its pixel size and preset button, and the amount of
// each beside it. Every change prices the title again at once (TEXT38).
#include "runtime/values/values.h"
#include "runtime/window/window.h"

// show −1 shows the option controls, 0 hides them. Per-work editing is offered for comics and
// saddle-stitched magazines only.
void オプション表示_SETSUB(Single show);

// The title's stored options into the boxes and its resolution into the slider.
void オプションSET_SUB();
// The boxes from the title, everything priced again; the options are offered when the title
// has a reference price and is scanned.
void オプションON_SETSUB();
// Cut only: every option off, the resolution back to the preset, priced again, options hidden.
void オプションOFF_SETSUB();

// Prices the title from the screen: base amounts, resolution, each option, title total.
void BUTTON12_SUB();

// One box each into the title and its amount.
void CHECK1_SUB();
void CHECK2_SUB();
void CHECK3_SUB();
void CHECK4_SUB();
void CHECK6_SUB();
void CHECK1_ON(Obj& form);
void CHECK2_ON(Obj& form);
void CHECK3_ON(Obj& form);
void CHECK4_ON(Obj& form);
void CHECK6_ON(Obj& form);

// The slider into CUR_DPI and the title, its pixel size on A4 (SUB1) or B5 (SUB2) paper and
// its surcharge.
void HSCROLL1_SUB();
void HSCROLL1_SUB1();
void HSCROLL1_SUB2();
void HSCROLL1_CHANGE(Obj& form);

// The slider's range after the moiré choice: saddle-stitched doujinshi stop at 375 dpi with
// moiré removal and at 599 without.
void DPISET_SUB();

// The kind's preset resolution into CUR_DPI and the caption of BUTTON13; SETDPI_SUB stores it
// in the title as well.
void SETDPI_SUB1();
void SETDPI_SUB();

// The preset button: the slider to the kind's preset, as if the customer had moved it there.
void BUTTON13_ON(Obj& form);
