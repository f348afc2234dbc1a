// What the two fee statements share: a column brought to one width through DOC_LINE, a row's cells
// joined, and the bytes of the text file a statement is saved as.
#include "app/documents/statement_text.h"

#include <cassert>
#include <utility>

#include "app/fee/amount_text.h"
#include "app/fee/order_model.h"

const char* const kEstimateHeading = "　　　　　　　　　　　　　見　　　積　　　書";

Column BlankColumn(int last) { return Column(static_cast<size_t>(last) + 1); }

void AlignColumn(Column& column, CellAlign align, int n) {
    assert(n >= 1 && static_cast<size_t>(n) < column.size());
    for (int r = 1; r <= n; ++r) DOC_LINE(r) = std::move(column[r]);
    Int16 mode = static_cast<int>(align);
    Int16 count = n;
    文字列整理_SUB(mode, count);
    for (int r = 0; r <= n; ++r) column[r] = DOC_LINE(r);
}

Text JoinCells(const std::vector<const Column*>& columns, int row) {
    Text line;
    size_t size = 0;
    for (const Column* column : columns) size += (*column)[row].size() + 2;
    line.bytes().reserve(size);
    for (size_t c = 0; c < columns.size(); ++c) {
        if (c != 0) line += kColumnGap;
        line += (*columns[c])[row];
    }
    return line;
}

Text StatementFileBytes(Statement statement, const Text& text) {
    Text bytes;
    if (statement == Statement::Estimate) bytes = Text(kEstimateHeading) + kCrLf;
    bytes += kCrLf;
    bytes += text;
    bytes += kCrLf;
    return bytes;
}
