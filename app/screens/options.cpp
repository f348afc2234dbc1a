// The options and resolution of the title on the entry screen: the boxes and the slider into the
// title, the pixel size on A4 or B5 paper, the amount beside each control, and the title priced
// again at every change.
#include "app/screens/options.h"

#include "app/fee/amount_text.h"
#include "app/fee/order_model.h"
#include "app/fee/price_tables.h"
#include "app/fee/title_amounts.h"
#include "app/fee/title_display.h"
#include "app/forms/controls.h"
#include "runtime/values/number_text.h"

namespace {

constexpr Int32 kLowestDpi = 50;
constexpr Int32 kHighestDpi = 600;
// Saddle-stitched doujinshi are scanned from thin paper: with moiré removal the shop scans them
// at most at 375 dpi, without it at 599.
constexpr Int32 kSaddleDoujinHighestDpi = 375;
constexpr Int32 kSaddleDoujinHighestDpiNoMoire = 599;

// Reference paper sizes in inches, as single-precision constants: the pixel text multiplies
// them by the resolution.
struct Paper {
    const char* name;
    Single longSide, shortSide;
};
constexpr Paper kA4 = {" dpi (A4なら約", 11.69f, 8.24f};
constexpr Paper kB5 = {" dpi (B5なら約", 7.19f, 10.12f};

// A surcharge shows its "+", a reduction its "-"; zero is a plain "0".
Text Surcharge(Single amount) { return amount > 0 ? Text("+") + AmountDigits(amount) : AmountDigits(amount); }
Text Reduction(Single amount) { return amount < 0 ? Text("-") + AmountDigits(amount) : AmountDigits(amount); }

// Stored flags are 1 for on; anything else a loaded order may hold counts as off, as it does
// in the title's price.
Int32 BoxState(int flag) { return flag == 1 ? 1 : 0; }

bool Ticked(const Obj& box) { return GetCheck(box) == 1; }

// Kind 1 with RADIO1: a saddle-stitched doujinshi on screen.
bool SaddleStitchedDoujin() { return CUR_KIND == kDoujin && Ticked(RADIO1); }

void ShowPixels(const Paper& paper) {
    const Int16 a = static_cast<double>(CUR_DPI) * paper.longSide;
    const Int16 b = static_cast<double>(CUR_DPI) * paper.shortSide;
    SetText(TEXT36, IntegerDigits(CUR_DPI) + paper.name + IntegerDigits(a) + "×" + IntegerDigits(b) + "ピクセル)");
}

}  // namespace

void オプション表示_SETSUB(Single show) {
    const Int32 flag = RoundToInteger(show);
    for (const Obj* o : {&CHECK1, &CHECK2, &CHECK3, &CHECK4, &HSCROLL1, &TEXT31, &TEXT32, &TEXT33, &TEXT34, &TEXT35,
                         &TEXT36, &TEXT30, &BUTTON13})
        SetVisible(*o, flag);
    if (CUR_KIND == kDoujin || CUR_KIND == kPerfectMagazine || CUR_KIND == kPhotoBook) {
        SetVisible(CHECK1, 0);
        SetVisible(TEXT31, 0);
    }
}

void オプションSET_SUB() {
    const int t = CUR_TITLE, k = CUR_KIND;
    // The title opened before may have narrowed the slider (a saddle-stitched doujinshi stops at
    // 375 dpi). This title's resolution must reach the slider whole, or it would be cut to the
    // other title's limit; its own range follows with the moiré box (DPISET_SUB).
    ScrollSetRange(HSCROLL1, kLowestDpi, kHighestDpi);
    ScrollSetPos(HSCROLL1, TITLE_DPI(t, k));
    SetCheck(CHECK1, BoxState(OPT_WORKS(t, k)));
    SetCheck(CHECK2, BoxState(OPT_NO_MOIRE(t, k)));
    SetCheck(CHECK3, BoxState(OPT_NO_SPREAD(t, k)));
    SetCheck(CHECK4, BoxState(OPT_TRIM(t, k)));
}

void オプションON_SETSUB() {
    オプションSET_SUB();
    BUTTON12_SUB();
    オプション表示_SETSUB(REF_PRICE > 0 && COURSE(CUR_TITLE, CUR_KIND) > 1 ? -1 : 0);
}

void オプションOFF_SETSUB() {
    const int t = CUR_TITLE, k = CUR_KIND;
    OPT_WORKS(t, k) = 0;
    OPT_NO_MOIRE(t, k) = 0;
    OPT_NO_SPREAD(t, k) = 0;
    OPT_TRIM(t, k) = 0;
    SETDPI_SUB();
    オプションSET_SUB();
    BUTTON12_SUB();
    オプション表示_SETSUB(0);
}

void BUTTON12_SUB() {
    基本金額表示_SUB();
    HSCROLL1_SUB();
    CHECK1_SUB();
    CHECK2_SUB();
    CHECK3_SUB();
    CHECK4_SUB();
    タイトル別合計表示_SUB();
}

