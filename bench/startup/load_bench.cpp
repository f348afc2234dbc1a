// What "ロード" costs once the main screen is on show: the order file read and taken over, the
// main screen refreshed and painted again, on real widgets. measure.py sets it beside the extra
// processor time that naming the same file on the command line adds to a start, which loads
// the order before the first paint and so never paints the empty screen first.
//
//     kv_load_bench ORDER.SAV [benchmark options]
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QWidget>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/fee/fee_chain.h"
#include "app/fee/order_model.h"
#include "app/files/order_commands.h"
#include "app/screens/main_routine.h"
#include "runtime/backends/qt/qt_platform.h"
#include "runtime/values/encoding.h"
#include "runtime/window/window.h"

namespace {

std::string g_order;  // Shift-JIS

void BM_LoadAfterFirstPaint(benchmark::State& state) {
    rt::QtPlatform qt;
    rt::SetRoutineTable(ApplicationRoutines());
    rt::SetPlatform(&qt);
    rt::StartWindowLayer(qt);
    開始_SETSUB();
    総合画面_SETSUB();
    Obj main{kMainWindow};
    QWidget* window = qt.Widget(rt::WindowOf(main));
    qt.ProcessPending();
    window->repaint();
    for (auto _ : state) {
        if (!LoadOrder(main, g_order)) {
            state.SkipWithError("the order cannot be loaded");
            break;
        }
        qt.ProcessPending();
        window->repaint();
        state.PauseTiming();
        ResetOrderModel();
        総合画面_SETSUB();
        qt.ProcessPending();
        window->repaint();
        state.ResumeTiming();
    }
    rt::ResetWindowLayer();
    rt::SetPlatform(nullptr);
}
BENCHMARK(BM_LoadAfterFirstPaint)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kv_load_bench ORDER.SAV [benchmark options]\n");
        return 2;
    }
    const auto order = rt::Utf8ToSjis(argv[1]);
    if (!order) {
        std::fprintf(stderr, "kv_load_bench: %s: the name has characters Shift-JIS cannot hold\n", argv[1]);
        return 2;
    }
    g_order = *order;
    setenv("KALVORO_TODAY", "2026-12-07", 1);
    if (!std::getenv("QT_QPA_PLATFORM")) setenv("QT_QPA_PLATFORM", "offscreen", 1);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
