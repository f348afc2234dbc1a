#pragma once
// The shop's prices: course fees per book kind, the resolution surcharge bands, the media fee
// units and the fixed amounts of the order totals. Everything here is yen per title unless said
// otherwise; the routines of title_amounts.cpp and order_totals.cpp apply them.
#include <cstdint>

#include "app/fee/order_model.h"

struct CourseFees {
    Single cut;     // 解体料
    Single scan;    // 取り込み料
    Single rebind;  // データ化再製本料 (the rebinding part)
};

// Indexed by kind. Magazines are priced like the doujinshi and comics they resemble: a
// saddle-stitched magazine has no spine to cut, a perfect-bound one is thicker than a comic.
inline constexpr CourseFees kCourseFees[kKindCount] = {
    {200, 800, 400},   // コミック
    {0, 100, 25},      // 同人誌, 中綴じ版 (BOOK_TYPE 1)
    {0, 300, 100},     // 中綴じ雑誌
    {200, 1000, 400},  // 無線綴じ雑誌
    {200, 800, 400},   // 写真集・資料集等
};
// A perfect-bound doujinshi (BOOK_TYPE 2) has a spine to cut.
inline constexpr CourseFees kPerfectBoundDoujinFees = {80, 200, 100};

// The reference price of a doujinshi does not depend on its printed price.
inline constexpr Single kDoujinRefPriceSaddle = 50;
inline constexpr Single kDoujinRefPricePerfect = 10;

// 目次の作品別に編集.
inline constexpr Single kWorksOptionFee = 100;
// 見開きページ化しない takes a tenth of the scan fee off; the factor is a single-precision
// constant, so 800 × 0.1f is a little above 80 and still gives exactly 80 after INT.
inline constexpr Single kNoSpreadFactor = 0.1f;

// Resolution surcharge: a band starts at `lowest` dpi and runs up to the next band's start.
// Below the first band a resolution costs nothing.
enum class DpiSurcharge { HalfScanFee, TwiceScanFee, ThreeTimesScanFee, FiveTimesScanFee };
struct DpiBand {
    int16_t lowest;
    DpiSurcharge surcharge;
};

// Table A: comics, perfect-bound magazines, photo books and perfect-bound doujinshi; one pair
// of tables for titles scanned without moiré removal (OPT_NO_MOIRE 1), one for the others.
inline constexpr DpiBand kDpiTableANoMoire[] = {{251, DpiSurcharge::HalfScanFee},
                                                 {451, DpiSurcharge::TwiceScanFee}};
inline constexpr DpiBand kDpiTableAMoire[] = {{167, DpiSurcharge::HalfScanFee},
                                               {334, DpiSurcharge::FiveTimesScanFee}};
// Table B: saddle-stitched magazines and saddle-stitched doujinshi, scanned at 120 dpi by default.
inline constexpr DpiBand kDpiTableBNoMoire[] = {{150, DpiSurcharge::HalfScanFee},
                                                 {300, DpiSurcharge::TwiceScanFee},
                                                 {350, DpiSurcharge::ThreeTimesScanFee}};
inline constexpr DpiBand kDpiTableBMoire[] = {{188, DpiSurcharge::TwiceScanFee},
                                               {251, DpiSurcharge::ThreeTimesScanFee}};

// Media fee: one unit per started group of scanned titles for kinds 0–2, one unit per scanned
// title for kinds 3 and 4. A full group already opens the next unit: 9 scanned comics take
// one unit, 10 take two.
inline constexpr Single kMediaUnitFee = 50;
inline constexpr int kTitlesPerMedium[kKindCount] = {10, 40, 3, 0, 0};  // 0: one unit per title

// Return shipping of a small single-kind order: the largest title count of each kind that still
// counts as small.
inline constexpr Single kReturnShippingFee = 500;
inline constexpr int kSmallOrderMost[kKindCount] = {2, 5, 1, 1, 1};
// The shop bears the shipping when at least this share of the titles is given to it.
inline constexpr Single kGiftShare = 0.7f;

// Box discount: every full box takes a twentieth of the kind's subtotal off.
inline constexpr int kBoxDiscountDivisor = 20;
inline constexpr int kComicsPerBox = 15;
inline constexpr int kDoujinPerBox = 40;

// A coupon number that is accepted but rules out the special discount when it is one of the
// first two registered.
inline constexpr const char* kSpecialDiscountBarCoupon = "9912310342";
