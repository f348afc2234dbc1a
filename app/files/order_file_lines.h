#pragma once
// How an order file's bytes become the Shift-JIS lines the reader reads: the encoding it was
// saved in, and the line ends the mail programs and editors it passed through left.
#include <optional>
#include <string>
#include <string_view>

#include "app/files/order_file.h"
#include "runtime/files/text_reader.h"

// The file's bytes in Shift-JIS, as the program wrote them. A file of the program's own starts
// with a Shift-JIS kanji, which is no UTF-8: it is taken as it is, and only a file told as UTF-8
// (its byte-order mark, or as the import tells one) is converted, `fromUtf8` then set. The
// problem names the first line that cannot be converted: one that is no UTF-8 at all (Shift-JIS
// after a byte-order mark) is told so, one with a character Shift-JIS cannot hold names it.
std::optional<OrderFileProblem> OrderFileInShiftJis(std::string& bytes, bool& fromUtf8);

// A file whose CR LF a second conversion made CR CR LF, told by its first line: every CR CR LF
// becomes the CR LF it was. The program's own first line ends with a digit and CR LF, so a file
// it wrote is never changed, whatever its quoted coupons hold.
void UndoSecondConversion(std::string& bytes);

// How a file's lines end. The program writes CR LF, and a lone LF in a coupon read so is the
// coupon's own, as older versions wrote it. A mail program or an editor makes LF of some or all
// of them, the last ones at least when an editor changed the end, the first ones when a mail
// program did: a file whose first or last line ends in a lone LF has every lone LF end a line.
rt::LineEnds LineEndsOf(std::string_view bytes);

// Whether an LF stands in the bytes without a CR before it.
bool HasLoneLf(std::string_view bytes);

// The line, as a reader with `ends` counts them, of the last byte that is no line end (nor the
// final Ctrl-Z): the empty lines after it are an editor's, and no part of the order.
int LastLineWithText(std::string_view bytes, rt::LineEnds ends);
