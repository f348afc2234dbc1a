// The order's globals, the names of the book kinds, the start-up values (today's date, the
// special-discount months, the resolution presets, the title limits) and the defaults of a new
// title.
#include "app/fee/order_model.h"

#include "runtime/values/number_text.h"

Array<Text> TITLE_NAME{kSlotUpper, 4};
Array<Single> LIST_PRICE{kSlotUpper, 4};
Array<Int16> PAGE_COUNT{kSlotUpper, 4};
Array<Int16> BOOK_TYPE{kSlotUpper, 4};
Array<Int16> COURSE{kSlotUpper, 4};
Array<Int16> OPT_WORKS{kSlotUpper, 4};
Array<Int16> OPT_NO_MOIRE{kSlotUpper, 4};
Array<Int16> OPT_NO_SPREAD{kSlotUpper, 4};
Array<Int16> OPT_TRIM{kSlotUpper, 4};
Array<Int16> TITLE_DPI{kSlotUpper, 4};
Array<Int16> GIFT_FLAG{kSlotUpper, 4};
Array<Int16> COMPENSATE_FLAG{kSlotUpper, 4};
Array<Single> COMPENSATION_AMOUNT{kSlotUpper, 4};
Array<Single> TITLE_TOTAL{kSlotUpper, 4};

Array<Int16> MAX_TITLES{4};
Array<Int16> TITLE_COUNT{4};
Array<Int16> GIFT_COUNT{4};
Array<Single> KIND_SUBTOTAL{4};

Array<Text> COUPON_NO{10};
Int16 COUPON_COUNT;

Single WORK_FEE, MEDIA_FEE, RETURN_SHIPPING, SUBTOTAL, COUPON_DISCOUNT, SPECIAL_DISCOUNT,
    BOX_DISCOUNT, BOX_DISCOUNT_COMIC, BOX_DISCOUNT_DOUJIN, DISCOUNT_TOTAL, COMPENSATION_TOTAL,
    GRAND_TOTAL, ADVANCE_PAYMENT, ADJUST_DISCOUNT;
Text CUSTOMER_NAME;
Int16 TOTAL_TITLES, TOTAL_GIFTS;
Single GIFT_QUOTA;

Int16 CUR_KIND, CUR_TITLE, CUR_DPI;
Single REF_PRICE, CUT_FEE, SCAN_FEE, REBIND_FEE, COURSE_FEE, BASIC_AMOUNT, OPT_WORKS_FEE,
    OPT_NOSPREAD_FEE, OPT_TRIM_FEE, OPT_DPI_FEE, OPTION_AMOUNT;

Text TODAY_DATE, TODAY_YEAR, TODAY_MONTH, TODAY_DAY;
Double TODAY_MMDD;
Int16 SPECIAL_PERIOD, DPI_PRESET_HIGH, DPI_PRESET_LOW;

Array<Text> DOC_LINE{250};

Int16 COMMAND;
Text FILE_PATH, LAST_DIR;

Text KindName(int kind) {
    switch (kind) {
        case kComic: return "コミック";
        case kDoujin: return "同人誌";
        case kSaddleMagazine: return "中綴じ雑誌";
        case kPerfectMagazine: return "無線綴じ雑誌";
        case kPhotoBook: return "写真集・資料集等";
        default: return Text();
    }
}

void 起動_SUB() {
    TODAY_DATE = TodayText();
    TODAY_YEAR = TextMid(TODAY_DATE, 1, 4);
    TODAY_MONTH = TextMid(TODAY_DATE, 6, 2);
    TODAY_DAY = TextMid(TODAY_DATE, 9, 2);
    TODAY_MMDD = TextToNumber(TODAY_MONTH) * 100 + TextToNumber(TODAY_DAY);

    // The special-discount months are January and May, decided once for the whole run.
    if (TODAY_MMDD >= 101 && TODAY_MMDD <= 131) SPECIAL_PERIOD = 1;
    if (TODAY_MMDD >= 501 && TODAY_MMDD <= 531) SPECIAL_PERIOD = 1;

    DPI_PRESET_HIGH = 156;
    DPI_PRESET_LOW = 120;

    MAX_TITLES(kComic) = 20;
    MAX_TITLES(kDoujin) = 60;
    MAX_TITLES(kSaddleMagazine) = 6;
    MAX_TITLES(kPerfectMagazine) = 6;
    MAX_TITLES(kPhotoBook) = 5;
}

