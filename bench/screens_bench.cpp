// The screens' event routines on the headless back end, with the heaviest order the screens let
// a customer build: 60 doujinshi, 20 comics, 5 photo books and ten coupons. Each case is one
// routine as an event runs it. Goal: every one under 1 ms.
#include <benchmark/benchmark.h>

#include <cstdlib>

#include "app/fee/coupon_box.h"
#include "app/fee/fee_chain.h"
#include "app/fee/order_model.h"
#include "app/fee/title_amounts.h"
#include "app/forms/controls.h"
#include "app/screens/coupons.h"
#include "app/screens/main_routine.h"
#include "app/screens/main_screen.h"
#include "app/screens/options.h"
#include "app/screens/title_entry.h"
#include "app/screens/title_list.h"
#include "runtime/backends/headless.h"
#include "tests/screens/program_run.h"

namespace {

class HeaviestOrder {
public:
    HeaviestOrder() {
        StartProgramForTest(platform);
        Fill(kComic, 20);
        Fill(kDoujin, 60);
        Fill(kPhotoBook, 5);
        for (int i = 0; i < 10; ++i) COUPON_NO(i) = "2612310035";
        総合画面_SETSUB();
    }
    ~HeaviestOrder() { EndProgramForTest(); }

    // The doujinshi list open, as the customer sees it before clicking a title.
    void OpenDoujinList() {
        BUTTON6_ON(main);
        Drain();
    }
    void ClickLine(int line) {
        platform.ListSetCurSel(rt::WindowOf(LIST1), line);
        LIST1_CLICK(main);
    }
    // The program's own SetText on edit boxes queues change events nobody handles; they are
    // dropped here as the main loop would run them.
    void Drain() {
        while (rt::PendingEvents() > 0) FormWait(main);
    }

    rt::HeadlessPlatform platform;
    Obj main{kMainWindow};

private:
    static void Fill(int kind, int count) {
        for (int t = 0; t < count; ++t) {
            CUR_KIND = kind;
            CUR_TITLE = t;
            変数_RESETSUB();
            TITLE_NAME(t, kind) = "タイトル名がそれなりに長い一冊";
            if (kind == kDoujin) BOOK_TYPE(t, kind) = 1 + t % 2;
            OPT_TRIM(t, kind) = t % 2;
            TITLE_DPI(t, kind) = 150 + t;
            GIFT_FLAG(t, kind) = t % 3 == 0 ? 1 : 0;
            RepriceCurrentTitle();
        }
        CUR_KIND = kind;
        LIST1_ADD();
    }
};

void BM_OpenTitle(benchmark::State& state) {
    HeaviestOrder order;
    order.OpenDoujinList();
    for (auto _ : state) {
        order.ClickLine(59);
        state.PauseTiming();
        order.Drain();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenTitle);

void BM_ReturnToList(benchmark::State& state) {
    HeaviestOrder order;
    order.OpenDoujinList();
    for (auto _ : state) {
        state.PauseTiming();
        order.ClickLine(30);
        order.Drain();
        state.ResumeTiming();
        BUTTON14_ON(order.main);
    }
}
BENCHMARK(BM_ReturnToList);

void BM_ReturnToMainScreen(benchmark::State& state) {
    HeaviestOrder order;
    for (auto _ : state) {
        state.PauseTiming();
        order.OpenDoujinList();
        state.ResumeTiming();
        BUTTON11_ON(order.main);
    }
}
BENCHMARK(BM_ReturnToMainScreen);

void BM_SliderStep(benchmark::State& state) {
    HeaviestOrder order;
    order.OpenDoujinList();
    order.ClickLine(59);
    order.Drain();
    int pos = 100;
    for (auto _ : state) {
        ScrollSetPos(HSCROLL1, pos);
        HSCROLL1_CHANGE(order.main);
        pos = pos == 500 ? 100 : pos + 1;
    }
}
BENCHMARK(BM_SliderStep);

void BM_CouponRegistration(benchmark::State& state) {
    HeaviestOrder order;
    for (auto _ : state) {
        // With ten registered, a chosen one is replaced.
        state.PauseTiming();
        COUPON_SEL = 9;
        SetText(COMBO1, "2612310045");
        state.ResumeTiming();
        BUTTON15_ON(order.main);
    }
}
BENCHMARK(BM_CouponRegistration);

}  // namespace
