// The import file's line splitter: the fields a customer's lines give, the fields left out when
// a line has more than the screen has columns, and the one-pass cut against the search-and-
// replace rule it stands for, on every short line of quotes, commas and letters.
#include "app/files/import_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <random>

namespace {

// The bytes of fields, which a failing comparison prints readably.
std::vector<std::string> Bytes(const std::vector<Text>& fields) {
    std::vector<std::string> bytes;
    for (const Text& f : fields) bytes.push_back(f.bytes());
    return bytes;
}

// Splits a line with INDATA into a FIELD_TEXT of lines 0..1 and columns 0..columns-1 whose
// cells hold "old" before, and gives that line's row afterwards.
std::vector<Text> SplitWithInData(const Text& line, ImportLine which, int columns) {
    IMPORT_LAST = 1;
    IMPORT_FIELDS = static_cast<Single>(columns - 1);
    if (FIELD_TEXT.allocated()) FIELD_TEXT.Erase();
    FIELD_TEXT.Declare({1, columns - 1});
    IMPORT_ROW = which == ImportLine::First ? 0 : 1;
    for (int j = 0; j < columns; ++j) FIELD_TEXT(IMPORT_ROW, j) = "old";
    IMPORT_COL = 0;
    IMPORT_LINE = line;
    INDATA();
    EXPECT_TRUE(IMPORT_LINE.empty());
    std::vector<Text> row;
    for (int j = 0; j < columns; ++j) row.push_back(FIELD_TEXT(IMPORT_ROW, j));
    return row;
}

struct LineCase {
    const char* name;
    Text line;
    ImportLine which;
    int columns;                 // IMPORT_FIELDS + 1
    std::vector<Text> fields;    // as stored; the rest of the row keeps "old"
};
void PrintTo(const LineCase& c, std::ostream* os) { *os << c.name; }

class ImportLineSplit : public testing::TestWithParam<LineCase> {};

TEST_P(ImportLineSplit, GivesTheFieldsAndLeavesTheRestOfTheRow) {
    const LineCase& c = GetParam();
    EXPECT_EQ(Bytes(SplitImportLine(c.line, c.which, c.columns)), Bytes(c.fields));
    std::vector<Text> row = c.fields;
    row.resize(c.columns, "old");
    EXPECT_EQ(Bytes(SplitWithInData(c.line, c.which, c.columns)), Bytes(row));
}

const ImportLine kFirst = ImportLine::First, kLater = ImportLine::Later;

INSTANTIATE_TEST_SUITE_P(Lines, ImportLineSplit, testing::Values(
    LineCase{"EmptyFieldNamedInLineZero", "a,,b", kFirst, 3, {"a", "（空白）", "b"}},
    LineCase{"EmptyFieldEmptyLater", "a,,b", kLater, 3, {"a", "", "b"}},
    LineCase{"QuotedEmptyFieldStaysEmptyInLineZero", "\"\",b", kFirst, 2, {"", "b"}},
    LineCase{"QuotedComma", "\"x,y\",z", kLater, 2, {"x,y", "z"}},
    LineCase{"DoubledQuotesStayDoubled", "\"言う\"\"はい\"\"\",z", kLater, 2, {"言う\"\"はい\"\"", "z"}},
    LineCase{"ClosedLastField", "1,\"表,\"\"ソ\"\"\"", kLater, 2, {"1", "表,\"\"ソ\"\""}},
    LineCase{"UnclosedLosesItsLastByte", "a,\"bcd", kLater, 2, {"a", "bc"}},
    LineCase{"LoneQuoteAtTheEnd", "a,\"", kLater, 2, {"a", ""}},
    LineCase{"UnclosedEndingInDoubledQuote", "\"ab\"\"", kLater, 1, {Text("ab\xFF", 3)}},
    LineCase{"TripleQuoteOpensAndDoubles", "\"\"\",x", kLater, 2, {"\"\","}},
    LineCase{"QuadrupleQuoteIsADoubledQuote", "\"\"\"\",x", kLater, 2, {"\"\"", "x"}},
    LineCase{"TrailingCommaOpensNoField", "abc,", kLater, 3, {"abc"}},
    LineCase{"FewerFieldsThanLineZero", "a", kLater, 3, {"a"}},
    LineCase{"ExactlyAsManyFieldsAsColumns", "1,2,3", kLater, 3, {"1", "2", "3"}},
    LineCase{"OneFieldMoreIsLeftOut", "1,2,3,4", kLater, 3, {"1", "2", "3"}},
    LineCase{"QuotedFieldBeyondTheColumnsIsLeftOut", "1,\"2,3\",\"4\"", kLater, 2, {"1", "2,3"}},
    LineCase{"FirstLineOpeningWithAComma", ",a,b", kFirst, 3, {"（空白）", "a", "b"}}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.name); });

