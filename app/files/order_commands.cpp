#include "app/files/order_commands.h"

#include "app/fee/amount_text.h"
#include "app/fee/fee_chain.h"
#include "app/fee/order_model.h"
#include "app/files/file_messages.h"
#include "app/files/order_file.h"
#include "app/files/recovery.h"
#include "app/screens/controls.h"
#include "runtime/files/file_names.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/number_text.h"
#include "runtime/window/dialogs.h"

namespace {

// A value of the hidden boxes as the program writes amounts there: without the sign position.
Text BoxNumber(double value) { return AmountDigits(static_cast<Single>(value)); }

}  // namespace

bool WFILE_SUB(Obj& form) {
    // Written, such a title would make a file that neither this program nor the shop can read.
    if (const std::optional<TitleSlot> slot = TitleTooLongToRead()) {
        ReportFileProblem(form, FileAction::Write, FILE_PATH, 0,
                          KindName(slot->kind) + "の" + ToFullWidth(IntegerDigits(slot->title + 1)) +
                              "冊目のタイトルが長すぎます。１行が３２，７６７バイトを超えるファイルは読み込めません。");
        return false;
    }
    const rt::FileResult written = rt::WriteFileReplacing(FILE_PATH, OrderFileBytes());
    if (!written.ok) ReportFileProblem(form, FileAction::Write, FILE_PATH, 0, ReasonOf(written));
    return written.ok;
}

bool RFILE_SUB(Obj& form) {
    const OrderFileRead order = ReadOrderFile(FILE_PATH);
    if (!order.content) {
        ReportFileProblem(form, FileAction::Read, FILE_PATH, order.problem.line, order.problem.reason);
        return false;
    }
    TakeOverLoadedOrder(*order.content);
    return true;
}

void TakeOverLoadedOrder(const OrderFileContent& content) {
    TakeOverOrder(content);
    // The hidden boxes follow the file: what it does not give is emptied.
    CUSTOMER_NAME = content.customerName.value_or(Text());
    SetText(EDIT7, CUSTOMER_NAME);
    SetText(EDIT4, content.advancePayment ? BoxNumber(*content.advancePayment) : Text());
    SetText(EDIT5, content.adjustDiscount ? BoxNumber(*content.adjustDiscount) : Text());
}

void 選択パス_SUB(const Text& extension) {
    const PathParts parts = SplitPath(FILE_PATH);
    LAST_DIR = parts.drive + parts.folder;
    if (parts.extension.empty()) FILE_PATH = LAST_DIR + parts.name + extension;
}

void BUTTON3_ON(Obj& form) {
    FILE_PATH = SaveDialog(form, "申込みデータの保存", LAST_DIR + "*.SAV", "(*.SAV)", 0);
    if (DialogCancelled(FILE_PATH)) return;
    // The file of that name is not deleted first: the new one replaces it once it is complete.
    選択パス_SUB(".SAV");
    if (WFILE_SUB(form)) RecoverySaved();
}

void BUTTON4_ON(Obj& form) {
    // The dialog starts in the folder of the last file chosen, or in the current folder.
    FILE_PATH = OpenDialog(form, "データファイルの読み込み", LAST_DIR, "(*.SAV)", 0);
    if (DialogCancelled(FILE_PATH)) return;
    const PathParts parts = SplitPath(FILE_PATH);
    LAST_DIR = parts.drive + parts.folder;
    if (RFILE_SUB(form)) 総合画面_SETSUB();
}
