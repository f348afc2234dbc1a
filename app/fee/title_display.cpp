// The figures of the title entry screen (FORM3): the current title's prices and total in full-width
// digits.
#include "app/fee/title_display.h"

#include "app/fee/amount_text.h"
#include "app/fee/order_model.h"
#include "app/fee/title_amounts.h"
#include "app/forms/controls.h"

void 基本金額表示_SUB() {
    基本金額_SUB();
    SetText(TEXT21, FullWidthAmount(REF_PRICE));
    SetText(TEXT25, FullWidthAmount(CUT_FEE));
    SetText(TEXT27, FullWidthAmount(SCAN_FEE));
    // The rebinding course is offered as one price: scanning and rebinding together.
    SetText(TEXT29, FullWidthAmount(StoreSingle(static_cast<double>(SCAN_FEE) + REBIND_FEE)));
    SetText(TEXT23, FullWidthAmount(BASIC_AMOUNT));
}

void タイトル別合計表示_SUB() {
    オプション金額_SUB();
    タイトル別合計_SUB();
    SetText(TEXT38, FullWidthAmount(TITLE_TOTAL(CUR_TITLE, CUR_KIND)));
}
