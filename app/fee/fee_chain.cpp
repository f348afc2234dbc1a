// The main screen's refresh: with the form hidden, each order total computed again in its turn and
// its figure written, then the form shown once.
#include "app/fee/fee_chain.h"

#include "app/fee/amount_text.h"
#include "app/fee/coupon_box.h"
#include "app/fee/order_model.h"
#include "app/fee/order_totals.h"
#include "app/forms/controls.h"

void 総合画面_SETSUB() {
    // The form stays hidden while its figures change, so no half-refreshed screen is seen.
    SetVisible(FORM2, 0);
    SetVisible(MAINFORM, 0);
    // The discount figures are shown again below only when their discount applies.
    SetVisible(TEXT15, 0);
    SetVisible(TEXT16, 0);
    SetVisible(TEXT39, 0);
    SetVisible(TEXT40, 0);

    // The subtotals of kinds 1 to 3 are written as well, although their boxes are never shown.
    const Obj* subtotalBoxes[kKindCount] = {&TEXT41, &TEXT42, &TEXT43, &TEXT44, &TEXT45};
    for (int k = 0; k < kKindCount; ++k) SetText(*subtotalBoxes[k], FullWidthYen(KIND_SUBTOTAL(k)));

    作業代_SUB();
    SetText(TEXT2, FullWidthYen(WORK_FEE));

    メディア代_SUB();
    SetText(TEXT4, FullWidthYen(MEDIA_FEE));

    CountTitlesAndGifts();
    送料_SUB();
    SetText(TEXT6, ReturnShippingText());

    小計_SUB();
    SetText(TEXT8, FullWidthYen(SUBTOTAL));

    特別割_SUB();
    箱割_SUB();

    CountRegisteredCoupons();
    COMBO1_ADD();
    クーポン割_SUB();

    割引額_SUB();
    補償額_SUB();
    総合計金額_SUB();
    SetText(TEXT12, FullWidthYen(GRAND_TOTAL));

    SetVisible(MAINFORM, -1);
}
