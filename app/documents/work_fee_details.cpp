// The work-fee details laid out: for each kind with titles, every title priced again for its row,
// the table's columns aligned, and the kind's subtotal lines beneath.
#include "app/documents/work_fee_details.h"

#include <array>

#include "app/documents/statement_text.h"
#include "app/fee/amount_text.h"
#include "app/fee/order_model.h"
#include "app/fee/order_totals.h"
#include "app/fee/title_amounts.h"

namespace {

// A title's name is cut to this many bytes, even in the middle of a double-byte character, so
// the columns after it stay where the customer expects them.
constexpr int kNameWidth = 20;

// The columns of a kind's table, left to right. kSpacer is never filled: it only widens the gap
// between the name and the course.
enum DetailColumn : int {
    kName, kSpacer, kCourse, kBasic, kWorks, kNoSpread, kTrim, kMoire, kDpi, kTotal, kRemarks,
    kColumnCount
};

using Columns = std::array<Column, kColumnCount>;

// The amounts of the table are written with the half-width yen sign, the byte 0x5C.
Text PlainAmount(Single amount) { return Text("\\") + AmountDigits(amount); }


Text CourseText(int course) {
    switch (course) {
        case 1: return "解体のみ";
        case 2: return "解体・データ化";
        case 3: return "解体・データ化再製本";
        default: return Text();
    }
}

// The no-spreads option is a reduction; it is shown as one, with its minus before the yen sign.
Text NoSpreadText(Single fee) {
    if (fee < 0) return Text("-\\") + AmountDigits(fee);
    return "\\0";
}

Text MoireText(int noMoire) { return noMoire == 1 ? "モアレ除去無し" : "モアレ除去有り"; }

Text CompensationRemark(Single amount) {
    if (amount > 0) return Text("補償につき、-\\") + AmountDigits(amount);
    return Text();
}

void PutHeadings(Columns& c) {
    c[kName][1] = "書籍名";
    c[kCourse][1] = "作業内容";
    c[kBasic][1] = "基本金額";
    c[kWorks][1] = "作品別編集";
    c[kNoSpread][1] = "単ページ化";
    c[kTrim][1] = "トリミング";
    c[kMoire][1] = "モアレ除去の有無";
    c[kDpi][1] = "ＤＰＩ指定";
    c[kTotal][1] = "小計";
    c[kRemarks][1] = "備考欄";
}

// The row of the title CUR_TITLE of kind CUR_KIND, read after the title is priced again; the
// option amounts are working values that hold only the title priced last.
void PutTitleRow(Columns& c, int row) {
    const int i = CUR_TITLE, k = CUR_KIND;
    c[kName][row] = TextLeft(TITLE_NAME(i, k), kNameWidth);
    c[kCourse][row] = CourseText(COURSE(i, k));
    c[kBasic][row] = PlainAmount(BASIC_AMOUNT);
    c[kWorks][row] = PlainAmount(OPT_WORKS_FEE);
    c[kNoSpread][row] = NoSpreadText(OPT_NOSPREAD_FEE);
    c[kTrim][row] = PlainAmount(OPT_TRIM_FEE);
    c[kMoire][row] = MoireText(OPT_NO_MOIRE(i, k));
    c[kDpi][row] = PlainAmount(OPT_DPI_FEE) + "(" + IntegerDigits(TITLE_DPI(i, k)) + "dpi)";
    c[kTotal][row] = PlainAmount(TITLE_TOTAL(i, k));
    c[kRemarks][row] = CompensationRemark(COMPENSATION_AMOUNT(i, k));
}

// The two subtotal rows under the table, in the total and remarks columns: the kind's subtotal
// and, when titles earn compensation, how much comes off it and what remains.
void PutSubtotalRows(Columns& c, int titles, Single compensation) {
    const int k = CUR_KIND;
    c[kTotal][titles + 2] = PlainAmount(KIND_SUBTOTAL(k));
    if (compensation > 0) {
        c[kRemarks][titles + 2] = Text("小合計から") + AmountDigits(compensation) + "円引き";
        const Single remaining = StoreSingle(static_cast<double>(KIND_SUBTOTAL(k)) - compensation);
        c[kRemarks][titles + 3] = Text("差引小合計 \\") + AmountDigits(remaining);
    }
}

void AlignColumns(Columns& c, int titles) {
    const int tableRows = titles + 1, withSubtotal = titles + 3;
    AlignColumn(c[kName], CellAlign::Right, tableRows);
    for (int col : {kCourse, kBasic, kWorks, kNoSpread, kTrim, kMoire, kDpi})
        AlignColumn(c[col], CellAlign::Left, tableRows);
    AlignColumn(c[kTotal], CellAlign::Right, withSubtotal);
    AlignColumn(c[kRemarks], CellAlign::Left, withSubtotal);
}

std::vector<const Column*> ColumnsUpTo(const Columns& c, int last) {
    std::vector<const Column*> out;
    for (int col = 0; col <= last; ++col) out.push_back(&c[col]);
    return out;
}

// The two subtotal lines: "小合計" set flush right under the columns left of the totals, then
// the same width of blanks, each followed by that row of the total and remarks columns.
Text SubtotalLines(const Columns& c, int titles) {
    const Text left = JoinCells(ColumnsUpTo(c, kDpi), 0);
    DOC_LINE(1) = left;
    DOC_LINE(2) = "小合計";
    DOC_LINE(3) = left;
    Int16 mode = static_cast<int>(CellAlign::Right);
    Int16 count = 3;
    文字列整理_SUB(mode, count);
    Text out;
    for (auto [label, row] : {std::pair{2, titles + 2}, std::pair{0, titles + 3}})
        out += DOC_LINE(label) + kColumnGap + c[kTotal][row] + kColumnGap + c[kRemarks][row] + kCrLf;
    return out;
}

// The block of kind CUR_KIND: heading, table, subtotal lines and an empty line.
Text KindBlock() {
    const int k = CUR_KIND;
    const int titles = TITLE_COUNT(k);
    Columns c;
    for (Column& column : c) column = BlankColumn(titles + 3);
    PutHeadings(c);

    Single compensation = 0;
    for (CUR_TITLE = 0; CUR_TITLE < titles; ++CUR_TITLE) {
        RepriceCurrentTitle();
        PutTitleRow(c, CUR_TITLE + 2);
        const Single amount = COMPENSATION_AMOUNT(CUR_TITLE, k);
        if (amount > 0) compensation = StoreSingle(static_cast<double>(compensation) + amount);
    }
    // The subtotal is formed from the totals just priced, not taken as the main screen left it.
    小合計_SUB();
    PutSubtotalRows(c, titles, compensation);
    AlignColumns(c, titles);

    Text out = DocumentKindName(k) + "の申込明細" + kCrLf;
    const std::vector<const Column*> all = ColumnsUpTo(c, kRemarks);
    out.bytes().reserve(out.size() + static_cast<size_t>(titles + 3) * (JoinCells(all, 0).size() + 2));
    for (int row = 1; row <= titles + 1; ++row) {
        out += JoinCells(all, row);
        out += kCrLf;
    }
    out += SubtotalLines(c, titles);
    out += kCrLf;
    return out;
}

}  // namespace

Text DocumentKindName(int kind) {
    if (kind == kPhotoBook) return "写真・資料集等";
    return KindName(kind);
}

Text 作業代明細_SUB() {
    Text out;
    for (CUR_KIND = 0; CUR_KIND < kKindCount; ++CUR_KIND)
        if (TITLE_COUNT(CUR_KIND) > 0) out += KindBlock();
    return out;
}
