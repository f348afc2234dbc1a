// The program's main routine: the routines events reach by name, the start-up step (caption, forms,
// fonts, limits, the controls not offered) and the wait loop that keeps the recovery file.
#include "app/screens/main_routine.h"

#include "app/documents/statement_screen.h"
#include "app/fee/fee_chain.h"
#include "app/fee/order_model.h"
#include "app/files/order_commands.h"
#include "app/files/recovery.h"
#include "app/forms/controls.h"
#include "app/screens/coupons.h"
#include "app/screens/import_screen.h"
#include "app/screens/main_screen.h"
#include "app/screens/options.h"
#include "app/screens/title_entry.h"
#include "app/screens/title_list.h"

namespace {

#define KALVORO_ROUTINE(name) {#name, name}
// The routines that events reach by name, screen by screen. A button without a routine here
// does nothing when clicked.
const RoutineEntry kRoutines[] = {
    // main screen
    KALVORO_ROUTINE(BUTTON1_ON), KALVORO_ROUTINE(BUTTON5_ON), KALVORO_ROUTINE(BUTTON6_ON),
    KALVORO_ROUTINE(BUTTON7_ON), KALVORO_ROUTINE(BUTTON8_ON), KALVORO_ROUTINE(BUTTON9_ON),
    KALVORO_ROUTINE(EDIT4_CHANGE), KALVORO_ROUTINE(EDIT5_CHANGE), KALVORO_ROUTINE(CHECK8_ON),
    KALVORO_ROUTINE(BUTTON15_ON), KALVORO_ROUTINE(COMBO1_CHANGE),
    // order files and statements
    KALVORO_ROUTINE(BUTTON2_ON), KALVORO_ROUTINE(BUTTON3_ON), KALVORO_ROUTINE(BUTTON4_ON),
    KALVORO_ROUTINE(BUTTON21_ON), KALVORO_ROUTINE(BUTTON22_ON), KALVORO_ROUTINE(MAINFORM_DROPFILES),
    KALVORO_ROUTINE(FORM5_QUERYCLOSE),
    // title list
    KALVORO_ROUTINE(LIST1_CLICK), KALVORO_ROUTINE(BUTTON11_ON), KALVORO_ROUTINE(BUTTON20_ON),
    KALVORO_ROUTINE(FORM2_QUERYCLOSE),
    // title import
    KALVORO_ROUTINE(BUTTON10_ON), KALVORO_ROUTINE(BUTTON16_ON), KALVORO_ROUTINE(BUTTON17_ON),
    KALVORO_ROUTINE(BUTTON18_ON), KALVORO_ROUTINE(BUTTON19_ON), KALVORO_ROUTINE(FORM4_QUERYCLOSE),
    // title entry
    KALVORO_ROUTINE(RADIO1_ON), KALVORO_ROUTINE(RADIO2_ON), KALVORO_ROUTINE(RADIO3_ON), KALVORO_ROUTINE(RADIO4_ON),
    KALVORO_ROUTINE(RADIO5_ON), KALVORO_ROUTINE(CHECK7_ON), KALVORO_ROUTINE(BUTTON12_ON),
    KALVORO_ROUTINE(BUTTON14_ON), KALVORO_ROUTINE(EDIT1_CHANGE), KALVORO_ROUTINE(FORM3_QUERYCLOSE),
    // options and resolution
    KALVORO_ROUTINE(CHECK1_ON), KALVORO_ROUTINE(CHECK2_ON), KALVORO_ROUTINE(CHECK3_ON), KALVORO_ROUTINE(CHECK4_ON),
    KALVORO_ROUTINE(CHECK6_ON), KALVORO_ROUTINE(HSCROLL1_CHANGE), KALVORO_ROUTINE(BUTTON13_ON),
};
#undef KALVORO_ROUTINE

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
    // One dpi an arrow, ten the trough.
    ScrollSetSteps(HSCROLL1, 1, 10);
    // For customers at the keyboard or with a screen reader: Enter in the coupon box registers
    // the number as the button beside it does, and the controls that no caption names are
    // named by what they hold or do.
    SetEnterButton(COMBO1, BUTTON15);
    SetSpokenName(COMBO1, "割引券番号");
    SetSpokenName(BUTTON17, "選んだ項目を抽出タイトル部へ移す");
    SetSpokenName(BUTTON18, "選んだ項目を元データの項目へ戻す");
    // The figures a screen reader speaks when an action changes them, each screen's own: the
    // main screen's coupon discount (only coupons move it) and grand total, the title list's
    // subtotal, the title screen's resolution text and total. The customer hears each as a
    // sighted one sees it; the grand total also on coming back to the main screen, where the
    // titles just changed show in it.
    WatchFigures({&TEXT10, &TEXT12, &TEXT14, &TEXT36, &TEXT38}, {&TEXT12});
    // Compensation, advance payment, adjustment discount, balance, customer name and the
    // special-discount box are not offered on screen; a loaded order still fills them.
    for (Obj* o : {&CHECK6, &TEXT49, &TEXT50, &TEXT51, &TEXT52, &TEXT53, &TEXT54, &TEXT55, &EDIT4, &EDIT5, &EDIT7,
                   &CHECK8})
        SetVisible(*o, 0);
    SetVisible(FORM3, 0);
    ForgetOpenTitle();
    SetVisible(FORM4, 0);
}

namespace {

// The order as it would be saved now goes to the recovery file; scripts and batch runs, which
// keep none, do not form it after every step.
void KeepRecovery() {
    if (RecoveryEnabled()) KeepRecoveryUpToDate(OrderAsIfClosed());
}

}  // namespace

void WaitStep() {
    FormWait(Obj{kMainWindow});
    KeepRecovery();
}

namespace {

void RunMain(const std::string* orderUtf8) {
    開始_SETSUB();
    総合画面_SETSUB();
    Obj main{kMainWindow};
    // An order named when the program was started is what the customer asked for: the orders
    // left behind wait for a start that names none.
    if (orderUtf8) OpenOrderNamed(main, *orderUtf8);
    else OfferRecovery(main);
    // Event routines run inside FormWait; one that needs work done after its own event has
    // ended leaves a command code for this loop: the title import's steps 1 to 4.
    for (;;) {
        COMMAND = 0;
        while (COMMAND == 0) WaitStep();
        インポート_SUB();
        KeepRecovery();
    }
}

}  // namespace

void メイン_SUB() { RunMain(nullptr); }

void MainWithOrderNamed(const std::string& orderUtf8) { RunMain(&orderUtf8); }
