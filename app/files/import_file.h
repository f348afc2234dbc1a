#pragma once
// The title-data file a customer imports (a text or CSV file of their own): Shift-JIS, one title
// a line, fields separated by half-width commas. A field may be enclosed in half-width double
// quotes; inside it a comma does not separate, and a doubled quote stands for itself and stays
// doubled in the field, as customers' files have always come out of the import.
#include <vector>

#include "runtime/values/array.h"
#include "runtime/values/text.h"

// The line INDATA splits; left empty once split.
extern Text IMPORT_LINE;
// The index of that line in the file, 0 for the first; and the field counter, 0 before INDATA,
// which moves on past every field that a comma ends.
extern Single IMPORT_ROW;
extern Single IMPORT_COL;
// The last line index and the last field index: FIELD_TEXT is (line 0..IMPORT_LAST, field
// 0..IMPORT_FIELDS), declared by the import screen before the first line is split.
extern Single IMPORT_LAST;
extern Single IMPORT_FIELDS;
extern Array<Text> FIELD_TEXT;
// The two bytes 0xFF 0xFF that stand for a doubled quote while a quoted field is cut out
// (0xFF occurs in no Shift-JIS character). Set at start; the splitter uses the same two bytes.
extern Text QUOTE_MARK;

// What the first line's empty fields are called, so that the import screen's field lists show
// something the customer can pick; later lines keep their empty fields empty.
inline constexpr const char* kEmptyFieldName = "（空白）";

// Splits IMPORT_LINE into FIELD_TEXT(IMPORT_ROW, IMPORT_COL), FIELD_TEXT(IMPORT_ROW,
// IMPORT_COL + 1), … and empties it. Fields a line does not have are left as they were. A field
// past IMPORT_FIELDS is left out and the import goes on: it has no column on the screen.
void INDATA();

// Which line of the file is split: the first names the fields.
enum class ImportLine { First, Later };

// The fields of one line, as INDATA stores them from column 0, at most mostFields of them.
std::vector<Text> SplitImportLine(const Text& line, ImportLine which, int mostFields);
