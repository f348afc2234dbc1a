#pragma once
// The saved order file, which is also the data file attached to the application mail: the
// coupon count line "割引券:N", the N coupon numbers (in double quotes when one holds a comma, a
// colon, a CR or an LF, or starts with a blank), then one line per title, kinds 0 to 4 in order,
// "A,B,C,D,E": A the kind, book type, course and a "1" for compensation, B the four option
// flags, C the resolution, D the gift flag, E the title to the end of the line.
// Shift-JIS, CR LF, no header.
#include <optional>
#include <string>
#include <vector>

#include "runtime/values/text.h"

// What a file holds, read completely before anything of the order in memory changes.
struct OrderFileTitle {
    int kind = 0;
    int bookType = 0, course = 0, compensate = 0;
    int works = 0, noMoire = 0, noSpread = 0, trim = 0;
    int dpi = 0, gift = 0;
    Text name;
};

struct OrderFileContent {
    std::optional<Text> customerName;
    std::optional<double> advancePayment, adjustDiscount;
    std::vector<Text> coupons;
    std::vector<OrderFileTitle> titles;
};

// Why a file cannot be taken as an order: the line (1-based, 0 for the file as a whole) and
// the reason as the customer reads it.
struct OrderFileProblem {
    int line = 0;
    Text reason;
};

// The file of the order in memory, byte for byte.
std::string OrderFileBytes();

// A title open on its entry screen, as closing the screen now would store it: title `title` of
// `kind` (TITLE_COUNT(kind) for one being added) with the name and compensation on screen.
struct TitleBeingTyped {
    int kind = 0, title = 0;
    Text name;
    int compensate = 0;
};
// The file of the order, with the title being typed when one is given (an empty name leaves it
// out, as closing the screen would delete it), as far as it reads back as the same order: a
// coupon or title that WhyOrderCannotBeWritten would blame is left out, and named in `leftOut`,
// a line each in the customer's words. What the recovery file keeps of an order a save refuses.
struct KeptOrder {
    std::string bytes;
    Text leftOut;
};
KeptOrder OrderAsFarAsItReadsBack(const TitleBeingTyped* typed = nullptr);

// Why the order in memory cannot be written as a file that reads back as the same order, in the
// customer's words and naming the first coupon or title to blame; nothing when it can. A title
// is the rest of its line: it cannot hold a CR or a NUL, nor more bytes than a line is read
// with. A coupon is a field: bare it cannot hold a comma, a colon, a CR, nor start with a blank
// or a quote, and in quotes it cannot hold a quote; a NUL it cannot hold at all.
std::optional<Text> WhyOrderCannotBeWritten();

// Reads a file's bytes as an order. Lines before the coupon count may give the customer's
// name, an advance payment and an adjustment discount. The coupon count line is 「割引券」, blanks
// (half-width spaces), a colon (":" or "："), blanks and the count in digits (none is 0); a file
// without it where it belongs is no order. A file in UTF-8 (with or without the byte-order
// mark), told as the import tells one, is converted to Shift-JIS first; a character Shift-JIS
// cannot hold is a problem of its line, and so is a line that is no UTF-8 behind the mark.
// Lines may end with CR LF, CR, or LF alone as mail programs and editors leave them:
// - a file whose first or last line ends in a lone LF has every lone LF end a line;
// - in another a lone LF is part of its line, as in the coupons older versions wrote bare; one
//   in any other line is refused as mixed line ends, and so is one in a bare coupon when the
//   file would also read as an order, and another, with that LF ending a line (the coupons'
//   count, lines and the titles then tell nothing of which was meant), or when the coupon
//   holds a quote too, which no file can hold again; the line of that coupon is named;
// - a file whose first line ends in CR CR LF, as a second conversion leaves it, has every
//   CR CR LF as one line end;
// - empty lines after the last title are no part of the order; one among the titles is refused.
struct OrderFileRead {
    std::optional<OrderFileContent> content;
    OrderFileProblem problem;
    bool fromUtf8 = false;  // read and converted from UTF-8, which the customer is told
};
OrderFileRead ParseOrderFile(const std::string& bytes);

// Whether a file's first bytes are those of an order file: one of the lines a file may start
// with (the coupon count, or the customer's name, advance payment or adjustment discount before
// it), in Shift-JIS or UTF-8. Decides what a drop on the main screen loads; the file may still
// be broken further on.
bool StartsLikeOrderFile(std::string_view firstBytes);
inline constexpr size_t kOrderFileStartBytes = 18;  // the longest of those starts: UTF-8 お客様氏名 after the mark

// Reads the file of that name and parses it; a file that cannot be read is a problem of the
// whole file (line 0) in the customer's words. A file larger than kLargestOrderFileBytes is
// refused so, unread.
OrderFileRead ReadOrderFile(const Text& path);
// The same for a name as the system holds it (a name on the batch commands' command line, which
// need not be one Shift-JIS can hold); `shown` names the file in a problem.
OrderFileRead ReadSystemOrderFile(const std::string& systemPath, const Text& shown);

// No larger file can read as an order: the most lines an order has (the three lines before the
// coupon count, the count, ten coupons, 121 titles of each of the five kinds), each as long as a
// line is read with and its end as long as a second conversion leaves it (CR CR LF), every
// Shift-JIS byte three in UTF-8 (a half-width kana is), and the byte-order mark. A video or a
// disk image named by mistake is refused at once instead of filling the memory.
inline constexpr size_t kLargestOrderFileBytes = (3 + 1 + 10 + 5 * 121) * (32767 * 3 + 3) + 3;

// Replaces the order in memory by the content: every title slot and coupon slot emptied first,
// then the titles priced again from their stored choices and every kind subtotalled.
void TakeOverOrder(const OrderFileContent& content);
