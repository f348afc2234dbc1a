// The title list of one kind (FORM2): its lines with their amounts aligned, a title opened or
// added, titles removed without leaving a gap, and the return to the main screen.
#include "app/screens/title_list.h"

#include <algorithm>
#include <vector>

#include "app/fee/amount_text.h"
#include "app/fee/fee_chain.h"
#include "app/fee/order_model.h"
#include "app/fee/order_totals.h"
#include "app/forms/controls.h"
#include "app/screens/title_entry.h"
#include "runtime/window/dialogs.h"

Int16 LISTED_TITLES;
Int16 ZERO_AMOUNT_FLAG;

namespace {

// Yes and No, Enter pressing No (256 makes the second button the default).
constexpr Int32 kYesNoDefaultNo = 4 + 256, kExclamationIcon = 2, kAnsweredYes = 5;

// DOC_LINE(1..n) right-aligned to their widest entry, taken out of the shared buffer.
std::vector<Text> RightAligned(int n) {
    Int16 mode = 2, count = n;
    文字列整理_SUB(mode, count);
    std::vector<Text> column;
    column.reserve(static_cast<size_t>(n));
    for (int i = 1; i <= n; ++i) column.push_back(DOC_LINE(i));
    return column;
}

// Every per-title value of slot `to` becomes that of slot `from`.
void CopySlot(int from, int to, int k) {
    TITLE_NAME(to, k) = TITLE_NAME(from, k);
    TITLE_TOTAL(to, k) = TITLE_TOTAL(from, k);
    LIST_PRICE(to, k) = LIST_PRICE(from, k);
    PAGE_COUNT(to, k) = PAGE_COUNT(from, k);
    BOOK_TYPE(to, k) = BOOK_TYPE(from, k);
    COURSE(to, k) = COURSE(from, k);
    OPT_WORKS(to, k) = OPT_WORKS(from, k);
    OPT_NO_MOIRE(to, k) = OPT_NO_MOIRE(from, k);
    OPT_NO_SPREAD(to, k) = OPT_NO_SPREAD(from, k);
    OPT_TRIM(to, k) = OPT_TRIM(from, k);
    TITLE_DPI(to, k) = TITLE_DPI(from, k);
    GIFT_FLAG(to, k) = GIFT_FLAG(from, k);
    COMPENSATE_FLAG(to, k) = COMPENSATE_FLAG(from, k);
    COMPENSATION_AMOUNT(to, k) = COMPENSATION_AMOUNT(from, k);
}

// The last slot has no slot after it to move down: it is left as a slot nobody has used.
void EmptySlot(int t, int k) {
    TITLE_NAME(t, k) = "";
    TITLE_TOTAL(t, k) = 0;
    LIST_PRICE(t, k) = 0;
    PAGE_COUNT(t, k) = 0;
    BOOK_TYPE(t, k) = 0;
    COURSE(t, k) = 0;
    OPT_WORKS(t, k) = 0;
    OPT_NO_MOIRE(t, k) = 0;
    OPT_NO_SPREAD(t, k) = 0;
    OPT_TRIM(t, k) = 0;
    TITLE_DPI(t, k) = 0;
    GIFT_FLAG(t, k) = 0;
    COMPENSATE_FLAG(t, k) = 0;
    COMPENSATION_AMOUNT(t, k) = 0;
}

}  // namespace

void LIST1_ADD() {
    const int k = CUR_KIND;
    ListClear(LIST1);
    GIFT_COUNT(k) = 0;
    ZERO_AMOUNT_FLAG = 0;

    // A loaded order may fill every slot of a kind; the list then ends with the last slot.
    int n = 0;
    while (n <= kSlotUpper && !TITLE_NAME(n, k).empty()) {
        if (GIFT_FLAG(n, k) == 1) GIFT_COUNT(k) = GIFT_COUNT(k) + 1;
        ++n;
    }
    TITLE_COUNT(k) = n;
    LISTED_TITLES = n;

    if (n > 0) {
        for (int i = 0; i < n; ++i) DOC_LINE(i + 1) = IntegerDigits(i + 1);
        const std::vector<Text> ordinals = RightAligned(n);

        // The amount column starts with the yen sign, byte 0x5C of the code page.
        for (int i = 0; i < n; ++i) {
            if (TITLE_TOTAL(i, k) == 0) ZERO_AMOUNT_FLAG = 1;
            DOC_LINE(i + 1) = Text("\\") + AmountDigits(TITLE_TOTAL(i, k));
        }
        const std::vector<Text> amounts = RightAligned(n);

        // With no gift in the kind the column stays empty and takes no room.
        for (int i = 0; i < n; ++i) DOC_LINE(i + 1) = GIFT_FLAG(i, k) == 1 ? "贈与" : "";
        const std::vector<Text> gifts = RightAligned(n);

        for (int i = 0; i < n; ++i) {
            const size_t at = static_cast<size_t>(i);
            ListAdd(LIST1, ordinals[at] + "  " + amounts[at] + "   " + gifts[at] + "   " + TITLE_NAME(i, k));
        }
    }
    if (n < MAX_TITLES(k)) ListAdd(LIST1, "タイトルを追加");

    小合計_SUB();
    SetText(TEXT14, FullWidthYen(KIND_SUBTOTAL(k)));
}

void LIST1_CLICK(Obj&) {
    const Int32 line = ListIndex(LIST1);
    if (line < 0) return;  // a click beside the lines chooses nothing
    CUR_TITLE = line;
    if (CUR_TITLE == LISTED_TITLES) 変数_RESETSUB();
    タイトル別_SETSUB();
    if (COMPENSATE_FLAG(CUR_TITLE, CUR_KIND) == 1) SetCheck(CHECK6, 1);
}

void タイトル削除_SUB(int t) {
    const int k = CUR_KIND;
    LISTED_TITLES = LISTED_TITLES - 1;
    // The last copy brings the empty slot after the list down. A kind that fills every slot
    // (a loaded order may) has no slot after its last one: that slot is emptied instead.
    for (int i = t; i <= LISTED_TITLES; ++i) {
        if (i + 1 <= kSlotUpper) {
            CopySlot(i + 1, i, k);
        } else {
            EmptySlot(i, k);
        }
    }
}

void BUTTON11_ON(Obj& form) {
    // A notice only: the customer may still go back and finish the titles later.
    if (ZERO_AMOUNT_FLAG == 1)
        MessageBox(form, "未入力のお知らせメッセージ", "申込み書籍の中に金額が０円の物があります。", 0, 3);
    総合画面_SETSUB();
}

// The window manager's close button (or Alt+F4) leaves the list as its own button does.
void FORM2_QUERYCLOSE(Obj& form) { BUTTON11_ON(form); }

void BUTTON20_ON(Obj& form) {
    // Up to 121 titles go at one click with no way back: the customer is asked first, and Enter
    // pressed by habit keeps them.
    if (TITLE_COUNT(CUR_KIND) > 0 &&
        MessageBox(form, "全タイトル消去",
                   KindName(CUR_KIND) + "のタイトルをすべて消去しますか？\r\n消去したタイトルは元に戻せません。",
                   kYesNoDefaultNo, kExclamationIcon) != kAnsweredYes)
        return;
    // Every title and the slot after the last one; a kind that fills every slot has none after.
    const int last = std::min<int>(TITLE_COUNT(CUR_KIND), kSlotUpper);
    for (CUR_TITLE = 0; CUR_TITLE <= last; CUR_TITLE = CUR_TITLE + 1) 変数_RESETSUB();
    LIST1_ADD();
}
