// One title priced: its reference price, the fees of its kind and course, its options and
// resolution surcharge from the price tables, and its total.
#include "app/fee/title_amounts.h"

#include <span>

#include "app/fee/order_model.h"
#include "app/fee/price_tables.h"
#include "app/forms/controls.h"
#include "runtime/values/number_text.h"

// Amounts are formed in double and rounded to single only when stored, so every expression
// below widens its first operand before the arithmetic.

void 基準価格_SUB() {
    const int t = CUR_TITLE, k = CUR_KIND;
    switch (k) {
        case kComic:
            // A convenience-store edition is priced at its full list price, a regular edition at
            // half of it.
            if (BOOK_TYPE(t, k) == 2) {
                REF_PRICE = LIST_PRICE(t, k);
            } else {
                REF_PRICE = StoreSingle(IntDiv(LIST_PRICE(t, k), 2));
            }
            break;
        case kDoujin:
            REF_PRICE = BOOK_TYPE(t, k) == 2 ? kDoujinRefPricePerfect : kDoujinRefPriceSaddle;
            break;
        case kSaddleMagazine:
            REF_PRICE = LIST_PRICE(t, k);
            break;
        case kPerfectMagazine:
            // Every started block of 200 pages counts as one list price: 199 pages once,
            // 200 pages twice.
            REF_PRICE = StoreSingle((static_cast<double>(IntDiv(PAGE_COUNT(t, k), 200)) + 1) * LIST_PRICE(t, k));
            break;
        case kPhotoBook:
            REF_PRICE = LIST_PRICE(t, k);
            break;
        default:
            break;
    }
}

void コース料_SUB() {
    const int t = CUR_TITLE, k = CUR_KIND;
    COURSE_FEE = 0;
    if (k >= 0 && k < kKindCount) {
        const CourseFees& fees =
            (k == kDoujin && BOOK_TYPE(t, k) == 2) ? kPerfectBoundDoujinFees : kCourseFees[k];
        CUT_FEE = fees.cut;
        SCAN_FEE = fees.scan;
        REBIND_FEE = fees.rebind;
    }
    switch (COURSE(t, k)) {
        case 1: COURSE_FEE = CUT_FEE; break;
        case 2: COURSE_FEE = StoreSingle(static_cast<double>(CUT_FEE) + SCAN_FEE); break;
        case 3: COURSE_FEE = StoreSingle(static_cast<double>(CUT_FEE) + SCAN_FEE + REBIND_FEE); break;
        default: break;  // no course chosen: the title costs nothing yet
    }
}

void 基本金額_SUB1() {
    基準価格_SUB();
    コース料_SUB();
    BASIC_AMOUNT = COURSE_FEE;
}

void 基本金額_SUB() {
    const int t = CUR_TITLE, k = CUR_KIND;
    LIST_PRICE(t, k) = StoreSingle(TextToNumber(GetText(EDIT2)));
    // A page count beyond the 16-bit range stops the program with the overflow error.
    PAGE_COUNT(t, k) = Int16(TextToNumber(GetText(EDIT3)));
    基本金額_SUB1();
}

namespace {

// OPT_DPI_FEE for CUR_DPI from the bands of one table: the last band that CUR_DPI reaches.
void ApplyDpiBands(std::span<const DpiBand> bands) {
    OPT_DPI_FEE = 0;
    const int d = CUR_DPI;
    for (const DpiBand& band : bands) {
        if (d < band.lowest) break;
        switch (band.surcharge) {
            case DpiSurcharge::HalfScanFee: OPT_DPI_FEE = StoreSingle(IntDiv(SCAN_FEE, 2)); break;
            case DpiSurcharge::TwiceScanFee: OPT_DPI_FEE = StoreSingle(static_cast<double>(SCAN_FEE) * 2); break;
            case DpiSurcharge::ThreeTimesScanFee: OPT_DPI_FEE = StoreSingle(static_cast<double>(SCAN_FEE) * 3); break;
            case DpiSurcharge::FiveTimesScanFee: OPT_DPI_FEE = StoreSingle(static_cast<double>(SCAN_FEE) * 5); break;
        }
    }
}

bool WithoutMoireRemoval() { return OPT_NO_MOIRE(CUR_TITLE, CUR_KIND) == 1; }

}  // namespace

void オプション7_SUB1() {
    if (WithoutMoireRemoval()) {
        ApplyDpiBands(kDpiTableANoMoire);
    } else {
        ApplyDpiBands(kDpiTableAMoire);
    }
}

void オプション7_SUB2() {
    if (WithoutMoireRemoval()) {
        ApplyDpiBands(kDpiTableBNoMoire);
    } else {
        ApplyDpiBands(kDpiTableBMoire);
    }
}

void オプション金額_SUB1() {
    const int t = CUR_TITLE, k = CUR_KIND;
    OPT_WORKS_FEE = OPT_WORKS(t, k) == 1 ? kWorksOptionFee : 0;
    // The product is formed in double from the single constant: 800 × 0.1f = 80.0000012, so
    // INT gives 80 and not 79.
    OPT_NOSPREAD_FEE =
        OPT_NO_SPREAD(t, k) == 1 ? StoreSingle(-FloorValue(static_cast<double>(SCAN_FEE) * kNoSpreadFactor)) : 0;
    OPT_TRIM_FEE = OPT_TRIM(t, k) == 1 ? SCAN_FEE : 0;
    CUR_DPI = TITLE_DPI(t, k);
    switch (k) {
        case kComic:
        case kPerfectMagazine:
        case kPhotoBook:
            オプション7_SUB1();
            break;
        case kDoujin:
            if (BOOK_TYPE(t, k) == 2) {
                オプション7_SUB1();
            } else {
                オプション7_SUB2();
            }
            break;
        case kSaddleMagazine:
            オプション7_SUB2();
            break;
        default:
            break;
    }
}

void オプション金額_SUB() {
    OPTION_AMOUNT =
        StoreSingle(static_cast<double>(OPT_WORKS_FEE) + OPT_NOSPREAD_FEE + OPT_TRIM_FEE + OPT_DPI_FEE);
}

void タイトル別合計_SUB() {
    TITLE_TOTAL(CUR_TITLE, CUR_KIND) = StoreSingle(static_cast<double>(BASIC_AMOUNT) + OPTION_AMOUNT);
}

void RepriceCurrentTitle() {
    基本金額_SUB1();
    オプション金額_SUB1();
    オプション金額_SUB();
    タイトル別合計_SUB();
}
