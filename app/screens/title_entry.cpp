// The entry screen of one title (FORM3): the screen laid out for the title's kind and book type,
// the course and gift buttons, and the title stored or deleted when the screen closes.
#include "app/screens/title_entry.h"

#include "app/fee/amount_text.h"
#include "app/fee/order_model.h"
#include "app/fee/title_amounts.h"
#include "app/files/order_file.h"
#include "app/forms/controls.h"
#include "app/screens/options.h"
#include "app/screens/title_list.h"
#include "runtime/values/number_text.h"

namespace {

// The screen's caption per kind. The magazines, which only a loaded order brings, have their
// own, so the screen never shows the caption of the kind opened before.
const char* const kEntryCaption[kKindCount] = {
    "コミック　タイトル別　申込資料作成画面",
    "同人誌　タイトル別　申込資料作成画面",
    "中綴じ雑誌　タイトル別　申込資料作成画面",
    "無線綴じ雑誌　タイトル別　申込資料作成画面",
    "写真集・資料集等　タイトル別　申込資料作成画面",
};

// Whether a title is open on the screen, between タイトル別_SETSUB and 終了.
bool g_titleOpen = false;

// Comics are priced from a fixed list price; the printed one is not asked for.
constexpr Single kFixedListPrice = 1000;
// A perfect-bound doujinshi is counted as 70 pages, whatever it has.
constexpr int kPerfectBoundDoujinPages = 70;

// A number for a box the customer can edit again: its digits without the sign position, or,
// for a negative value no screen produces but a loaded order may hold, with its minus sign, so
// that reading the box back gives the stored value and not its opposite.
Text EditableNumber(Single value) { return value < 0 ? Text("-") + AmountDigits(value) : AmountDigits(value); }

void SetVisibleAll(std::initializer_list<const Obj*> controls, Int32 flag) {
    for (const Obj* o : controls) SetVisible(*o, flag);
}

// The course options; the gift box belongs to "cut and scan" only.
void CheckCourseButtons(int course) {
    SetEnabled(RADIO3, -1);
    for (const Obj* o : {&RADIO3, &RADIO4, &RADIO5}) SetCheck(*o, 0);
    switch (course) {
        case 1: SetCheck(RADIO3, 1); break;
        case 2:
            SetCheck(RADIO4, 1);
            SetVisible(CHECK7, -1);
            break;
        case 3: SetCheck(RADIO5, 1); break;
        default: break;
    }
}

// Kinds 0, 1 and 4 start a title that has no course yet with the full course.
void DefaultFullCourse(int t, int k) {
    if (COURSE(t, k) != 0) return;
    SetCheck(RADIO5, 1);
    COURSE(t, k) = 3;
}

void LayOutComic(int t, int k) {
    SetVisibleAll({&GROUP1, &RADIO1, &RADIO2, &TEXT18, &EDIT2, &TEXT19, &EDIT3, &TEXT20, &TEXT21, &BUTTON12}, 0);
    LIST_PRICE(t, k) = kFixedListPrice;
    SetText(EDIT2, "1000");
    SetText(TEXT56,
            "コンビニ等で売られている、カバー表紙が無く、直接ＩＳＢＮバーコードが裏表紙に印刷されているコミックについては"
            "取り扱っておりません。");
    SetVisible(TEXT56, -1);
    DefaultFullCourse(t, k);
    SetText(RADIO1, "通常版");
    SetText(RADIO2, "コンビニ版");
    // Only regular editions are accepted (see the notice).
    BOOK_TYPE(t, k) = 1;
    SetCheck(RADIO1, 1);
    SetCheck(RADIO2, 0);
}

void LayOutDoujin(int t, int k) {
    DefaultFullCourse(t, k);
    SetVisibleAll({&TEXT18, &EDIT2, &TEXT19, &EDIT3, &BUTTON12, &TEXT20, &TEXT21}, 0);
    SetText(RADIO1, "中綴じ版");
    SetText(RADIO2, "無線綴じ版");
    if (BOOK_TYPE(t, k) == 2) {
        PAGE_COUNT(t, k) = kPerfectBoundDoujinPages;
        SetText(EDIT3, "70");
        SetCheck(RADIO1, 0);
        SetCheck(RADIO2, 1);
    } else {
        // A saddle-stitched doujinshi has no spine to cut: cut only is not offered.
        SetEnabled(RADIO3, 0);
        if (GetCheck(RADIO3) == 1) {
            SetCheck(RADIO3, 0);
            SetCheck(RADIO5, 1);
            COURSE(t, k) = 3;
        }
        BOOK_TYPE(t, k) = 1;
        SetVisible(EDIT3, 0);
        SetCheck(RADIO1, 1);
        SetCheck(RADIO2, 0);
    }
}

void LayOutPhotoBook(int t, int k) {
    DefaultFullCourse(t, k);
    SetVisibleAll({&TEXT18, &EDIT2, &TEXT19, &EDIT3, &TEXT20, &TEXT21, &BUTTON12, &GROUP1, &RADIO1, &RADIO2}, 0);
    LIST_PRICE(t, k) = kFixedListPrice;
    SetText(EDIT2, "1000");
}

// The book-type buttons keep the name and the price typed so far, then lay the screen out for
// the new type; a doujinshi changes its preset resolution with it.
void ChooseBookType(int type) {
    const int t = CUR_TITLE, k = CUR_KIND;
    BOOK_TYPE(t, k) = type;
    TITLE_NAME(t, k) = GetText(EDIT1);
    LIST_PRICE(t, k) = StoreSingle(TextToNumber(GetText(EDIT2)));
    if (k == kDoujin) {
        SetText(BUTTON13, type == 1 ? "１２０ｄｐｉ" : "１５６ｄｐｉ");
        CUR_DPI = type == 1 ? DPI_PRESET_LOW : DPI_PRESET_HIGH;
    }
    TITLE_DPI(t, k) = CUR_DPI;
    タイトル別_SETSUB();
}

void ChooseScannedCourse(int course) {
    COURSE(CUR_TITLE, CUR_KIND) = course;
    if (REF_PRICE > 0) オプションON_SETSUB();
}

void WithdrawGift() {
    SetVisible(CHECK7, 0);
    SetCheck(CHECK7, 0);
    GIFT_FLAG(CUR_TITLE, CUR_KIND) = 0;
}

}  // namespace