Int16 既定DPI(int kind, int bookType) {
    // Saddle-stitched work (magazines of kind 2 and doujinshi of type 1) is scanned lower.
    if (kind == kSaddleMagazine || (kind == kDoujin && bookType == 1)) return DPI_PRESET_LOW;
    return DPI_PRESET_HIGH;
}

void 変数_RESETSUB() {
    const int t = CUR_TITLE, k = CUR_KIND;
    TITLE_NAME(t, k) = "";
    TITLE_TOTAL(t, k) = 0;
    COMPENSATION_AMOUNT(t, k) = 0;
    COMPENSATE_FLAG(t, k) = 0;
    LIST_PRICE(t, k) = 0;
    PAGE_COUNT(t, k) = 0;
    BOOK_TYPE(t, k) = (k == kComic || k == kDoujin) ? 1 : 0;
    COURSE(t, k) = (k == kSaddleMagazine || k == kPerfectMagazine) ? 2 : 3;
    OPT_WORKS(t, k) = 0;
    OPT_NO_MOIRE(t, k) = 0;
    OPT_NO_SPREAD(t, k) = 0;
    OPT_TRIM(t, k) = 0;
    TITLE_DPI(t, k) = 既定DPI(k, BOOK_TYPE(t, k));
    GIFT_FLAG(t, k) = 0;
}

void ResetOrderModel() {
    for (auto* a : {&TITLE_NAME, &COUPON_NO, &DOC_LINE}) a->Erase();
    TITLE_NAME.Declare({kSlotUpper, 4});
    COUPON_NO.Declare({10});
    DOC_LINE.Declare({250});
    for (auto* a : {&LIST_PRICE, &COMPENSATION_AMOUNT, &TITLE_TOTAL}) {
        a->Erase();
        a->Declare({kSlotUpper, 4});
    }
    for (auto* a : {&PAGE_COUNT, &BOOK_TYPE, &COURSE, &OPT_WORKS, &OPT_NO_MOIRE, &OPT_NO_SPREAD,
                    &OPT_TRIM, &TITLE_DPI, &GIFT_FLAG, &COMPENSATE_FLAG}) {
        a->Erase();
        a->Declare({kSlotUpper, 4});
    }
    for (auto* a : {&MAX_TITLES, &TITLE_COUNT, &GIFT_COUNT}) {
        a->Erase();
        a->Declare({4});
    }
    KIND_SUBTOTAL.Erase();
    KIND_SUBTOTAL.Declare({4});

    for (Single* s : {&WORK_FEE, &MEDIA_FEE, &RETURN_SHIPPING, &SUBTOTAL, &COUPON_DISCOUNT,
                      &SPECIAL_DISCOUNT, &BOX_DISCOUNT, &BOX_DISCOUNT_COMIC, &BOX_DISCOUNT_DOUJIN,
                      &DISCOUNT_TOTAL, &COMPENSATION_TOTAL, &GRAND_TOTAL, &ADVANCE_PAYMENT,
                      &ADJUST_DISCOUNT, &GIFT_QUOTA, &REF_PRICE, &CUT_FEE, &SCAN_FEE, &REBIND_FEE,
                      &COURSE_FEE, &BASIC_AMOUNT, &OPT_WORKS_FEE, &OPT_NOSPREAD_FEE, &OPT_TRIM_FEE,
                      &OPT_DPI_FEE, &OPTION_AMOUNT})
        *s = 0;
    for (Int16* i : {&COUPON_COUNT, &TOTAL_TITLES, &TOTAL_GIFTS, &CUR_KIND, &CUR_TITLE, &CUR_DPI,
                     &SPECIAL_PERIOD, &DPI_PRESET_HIGH, &DPI_PRESET_LOW, &COMMAND})
        *i = 0;
    for (Text* t : {&TODAY_DATE, &TODAY_YEAR, &TODAY_MONTH, &TODAY_DAY, &FILE_PATH, &LAST_DIR, &CUSTOMER_NAME}) *t = Text();
    TODAY_MMDD = 0;
}
