// The fee summary laid out: its cells put in four columns and aligned, then the totals set beside
// the formulas that connect the circled figures.
#include "app/documents/fee_summary.h"

#include <array>

#include "app/documents/statement_text.h"
#include "app/fee/amount_text.h"
#include "app/fee/order_model.h"

namespace {

// The summary's cells are rows 1..12 of four columns; row 0 receives each column's blank.
constexpr int kLastRow = 12;

// The circled ① and ② of the two kinds' subtotals, from their JIS codes in row 13, where
// code page 932 keeps the circled numbers.
Text CircledOne() { return JisChar(0x2D21); }
Text CircledTwo() { return JisChar(0x2D22); }

// A count of titles: full-width digits, the counter word and room for its column.
Text TitleCountText(int count) {
    Text digits = AmountDigits(static_cast<Single>(count));
    全角数字化_SUB(digits);
    return digits + "冊　　";
}

struct SummaryColumns {
    Column name = BlankColumn(kLastRow);    // C1: kinds and discounts
    Column count = BlankColumn(kLastRow);   // C2: title counts and discount amounts
    Column label = BlankColumn(kLastRow);   // C3: the figures' labels
    Column amount = BlankColumn(kLastRow);  // C4: the figures
};

void PutCells(SummaryColumns& c) {
    c.name[1] = "　　　書籍種別　　";
    c.count[1] = "　　申込冊数　";
    c.label[1] = "　　　　　　　";
    c.amount[1] = "　　　　　　　　";

    // Only the comics and the photo books are written; the other kinds' names still take part
    // in the width of the first column.
    c.name[2] = "　　　　　コミック";
    c.name[3] = "　　　　　　同人誌";
    c.name[4] = "　　　　中綴じ雑誌";
    c.name[5] = "　　　無線綴じ雑誌";
    c.name[6] = "　　写真・資料集等";
    c.count[2] = TitleCountText(TITLE_COUNT(kComic));
    c.count[6] = TitleCountText(TITLE_COUNT(kPhotoBook));
    c.label[2] = CircledOne() + "　作業代小計";
    c.label[6] = CircledTwo() + "　作業代小計";
    c.amount[2] = FullWidthYen(KIND_SUBTOTAL(kComic));
    c.amount[6] = FullWidthYen(KIND_SUBTOTAL(kPhotoBook));

    c.name[8] = "　　各種割引　　";
    c.name[9] = "⑧　割引券割引";
    c.name[10] = "⑨　特別割引";
    c.name[11] = "⑩　コミック箱割り";
    c.count[9] = FullWidthYen(COUPON_DISCOUNT);
    c.count[10] = FullWidthYen(SPECIAL_DISCOUNT);
    c.count[11] = FullWidthYen(BOX_DISCOUNT_COMIC);
    c.label[9] = "④　作業代合計";
    c.label[10] = "⑤　メディア代";
    c.label[11] = "⑥　返　送　料";
    c.label[12] = "⑦　小　合　計";
    c.amount[9] = FullWidthYen(WORK_FEE);
    c.amount[10] = FullWidthYen(MEDIA_FEE);
    c.amount[11] = EstimateShippingText();
    c.amount[12] = FullWidthYen(SUBTOTAL);
}

void AlignColumns(SummaryColumns& c) {
    AlignColumn(c.name, CellAlign::Left, kLastRow);
    AlignColumn(c.count, CellAlign::Right, kLastRow);
    AlignColumn(c.label, CellAlign::Left, kLastRow);
    AlignColumn(c.amount, CellAlign::Right, kLastRow);
}

// A line of all four columns. The labels stand a full-width blank further right than the gap
// alone would set them.
Text FourColumnLine(const SummaryColumns& c, int row) {
    return c.name[row] + kColumnGap + c.count[row] + kColumnGap + "　" + c.label[row] + kColumnGap +
           c.amount[row] + kCrLf;
}

// The formulas, each padded with full-width blanks to 52 bytes so the totals beside them line up
// with one another; the first carries no figure and only keeps the blank column's place.
constexpr std::array<const char*, 4> kFormulaLines = {
    "　　④＝①＋②　　　　　　　　　　　　　　　　　　　",
    "　　⑦＝④＋⑤＋⑥　　　　　　　　　　⑫　割引額合計",
    "　　⑫＝⑧＋⑨＋⑩　　　　　　　　　　⑬　作業代補償",
    "　　⑭＝(④＋⑤－⑫－⑬)＋⑥　　　　　⑭　総合計金額",
};

Text TotalLines() {
    DOC_LINE(1) = "　　　　　　　　";
    DOC_LINE(2) = FullWidthYen(DISCOUNT_TOTAL);
    DOC_LINE(3) = FullWidthYen(COMPENSATION_TOTAL);
    DOC_LINE(4) = FullWidthYen(GRAND_TOTAL);
    Int16 mode = static_cast<int>(CellAlign::Right);
    Int16 count = 4;
    文字列整理_SUB(mode, count);
    Text out;
    for (int j = 1; j <= 4; ++j) out += Text(kFormulaLines[j - 1]) + kColumnGap + DOC_LINE(j) + kCrLf;
    return out;
}

}  // namespace

Text EstimateShippingText() {
    if (RETURN_SHIPPING > 0) return FullWidthYen(RETURN_SHIPPING);
    if (!(GIFT_QUOTA > TOTAL_GIFTS)) return "当店負担、０円";
    return "着払の為、０円";
}

Text 見積書_SUB() {
    SummaryColumns c;
    PutCells(c);
    AlignColumns(c);

    Text out;
    for (int row : {1, 2, 6}) out += FourColumnLine(c, row);
    out += c.name[7] + kCrLf;
    out += c.name[8] + kCrLf;
    for (int row = 9; row <= 12; ++row) out += FourColumnLine(c, row);
    out += kCrLf;
    out += TotalLines();
    out += Text("　　但し(④＋⑤－⑫－⑬)＜０時は０　　　　　　　　") + kCrLf;
    return out;
}
