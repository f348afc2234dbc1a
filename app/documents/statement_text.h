#pragma once
// What the two fee statements share: their line end, the way a column of cells is brought to
// one width through DOC_LINE, and the bytes of the text files they are saved as.
//
// A column is a list of cells, rows 0..last. Row 0 is not a cell the customer sees: after
// alignment it holds the blank of the column's width, which stands in for the column wherever
// a line leaves it out. Row 1 is the column's heading.
#include <vector>

#include "runtime/values/text.h"

inline constexpr const char* kCrLf = "\r\n";

// The two half-width blanks between the columns of a table line.
inline constexpr const char* kColumnGap = "  ";

// How 文字列整理_SUB places a cell in its column.
enum class CellAlign : int { Left = 0, Right = 2 };

using Column = std::vector<Text>;

// An empty column of rows 0..last.
Column BlankColumn(int last);

// Copies rows 1..n of the column into DOC_LINE(1..n), pads them with 文字列整理_SUB and copies
// DOC_LINE(0..n) back, so row 0 becomes the blank of the column's width. DOC_LINE keeps what it
// was given, as the shared buffer always does.
void AlignColumn(Column& column, CellAlign align, int n);

// The cells of one row, columns in order, joined by kColumnGap.
Text JoinCells(const std::vector<const Column*>& columns, int row);

// The heading line of the estimate file: 見積書, spaced out and set towards the middle of the
// page as the shop's stationery has it.
extern const char* const kEstimateHeading;

enum class Statement { Estimate, WorkFeeDetails };

// The bytes of the file a statement text is saved as. The estimate opens with its heading and an
// empty line; the details open with an empty line. Both end with one more CR LF, so with the
// text's own last CR LF the file ends on an empty line.
Text StatementFileBytes(Statement statement, const Text& text);
