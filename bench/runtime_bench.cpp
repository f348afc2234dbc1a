// NumberToText of a Single against snprintf("%.6g") as the yardstick, and ToFullWidth of a
// 40-byte title. Target: NumberToText no slower than twice snprintf.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "runtime/values/number_text.h"

namespace {

const float kValues[] = {1234565.0f, 22400.0f, 12.5f, 0.05f, 999999.5f, 1400.0f, 0.3f, 123456.7f};

void BM_NumberToTextSingle(benchmark::State& state) {
    size_t i = 0;
    for (auto _ : state) {
        Text t = NumberToText(kValues[i++ % std::size(kValues)]);
        benchmark::DoNotOptimize(t);
    }
}
BENCHMARK(BM_NumberToTextSingle);

void BM_SnprintfYardstick(benchmark::State& state) {
    size_t i = 0;
    char buf[32];
    for (auto _ : state) {
        int n = std::snprintf(buf, sizeof buf, "%.6g", static_cast<double>(kValues[i++ % std::size(kValues)]));
        benchmark::DoNotOptimize(n);
        benchmark::DoNotOptimize(buf);
    }
}
BENCHMARK(BM_SnprintfYardstick);

void BM_ToFullWidthTitle(benchmark::State& state) {
    // 40 bytes: half-width letters and digits, half-width kana with voiced marks, kanji.
    Text title("ONE PIECE 102 ｶﾞｲﾄﾞﾌﾞｯｸ 漢字ﾊﾟｰﾄ2 (ｺﾐｯｸ)");
    for (auto _ : state) {
        Text t = ToFullWidth(title);
        benchmark::DoNotOptimize(t);
    }
    state.SetLabel(std::to_string(title.size()) + " bytes");
}
BENCHMARK(BM_ToFullWidthTitle);

}  // namespace
