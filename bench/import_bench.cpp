// Splitting an import line as long as a line may be (32,767 bytes) against one of 1 KB, both
// made of quoted fields full of doubled quotes. The cut looks at each byte once, so the long
// line should take about 32 times as long as the short one, not about 1,000 times.
#include <benchmark/benchmark.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "app/fee/order_model.h"
#include "app/files/import_file.h"
#include "app/screens/import_screen.h"
#include "runtime/backends/headless.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "tests/screens/program_run.h"

namespace {

// Quoted fields of 56 bytes — a title with doubled quotes and double-byte characters — cut or
// padded with letters to exactly the given length.
Text LineOfQuotedFields(size_t bytes) {
    const std::string field = "\"表題\"\"第一巻\"\"ab\"\"\"\"cd\"\"ソ\"\"xyz\"\"12\"\"\"\"3\"\"456\"\"789\"\"0\",";
    std::string line;
    while (line.size() < bytes) line += field;
    line.resize(bytes);
    return Text(std::move(line));
}

// One quoted field of doubled quotes only: the line that costs most when the rest of the line is
// searched again after every doubled quote.
Text LineOfDoubledQuotes(size_t bytes) { return Text("\"" + std::string(bytes - 1, '"')); }

void Split(benchmark::State& state, const Text& line) {
    for (auto _ : state) benchmark::DoNotOptimize(SplitImportLine(line, ImportLine::Later, INT_MAX));
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(line.size()));
}

void BM_ImportSplitQuotedFields(benchmark::State& state) {
    Split(state, LineOfQuotedFields(static_cast<size_t>(state.range(0))));
}
BENCHMARK(BM_ImportSplitQuotedFields)->Arg(1024)->Arg(32767);

void BM_ImportSplitOneFieldOfDoubledQuotes(benchmark::State& state) {
    Split(state, LineOfDoubledQuotes(static_cast<size_t>(state.range(0))));
}
BENCHMARK(BM_ImportSplitOneFieldOfDoubledQuotes)->Arg(1024)->Arg(32767);


// Reads the file at `path` for an empty comic list in every round, as command 1 does.
void ImportEveryRound(benchmark::State& state, rt::HeadlessPlatform& platform, const Text& path) {
    StartProgramForTest(platform);  // an empty comic list, whatever ran before
    for (auto _ : state) {
        platform.QueueAnswer(rt::Answer::Ok);  // the limit of the kind
        FILE_PATH = path;
        IMPORT_KIND = 0;
        CUR_KIND = 0;
        COMMAND = kReadImportFile;
        インポート_SUB();
    }
}

// A customer's file of 100,000 lines imported into an empty comic list: the file read and the
// fields of the lines the kind has room for split, the step the screen waits for (command 1).
void BM_ImportReadHundredThousandLines(benchmark::State& state) {
    const char* folder = std::getenv("TMPDIR");
    const Text path = Text(folder && *folder ? folder : "/tmp") + "/kalvoro-bench-many.CSV";
    std::string file = "題名,巻\r\n";
    for (int i = 1; i <= 100000; ++i) file += "Title" + std::to_string(i) + "," + std::to_string(i % 7) + "\r\n";
    rt::WriteFileReplacing(path, file);
    rt::HeadlessPlatform platform;
    ImportEveryRound(state, platform, path);
    state.SetLabel("100,000 lines, room for 20");
    EndProgramForTest();
}
BENCHMARK(BM_ImportReadHundredThousandLines)->Unit(benchmark::kMicrosecond);

// The same 100,000 lines of Japanese titles as a Shift-JIS file with CR LF and as a UTF-8 file
// with LF, read for an empty comic list. A UTF-8 file is told and converted by the lines the
// kind has room for, so it should cost little more than the Shift-JIS one (within 1.5 times),
// however long the file.
enum class Written { ShiftJisCrLf, Utf8Lf };

void BM_ImportReadHundredThousandJapaneseLines(benchmark::State& state) {
    const Written written = static_cast<Written>(state.range(0));
    const char* folder = std::getenv("TMPDIR");
    const Text path = Text(folder && *folder ? folder : "/tmp") + "/kalvoro-bench-japanese.CSV";
    const char* end = written == Written::Utf8Lf ? "\n" : "\r\n";
    std::string file = std::string("題名,巻") + end;
    for (int i = 1; i <= 100000; ++i)
        file += "ワンピース第" + std::to_string(i) + "巻,集英社" + std::to_string(i % 7) + end;
    if (written == Written::Utf8Lf) file = *rt::SjisToUtf8(file);
    rt::WriteFileReplacing(path, file);
    rt::HeadlessPlatform platform;
    ImportEveryRound(state, platform, path);
    // Both files must give the same fields, or the two figures measure different work.
    if (FIELD_TEXT(1, 0) != Text("ワンピース第1巻")) state.SkipWithError("the file was not read as Shift-JIS text");
    state.SetLabel(written == Written::Utf8Lf ? "UTF-8, LF" : "Shift-JIS, CR LF");
    EndProgramForTest();
}
BENCHMARK(BM_ImportReadHundredThousandJapaneseLines)
    ->Arg(static_cast<int>(Written::ShiftJisCrLf))
    ->Arg(static_cast<int>(Written::Utf8Lf))
    ->Unit(benchmark::kMicrosecond);

}  // namespace
