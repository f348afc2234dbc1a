// An order file as large as the reader takes (121 titles of every kind, ten coupons) loaded,
// priced on the main screen's refresh, and both statements built and written to their files,
// all in-process on the headless back end. Target: under 2 ms.
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <string>

#include "app/documents/fee_summary.h"
#include "app/documents/statement_text.h"
#include "app/documents/work_fee_details.h"
#include "app/fee/fee_chain.h"
#include "app/fee/order_model.h"
#include "app/files/order_file.h"
#include "app/screens/main_routine.h"
#include "runtime/backends/headless.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/number_text.h"
#include "tests/screens/program_run.h"

namespace {

std::string MaximalOrderFile() {
    std::string file = "割引券:10\r\n";
    for (int i = 0; i < 10; ++i) file += "2612310035\r\n";
    for (int k = 0; k < kKindCount; ++k) {
        for (int t = 0; t <= kSlotUpper; ++t) {
            file += std::to_string(k) + std::to_string(1 + t % 2) + std::to_string(1 + t % 3) + (t % 7 ? "" : "1");
            file += "," + std::to_string(t % 2) + std::to_string(t % 3 == 0) + std::to_string(t % 5 == 0) +
                    std::to_string(t % 7 == 0);
            file += "," + std::to_string(100 + t * 4) + "," + std::to_string(t % 4 == 0);
            file += ",タイトル名がそれなりに長い一冊 第" + std::to_string(t + 1) + "巻\r\n";
        }
    }
    return file;
}

void BM_LoadPriceAndWriteStatements(benchmark::State& state) {
    const char* folder = std::getenv("TMPDIR");
    const Text base = Text(folder && *folder ? folder : "/tmp") + "/kalvoro-bench-";
    rt::WriteFileReplacing(base + "order.SAV", MaximalOrderFile());
    rt::HeadlessPlatform platform;
    StartProgramForTest(platform);
    for (auto _ : state) {
        std::string bytes;
        rt::ReadWholeFile(base + "order.SAV", bytes);
        const OrderFileRead order = ParseOrderFile(bytes);
        TakeOverOrder(*order.content);
        総合画面_SETSUB();
        const Text details = 作業代明細_SUB();
        const Text summary = 見積書_SUB();
        rt::WriteFileReplacing(base + "明細書.TXT", StatementFileBytes(Statement::WorkFeeDetails, details).bytes());
        rt::WriteFileReplacing(base + "見積書.TXT", StatementFileBytes(Statement::Estimate, summary).bytes());
    }
    state.SetLabel("605 titles, 10 coupons");
    EndProgramForTest();
}
BENCHMARK(BM_LoadPriceAndWriteStatements)->Unit(benchmark::kMicrosecond);

// Its steps one by one, to see where the time goes.
void BM_Step(benchmark::State& state) {
    const std::string file = MaximalOrderFile();
    rt::HeadlessPlatform platform;
    StartProgramForTest(platform);
    TakeOverOrder(*ParseOrderFile(file).content);
    総合画面_SETSUB();
    Text details;
    for (auto _ : state) {
        switch (state.range(0)) {
            case 0: benchmark::DoNotOptimize(ParseOrderFile(file)); break;
            case 1: TakeOverOrder(*ParseOrderFile(file).content); break;
            case 2: 総合画面_SETSUB(); break;
            case 3: details = 作業代明細_SUB(); break;
            case 4: benchmark::DoNotOptimize(見積書_SUB()); break;
        }
    }
    const char* names[] = {"parse", "parse and take over", "refresh", "details", "summary"};
    state.SetLabel(names[state.range(0)]);
    EndProgramForTest();
}
BENCHMARK(BM_Step)->DenseRange(0, 4)->Unit(benchmark::kMicrosecond);

}  // namespace
