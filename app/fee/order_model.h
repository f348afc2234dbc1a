#pragma once
// The order: one set of globals that every routine of the program reads and writes. Titles are
// kept per book kind in slots 0, 1, 2, … without gaps; per-title arrays are (slot 0..120,
// kind 0..4), per-kind arrays 0..4.
#include "runtime/values/array.h"
#include "runtime/values/text.h"

inline constexpr int kKindCount = 5;
inline constexpr int kSlotUpper = 120;

// Book kinds.
enum Kind : int { kComic = 0, kDoujin = 1, kSaddleMagazine = 2, kPerfectMagazine = 3, kPhotoBook = 4 };
// The names shown on screens and in documents.
Text KindName(int kind);

// Per-title values.
extern Array<Text> TITLE_NAME;
extern Array<Single> LIST_PRICE;
extern Array<Int16> PAGE_COUNT;
extern Array<Int16> BOOK_TYPE;
extern Array<Int16> COURSE;
extern Array<Int16> OPT_WORKS;
extern Array<Int16> OPT_NO_MOIRE;
extern Array<Int16> OPT_NO_SPREAD;
extern Array<Int16> OPT_TRIM;
extern Array<Int16> TITLE_DPI;
extern Array<Int16> GIFT_FLAG;
extern Array<Int16> COMPENSATE_FLAG;
extern Array<Single> COMPENSATION_AMOUNT;
extern Array<Single> TITLE_TOTAL;

// Per-kind values.
extern Array<Int16> MAX_TITLES;
extern Array<Int16> TITLE_COUNT;
extern Array<Int16> GIFT_COUNT;
extern Array<Single> KIND_SUBTOTAL;

// Coupons: slots 0..9 used, each a 10-digit coupon number; slot 10 stays empty.
inline constexpr int kMostCoupons = 10;
extern Array<Text> COUPON_NO;
extern Int16 COUPON_COUNT;

// Order-wide inputs and results.
extern Single WORK_FEE;            // ④
extern Single MEDIA_FEE;           // ⑤
extern Single RETURN_SHIPPING;     // ⑥
extern Single SUBTOTAL;            // ⑦
extern Single COUPON_DISCOUNT;     // ⑧
extern Single SPECIAL_DISCOUNT;    // ⑨
extern Single BOX_DISCOUNT;        // ⑩
extern Single BOX_DISCOUNT_COMIC;
extern Single BOX_DISCOUNT_DOUJIN;
extern Single DISCOUNT_TOTAL;      // ⑫
extern Single COMPENSATION_TOTAL;  // ⑬
extern Single GRAND_TOTAL;         // ⑭
extern Single ADVANCE_PAYMENT;
extern Single ADJUST_DISCOUNT;
extern Text CUSTOMER_NAME;  // from a loaded order only; shown in the hidden EDIT7
extern Int16 TOTAL_TITLES;
extern Int16 TOTAL_GIFTS;
extern Single GIFT_QUOTA;

// Working values of the title being edited or recomputed.
extern Int16 CUR_KIND;
extern Int16 CUR_TITLE;
extern Int16 CUR_DPI;
extern Single REF_PRICE;
extern Single CUT_FEE;
extern Single SCAN_FEE;
extern Single REBIND_FEE;
extern Single COURSE_FEE;
extern Single BASIC_AMOUNT;
extern Single OPT_WORKS_FEE;
extern Single OPT_NOSPREAD_FEE;
extern Single OPT_TRIM_FEE;
extern Single OPT_DPI_FEE;
extern Single OPTION_AMOUNT;

// Dates and start-up values.
extern Text TODAY_DATE;
extern Text TODAY_YEAR;
extern Text TODAY_MONTH;
extern Text TODAY_DAY;
extern Double TODAY_MMDD;
extern Int16 SPECIAL_PERIOD;
extern Int16 DPI_PRESET_HIGH;
extern Int16 DPI_PRESET_LOW;

// The shared line buffer that 文字列整理_SUB aligns, 0..250.
extern Array<Text> DOC_LINE;

// The command code of the main wait loop, and the file dialogs' last path and starting folder.
extern Int16 COMMAND;
extern Text FILE_PATH;
extern Text LAST_DIR;

// The order-model part of the start-up step: today's date, the special-discount window, the
// resolution presets and the per-kind title limits.
void 起動_SUB();

// Empties the title slot (CUR_TITLE, CUR_KIND) for a new title.
void 変数_RESETSUB();

// The resolution preset of the current title's kind and book type.
Int16 既定DPI(int kind, int bookType);

// Puts every global of the order back to the state a new process starts with: no titles, no
// coupons, no date read, no limits set, every working value and DOC_LINE empty. The batch
// commands start each order from it, so that no order is priced with what the one before left.
void ResetOrderModel();
