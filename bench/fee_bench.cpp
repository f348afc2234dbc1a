// The fee engine on the largest order a saved file can hold: 121 titles of each of the five
// kinds and ten coupons. Every title is priced again, every kind subtotalled, then the main
// screen's refresh runs (on the headless back end) or only its computations.
// Target: under 100 µs for the whole refresh.
#include <benchmark/benchmark.h>

#include "app/fee/amount_text.h"
#include "app/fee/coupon_box.h"
#include "app/fee/fee_chain.h"
#include "app/fee/order_model.h"
#include "app/fee/order_totals.h"
#include "app/fee/title_amounts.h"
#include "app/forms/controls.h"
#include "runtime/backends/headless.h"

namespace {

void FillMaximalOrder() {
    ResetOrderModel();
    DPI_PRESET_HIGH = 156;
    DPI_PRESET_LOW = 120;
    for (int k = 0; k < kKindCount; ++k) {
        for (int t = 0; t <= kSlotUpper; ++t) {
            CUR_KIND = k;
            CUR_TITLE = t;
            変数_RESETSUB();
            TITLE_NAME(t, k) = "title";
            LIST_PRICE(t, k) = 1000;
            PAGE_COUNT(t, k) = 50 + t * 3;
            if (k == kDoujin) BOOK_TYPE(t, k) = 1 + t % 2;
            COURSE(t, k) = 1 + t % 3;
            OPT_WORKS(t, k) = t % 2;
            OPT_NO_MOIRE(t, k) = t % 3 == 0 ? 1 : 0;
            OPT_NO_SPREAD(t, k) = t % 5 == 0 ? 1 : 0;
            OPT_TRIM(t, k) = t % 7 == 0 ? 1 : 0;
            TITLE_DPI(t, k) = 100 + t * 4;
            GIFT_FLAG(t, k) = t % 4 == 0 ? 1 : 0;
            if (GIFT_FLAG(t, k) == 1) GIFT_COUNT(k) = GIFT_COUNT(k) + 1;
        }
        TITLE_COUNT(k) = kSlotUpper + 1;
    }
    for (int i = 0; i < 10; ++i) COUPON_NO(i) = i % 2 ? "2612310045" : "2612310037";
    SPECIAL_PERIOD = 1;
}

void RepriceEveryTitle() {
    for (int k = 0; k < kKindCount; ++k) {
        CUR_KIND = k;
        for (int t = 0; t < TITLE_COUNT(k); ++t) {
            CUR_TITLE = t;
            RepriceCurrentTitle();
        }
        小合計_SUB();
    }
}

void BM_FeeChainMaximalOrder(benchmark::State& state) {
    rt::HeadlessPlatform platform;
    rt::SetPlatform(&platform);
    rt::StartWindowLayer(platform);
    FillMaximalOrder();
    フォーム読込_SUB();
    for (auto _ : state) {
        RepriceEveryTitle();
        総合画面_SETSUB();
        benchmark::DoNotOptimize(GRAND_TOTAL);
    }
    state.SetLabel("605 titles, 10 coupons");
    rt::ResetWindowLayer();
    rt::SetPlatform(nullptr);
}
BENCHMARK(BM_FeeChainMaximalOrder);

// The same figures without the window layer: what the refresh costs in the fee engine itself.
void BM_FeeComputationMaximalOrder(benchmark::State& state) {
    FillMaximalOrder();
    for (auto _ : state) {
        RepriceEveryTitle();
        ComputeOrderFigures();
        for (Single amount : {WORK_FEE, MEDIA_FEE, RETURN_SHIPPING, SUBTOTAL, GRAND_TOTAL}) {
            Text shown = FullWidthYen(amount);
            benchmark::DoNotOptimize(shown);
        }
        Text discounts = PlainYen(SPECIAL_DISCOUNT) + PlainYen(BOX_DISCOUNT) + PlainYen(COUPON_DISCOUNT);
        benchmark::DoNotOptimize(discounts);
    }
    state.SetLabel("605 titles, 10 coupons");
}
BENCHMARK(BM_FeeComputationMaximalOrder);

}  // namespace
