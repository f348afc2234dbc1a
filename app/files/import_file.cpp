// A customer's title-data lines split into fields, quoted fields and doubled quotes included, in
// one pass over each line.
#include "app/files/import_file.h"

#include <algorithm>
#include <string>
#include <string_view>

Text IMPORT_LINE;
Single IMPORT_ROW;
Single IMPORT_COL;
Single IMPORT_LAST;
Single IMPORT_FIELDS;
Array<Text> FIELD_TEXT;
Text QUOTE_MARK("\xFF\xFF", 2);

namespace {

constexpr char kMark = '\xFF';
constexpr size_t npos = std::string_view::npos;

// How a field ended: at a comma, which opens the next field, or with the line.
enum class FieldEnd { Comma, Line };

// A doubled quote travels through the cut as a pair of marks and becomes two quotes only in
// the finished field. Mark bytes the file held itself are taken the same way, and pairs are
// made from the left of each run of marks, so a run of odd length keeps its last mark: an
// unclosed field that ends in a doubled quote loses half of it to the dropped closing quote
// and keeps a lone 0xFF (a title shows it as ■). Imports keep giving exactly the fields they
// always gave. One pass over the runs gives the same field as replacing the first pair again
// and again, without searching from the start every time.
void MOJI_SUB(std::string& field) {
    for (size_t run = field.find(kMark); run != npos;) {
        size_t end = field.find_first_not_of(kMark, run);
        if (end == npos) end = field.size();
        std::fill_n(field.begin() + static_cast<std::ptrdiff_t>(run), (end - run) / 2 * 2, '"');
        run = field.find(kMark, end);
    }
}

// Hands every field of the line, left to right, to take(field, how it ended). Each byte is
// looked at once, so a line of 32,767 bytes full of doubled quotes costs no more per byte than
// a short one. Only '"' (0x22) and ',' (0x2C) are looked for, and neither is ever the second
// byte of a double-byte Shift-JIS character (those are 0x40–0x7E and 0x80–0xFC), so a byte that
// looks like one of them is one, whatever character precedes it.
template <class Take>
void ForEachField(std::string_view line, ImportLine which, Take&& take) {
    size_t at = 0;
    while (at < line.size()) {
        if (line[at] != '"') {
            const size_t comma = line.find(',', at);
            if (comma == npos) {
                take(std::string(line.substr(at)), FieldEnd::Line);
                return;
            }
            if (comma == at && which == ImportLine::First) {
                take(std::string(kEmptyFieldName), FieldEnd::Comma);
            } else {
                take(std::string(line.substr(at, comma - at)), FieldEnd::Comma);
            }
            at = comma + 1;
            continue;
        }
        // A quoted field. A quote followed by a quote is a doubled quote and ends nothing; the
        // first other quote followed by a comma closes the field, the comma going with it; any
        // other quote is an ordinary byte of the field.
        std::string field;
        for (size_t from = at + 1;;) {
            const size_t quote = line.find('"', from);
            if (quote == npos || quote + 1 == line.size()) {
                // No closing quote before a comma: the field runs to the end of the line and its
                // last byte, whatever it is, is taken for the closing quote. An opening quote
                // that ends the line leaves nothing to drop and gives an empty field.
                field.append(line.substr(from));
                if (!field.empty()) field.pop_back();
                MOJI_SUB(field);
                take(std::move(field), FieldEnd::Line);
                return;
            }
            field.append(line.substr(from, quote - from));
            const char next = line[quote + 1];
            if (next == ',') {
                MOJI_SUB(field);
                take(std::move(field), FieldEnd::Comma);
                at = quote + 2;
                break;
            }
            if (next == '"') {
                field.append(2, kMark);
                from = quote + 2;
            } else {
                field += '"';
                from = quote + 1;
            }
        }
    }
}

}  // namespace

void INDATA() {
    const ImportLine which = IMPORT_ROW == 0 ? ImportLine::First : ImportLine::Later;
    ForEachField(IMPORT_LINE.view(), which, [](std::string&& field, FieldEnd end) {
        // The screen sizes FIELD_TEXT by the commas of line 0, so a later line with more commas
        // has fields beyond the last column. They have no column to be chosen from and are left
        // out; the counter still moves past them.
        if (IMPORT_COL <= IMPORT_FIELDS) FIELD_TEXT(IMPORT_ROW, IMPORT_COL) = Text(std::move(field));
        if (end == FieldEnd::Comma) IMPORT_COL = IMPORT_COL + 1;
    });
    IMPORT_LINE = Text();
}

std::vector<Text> SplitImportLine(const Text& line, ImportLine which, int mostFields) {
    std::vector<Text> fields;
    ForEachField(line.view(), which, [&](std::string&& field, FieldEnd) {
        if (static_cast<int>(fields.size()) < mostFields) fields.emplace_back(std::move(field));
    });
    return fields;
}
