#include "app/screens/main_routine.h"

#include "app/fee/fee_chain.h"
#include "app/fee/order_model.h"
#include "app/screens/controls.h"
#include "app/screens/main_screen.h"

namespace {

// The routines that events reach by name; each screen adds its own.
const RoutineEntry kRoutines[] = {
    {"BUTTON1_ON", BUTTON1_ON},
};

void SetFonts() {
    // Every control gets a 14-pixel font; headings and totals are larger.
#define KALVORO_FONT_14(form, control) SetFontSize(control, 14);
    KALVORO_CONTROLS(KALVORO_FONT_14)
#undef KALVORO_FONT_14
    for (Obj* o : {&TEXT11, &TEXT12, &TEXT13, &TEXT14, &TEXT37, &TEXT38}) SetFontSize(*o, 22);
    SetFontSize(TEXT56, 20);
    SetFontSize(TEXT47, 16);
    SetFontSize(TEXT48, 16);
    SetFontName(LIST1, "ＭＳ 明朝");
    SetFontName(EDIT6, "ＭＳ 明朝");
    SetFontName(COMBO1, "ＭＳ ゴシック");
}

}  // namespace

std::span<const RoutineEntry> ApplicationRoutines() { return kRoutines; }

void 開始_SETSUB() {
    SetText(Obj{kMainWindow}, "Kalvoro総合画面 Ｖｅｒ.5.0 20160415");
    起動_SUB();
    フォーム読込_SUB();
    SetFonts();
    SetMaxLength(COMBO1, 10);
    SetImeMode(COMBO1, 2);
    ScrollSetRange(HSCROLL1, 50, 600);
    // Compensation, advance payment, adjustment discount, balance, customer name and the
    // special-discount box are not offered on screen; a loaded order still fills them.
    for (Obj* o : {&CHECK6, &TEXT49, &TEXT50, &TEXT51, &TEXT52, &TEXT53, &TEXT54, &TEXT55, &EDIT4, &EDIT5, &EDIT7,
                   &CHECK8})
        SetVisible(*o, 0);
    SetVisible(FORM3, 0);
    SetVisible(FORM4, 0);
}

void メイン_SUB() {
    開始_SETSUB();
    総合画面_SETSUB();
    for (;;) {
        COMMAND = 0;
        while (COMMAND == 0) FormWait(Obj{kMainWindow});
    }
}