// The rule as the import has always stated it, step by step on the runtime's text operations:
// search the rest of the line for the first doubled quote and the first quote-comma, mark the
// doubled quote and search again.
struct RuleResult {
    std::vector<Text> fields;
    int col = 0;
};
RuleResult SplitByTheRule(Text line, ImportLine which) {
    const Text mark("\xFF\xFF", 2);
    RuleResult r;
    auto store = [&](const Text& field) {
        r.fields.resize(std::max<size_t>(r.fields.size(), r.col + 1));
        r.fields[r.col] = field;
    };
    while (!line.empty()) {
        if (TextLeft(line, 1) != Text("\"")) {
            const Int32 p = TextFind(1, line, ",");
            if (p == 1) {
                store(which == ImportLine::First ? "（空白）" : "");
                line = TextMid(line, 2);
                ++r.col;
            } else if (p == 0) {
                store(line);
                line = "";
            } else {
                store(TextLeft(line, p - 1));
                line = TextMid(line, p + 1);
                ++r.col;
            }
            continue;
        }
        line = TextMid(line, 2);
        Int32 d = TextFind(1, line, "\"\""), q = TextFind(1, line, "\",");
        while (d > 0 && (q == 0 || q > d)) {
            TextMidStore(line, d, 2, mark);
            d = TextFind(1, line, "\"\"");
            q = TextFind(1, line, "\",");
        }
        // An opening quote that ends the line leaves nothing to drop: the field is empty.
        Text field = q == 0 ? TextLeft(line, std::max(TextLength(line) - 1, 0)) : TextLeft(line, q - 1);
        line = q == 0 ? Text() : TextMid(line, q + 2);
        for (Int32 m; (m = TextFind(1, field, mark)) > 0;) field = TextLeft(field, m - 1) + "\"\"" + TextMid(field, m + 2);
        store(field);
        if (q != 0) ++r.col;
    }
    return r;
}

void ExpectAsTheRule(const Text& line) {
    for (ImportLine which : {ImportLine::First, ImportLine::Later}) {
        const RuleResult rule = SplitByTheRule(line, which);
        ASSERT_EQ(Bytes(SplitImportLine(line, which, INT_MAX)), Bytes(rule.fields))
            << testing::PrintToString(line.bytes());
        // Through INDATA, in a row wider than any of these lines: its cells, and the counter.
        IMPORT_ROW = which == ImportLine::First ? 0 : 1;
        IMPORT_COL = 0;
        IMPORT_LINE = line;
        INDATA();
        ASSERT_EQ(IMPORT_COL, rule.col) << testing::PrintToString(line.bytes());
        for (int j = 0; j < static_cast<int>(rule.fields.size()); ++j) {
            ASSERT_EQ(FIELD_TEXT(IMPORT_ROW, j).bytes(), rule.fields[j].bytes()) << testing::PrintToString(line.bytes());
            FIELD_TEXT(IMPORT_ROW, j) = "";
        }
    }
}

TEST(ImportLineScan, GivesWhatTheSearchAndReplaceRuleGives) {
    // Quotes and commas, a letter, a double-byte character and the mark byte a file may hold.
    const Text symbols[] = {"\"", ",", "a", "表", Text("\xFF", 1)};
    IMPORT_LAST = 1;
    IMPORT_FIELDS = 200;
    if (FIELD_TEXT.allocated()) FIELD_TEXT.Erase();
    FIELD_TEXT.Declare({1, 200});

    std::vector<Text> lines = {""};
    for (size_t from = 0, length = 0; length < 7; ++length) {
        const size_t to = lines.size();
        for (size_t i = from; i < to; ++i)
            for (const Text& s : symbols) lines.push_back(lines[i] + s);
        from = to;
    }
    ASSERT_EQ(lines.size(), 97656u);  // 5^0 + … + 5^7
    std::mt19937 random(20260107);
    for (int n = 0; n < 3000; ++n) {
        Text line;
        const int length = static_cast<int>(random() % 120);
        for (int i = 0; i < length; ++i) line += symbols[random() % 16 < 8 ? 0 : random() % 5];
        lines.push_back(line);
    }
    for (const Text& line : lines) {
        ExpectAsTheRule(line);
        if (HasFailure()) return;
    }
}

}  // namespace
