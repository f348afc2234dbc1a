// Any bytes as a customer's title-data file: each line split by the import's splitter, then the
// file imported through the title list's "ユーザーデータからタイトル名取得" with fields chosen and
// the titles transferred, as a customer would. The first byte also picks the kind and the
// choices, so the fuzzer varies them with the file.
#include "app/fee/order_model.h"
#include "app/files/import_file.h"
#include "fuzz/fuzz_support.h"
#include "runtime/files/text_reader.h"

namespace {

void SplitEveryLine(const std::string& bytes, int mostFields) {
    rt::TextReader reader(bytes);
    ImportLine which = ImportLine::First;
    for (int lines = 0; lines < 200 && !reader.AtEnd(); ++lines) {
        Text line;
        if (reader.Line(line) != rt::ReadStatus::Ok) return;
        const std::vector<Text> fields = SplitImportLine(line, which, mostFields);
        fuzz::Check(static_cast<int>(fields.size()) <= mostFields, "more fields than asked for");
        size_t length = 0;
        for (const Text& f : fields) length += f.size();
        // A field is cut out of the line; only line 0's empty fields get a name of their own.
        if (which == ImportLine::Later) fuzz::Check(length <= line.size(), "fields longer than their line");
        which = ImportLine::Later;
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string bytes(reinterpret_cast<const char*>(data), size);
    const unsigned choice = size ? data[0] : 0;
    SplitEveryLine(bytes, 1 + choice % 8);

    const std::string path = fuzz::PutFile("titles.CSV", data, size);
    fuzz::Program program;
    const Obj* kinds[] = {&BUTTON5, &BUTTON6, &BUTTON7, &BUTTON8, &BUTTON9};
    const int kind = static_cast<int>(choice % 5);
    program.Click(*kinds[kind]);
    if (!program.Visible(FORM2)) return 0;
    const int before = TITLE_COUNT(kind);

    program.Answers(1);  // a file refused, or the limit of the kind
    program.platform.QueueFileChoice(path);
    program.Click(BUTTON10);
    if (!program.Visible(FORM4)) {
        fuzz::Check(TITLE_COUNT(kind) == before, "a refused file changed the titles");
        return 0;
    }
    if (choice & 0x08) program.Click(CHECK5);
    program.Toggle(LIST2, 0);
    if (choice & 0x10) program.Toggle(LIST2, 1);
    program.Click(BUTTON17);
    if (choice & 0x20) {
        program.Select(LIST3, 0);
        program.Click(BUTTON18);
    }
    if (choice & 0x40) {
        program.Click(BUTTON16);  // cancelled: nothing changes
        fuzz::Check(TITLE_COUNT(kind) == before, "a cancelled import changed the titles");
        return 0;
    }
    program.Answers(2);
    program.Click(BUTTON19);
    fuzz::Check(TITLE_COUNT(kind) >= before && TITLE_COUNT(kind) <= MAX_TITLES(kind), "titles beyond the kind's room");
    program.Click(BUTTON11);
    program.VisitEverything();
    return 0;
}
