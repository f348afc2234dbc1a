// The main screen's own buttons and hidden boxes: a kind's title list opened under its caption, the
// end of the program, and what the hidden boxes recompute.
#include "app/screens/main_screen.h"

#include "app/fee/fee_chain.h"
#include "app/fee/order_model.h"
#include "app/fee/order_totals.h"
#include "app/forms/controls.h"
#include "app/screens/title_list.h"
#include "runtime/values/number_text.h"

namespace {

// The caption of the title list names the kind and how many titles one order may hold; the
// number keeps the blank of its sign position: "…できるのは 20冊まで）".
const char* const kListCaptionPrefix[kKindCount] = {
    "コミック　申込資料作成画面（一度に申込みできるのは",
    "同人誌　申込資料作成画面（一度に申込みできるのは",
    "中綴じ雑誌　申込資料作成画面（一度に申込みできるのは",
    "無線綴じ雑誌　申込資料作成画面（一度に申込みできるのは",
    "写真集・資料集等　申込資料作成画面（一度に申込みできるのは",
};

void OpenTitleList(int kind) {
    SetText(FORM2, Text(kListCaptionPrefix[kind]) + NumberToText(MAX_TITLES(kind)) + "冊まで）");
    SetVisible(MAINFORM, 0);
    SetVisible(FORM2, -1);
    CUR_KIND = kind;
    LIST1_ADD();
}

}  // namespace

void BUTTON1_ON(Obj&) { EndProgram(0); }

void BUTTON5_ON(Obj&) { OpenTitleList(kComic); }
void BUTTON6_ON(Obj&) { OpenTitleList(kDoujin); }
void BUTTON7_ON(Obj&) { OpenTitleList(kSaddleMagazine); }
void BUTTON8_ON(Obj&) { OpenTitleList(kPerfectMagazine); }
void BUTTON9_ON(Obj&) { OpenTitleList(kPhotoBook); }

void EDIT4_CHANGE(Obj&) { 差引_SUB(); }
void EDIT5_CHANGE(Obj&) { 差引_SUB(); }

void CHECK8_ON(Obj&) { 総合画面_SETSUB(); }