void タイトル別_SETSUB() {
    const int t = CUR_TITLE, k = CUR_KIND;
    g_titleOpen = true;
    SetVisible(TEXT56, 0);
    SetVisible(FORM3, -1);
    SetVisible(FORM2, 0);
    オプション表示_SETSUB(0);

    SetVisibleAll({&TEXT18, &EDIT2, &TEXT19, &EDIT3, &TEXT28, &TEXT29, &GROUP1, &RADIO1, &RADIO2, &RADIO5, &BUTTON12},
                  -1);
    SetVisible(CHECK7, 0);

    SetText(EDIT1, TITLE_NAME(t, k));
    SetText(EDIT2, EditableNumber(LIST_PRICE(t, k)));
    SetText(EDIT3, EditableNumber(PAGE_COUNT(t, k)));

    CheckCourseButtons(COURSE(t, k));
    SetCheck(CHECK7, GIFT_FLAG(t, k) == 1 ? 1 : 0);

    SetText(FORM3, kEntryCaption[k]);
    switch (k) {
        case kComic: LayOutComic(t, k); break;
        case kDoujin: LayOutDoujin(t, k); break;
        case kPhotoBook: LayOutPhotoBook(t, k); break;
        default: break;  // magazines keep price, pages, the type buttons and the pricing button
    }

    SETDPI_SUB1();
    ScrollSetPos(HSCROLL1, CUR_DPI);

    オプションSET_SUB();
    BUTTON12_SUB();
    if (TITLE_TOTAL(t, k) > 0 && COURSE(t, k) > 1) オプション表示_SETSUB(-1);

    SetCheck(CHECK6, COMPENSATE_FLAG(t, k) == 1 ? 1 : 0);
}

void RADIO1_ON(Obj&) { ChooseBookType(1); }
void RADIO2_ON(Obj&) { ChooseBookType(2); }

void RADIO3_ON(Obj&) {
    COURSE(CUR_TITLE, CUR_KIND) = 1;
    オプションOFF_SETSUB();
    WithdrawGift();
}

void RADIO4_ON(Obj&) {
    ChooseScannedCourse(2);
    SetVisible(CHECK7, -1);
}

void RADIO5_ON(Obj&) {
    ChooseScannedCourse(3);
    WithdrawGift();
}

void CHECK7_ON(Obj&) { GIFT_FLAG(CUR_TITLE, CUR_KIND) = GetCheck(CHECK7) == 1 ? 1 : 0; }

void BUTTON12_ON(Obj&) { オプションON_SETSUB(); }

void BUTTON14_ON(Obj&) {
    const int t = CUR_TITLE, k = CUR_KIND;
    if (GetCheck(CHECK6) == 1) {
        COMPENSATE_FLAG(t, k) = 1;
        COMPENSATION_AMOUNT(t, k) = TITLE_TOTAL(t, k);
    } else {
        COMPENSATE_FLAG(t, k) = 0;
        COMPENSATION_AMOUNT(t, k) = 0;
    }
    TITLE_NAME(t, k) = GetText(EDIT1);
    // An erased name deletes the title; the "add" line left without a name is forgotten.
    if (TITLE_NAME(t, k).empty()) {
        if (t < LISTED_TITLES) {
            タイトル削除_SUB(t);
        } else {
            変数_RESETSUB();
        }
    }
    SetText(EDIT1, "");
    SetText(EDIT2, "");
    LIST1_ADD();
    ListSetTop(LIST1, t);
    SetVisible(FORM3, 0);
    SetVisible(FORM2, -1);
    g_titleOpen = false;
}

// Closed by the window manager, the screen keeps or deletes the title as 終了 does: a close
// must never lose what was typed, nor leave the title screen half-shown.
void FORM3_QUERYCLOSE(Obj& form) { BUTTON14_ON(form); }

void EDIT1_CHANGE(Obj&) {}

void ForgetOpenTitle() { g_titleOpen = false; }

KeptOrder OrderAsIfClosed() {
    if (!g_titleOpen) return OrderAsFarAsItReadsBack();
    TitleBeingTyped typed;
    typed.kind = CUR_KIND;
    typed.title = CUR_TITLE;
    typed.name = GetText(EDIT1);
    typed.compensate = GetCheck(CHECK6) == 1 ? 1 : 0;
    return OrderAsFarAsItReadsBack(&typed);
}