void CHECK1_SUB() {
    const bool on = Ticked(CHECK1);
    OPT_WORKS_FEE = on ? kWorksOptionFee : 0;
    OPT_WORKS(CUR_TITLE, CUR_KIND) = on ? 1 : 0;
    SetText(TEXT31, Surcharge(OPT_WORKS_FEE));
}

// The moiré choice has no amount of its own: it moves the slider's range and the surcharge.
void CHECK2_SUB() { DPISET_SUB(); }

void CHECK3_SUB() {
    const bool on = Ticked(CHECK3);
    OPT_NOSPREAD_FEE = on ? StoreSingle(-FloorValue(static_cast<double>(SCAN_FEE) * kNoSpreadFactor)) : 0;
    OPT_NO_SPREAD(CUR_TITLE, CUR_KIND) = on ? 1 : 0;
    SetText(TEXT33, Reduction(OPT_NOSPREAD_FEE));
}

void CHECK4_SUB() {
    const bool on = Ticked(CHECK4);
    OPT_TRIM_FEE = on ? SCAN_FEE : 0;
    OPT_TRIM(CUR_TITLE, CUR_KIND) = on ? 1 : 0;
    SetText(TEXT34, Surcharge(OPT_TRIM_FEE));
}

void CHECK6_SUB() {
    const int t = CUR_TITLE, k = CUR_KIND;
    if (Ticked(CHECK6)) {
        COMPENSATE_FLAG(t, k) = 1;
        COMPENSATION_AMOUNT(t, k) = TITLE_TOTAL(t, k);
    } else {
        COMPENSATE_FLAG(t, k) = 0;
        COMPENSATION_AMOUNT(t, k) = 0;
    }
}

void CHECK1_ON(Obj&) {
    CHECK1_SUB();
    タイトル別合計表示_SUB();
}

void CHECK2_ON(Obj&) {
    CHECK2_SUB();
    HSCROLL1_SUB();
    タイトル別合計表示_SUB();
}

void CHECK3_ON(Obj&) {
    CHECK3_SUB();
    タイトル別合計表示_SUB();
}

void CHECK4_ON(Obj&) {
    CHECK4_SUB();
    タイトル別合計表示_SUB();
}

void CHECK6_ON(Obj&) { CHECK6_SUB(); }

void HSCROLL1_SUB() {
    CUR_DPI = ScrollGetPos(HSCROLL1);
    // Magazines and saddle-stitched doujinshi are measured against B5, the rest against A4.
    switch (CUR_KIND) {
        case kDoujin:
            if (Ticked(RADIO1)) {
                HSCROLL1_SUB2();
            } else {
                HSCROLL1_SUB1();
            }
            break;
        case kSaddleMagazine:
            HSCROLL1_SUB2();
            break;
        default:
            HSCROLL1_SUB1();
            break;
    }
    SetText(TEXT35, Surcharge(OPT_DPI_FEE));
    TITLE_DPI(CUR_TITLE, CUR_KIND) = CUR_DPI;
}

void HSCROLL1_SUB1() {
    ShowPixels(kA4);
    オプション7_SUB1();
}

void HSCROLL1_SUB2() {
    ShowPixels(kB5);
    オプション7_SUB2();
}

void HSCROLL1_CHANGE(Obj&) {
    HSCROLL1_SUB();
    タイトル別合計表示_SUB();
}

void DPISET_SUB() {
    const int t = CUR_TITLE, k = CUR_KIND;
    ScrollSetRange(HSCROLL1, kLowestDpi, kHighestDpi);
    const Int32 highest = Ticked(CHECK2) ? kSaddleDoujinHighestDpiNoMoire : kSaddleDoujinHighestDpi;
    OPT_NO_MOIRE(t, k) = Ticked(CHECK2) ? 1 : 0;
    if (SaddleStitchedDoujin()) {
        ScrollSetRange(HSCROLL1, kLowestDpi, highest);
        if (CUR_DPI > highest) CUR_DPI = highest;
    }
    TITLE_DPI(t, k) = CUR_DPI;
    ScrollSetPos(HSCROLL1, TITLE_DPI(t, k));
}

void SETDPI_SUB1() {
    if (CUR_KIND == kSaddleMagazine || (CUR_KIND == kDoujin && BOOK_TYPE(CUR_TITLE, CUR_KIND) == 1)) {
        // The caption says only the figure; a screen reader adds what the button does.
        SetText(BUTTON13, "１２０ｄｐｉ");
        SetSpokenDescription(BUTTON13, "解像度を120dpiに戻します");
        CUR_DPI = DPI_PRESET_LOW;
    } else {
        SetText(BUTTON13, "１５６ｄｐｉ");
        SetSpokenDescription(BUTTON13, "解像度を156dpiに戻します");
        CUR_DPI = DPI_PRESET_HIGH;
    }
}

void SETDPI_SUB() {
    SETDPI_SUB1();
    TITLE_DPI(CUR_TITLE, CUR_KIND) = CUR_DPI;
}

void BUTTON13_ON(Obj& form) {
    const bool low = CUR_KIND == kSaddleMagazine || SaddleStitchedDoujin();
    ScrollSetPos(HSCROLL1, low ? DPI_PRESET_LOW : DPI_PRESET_HIGH);
    HSCROLL1_CHANGE(form);
}
