// Saving and loading the order from the main screen, whether through the dialogs, a drop or the
// command line: the order file written or read whole, and the customer told when it fails.
#include "app/files/order_commands.h"

#include <filesystem>
#include <optional>
#include <system_error>

#include "app/fee/amount_text.h"
#include "app/fee/fee_chain.h"
#include "app/fee/order_model.h"
#include "app/files/file_messages.h"
#include "app/files/order_file.h"
#include "app/forms/controls.h"
#include "runtime/files/channels.h"
#include "runtime/files/file_names.h"
#include "runtime/files/library_paths.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "runtime/values/number_text.h"
#include "runtime/window/dialogs.h"

namespace {

constexpr Int32 kYesNo = 4, kExclamationIcon = 2, kAnsweredYes = 5;

OrderInFileListener g_orderInFile;

// A value of the hidden boxes as the program writes amounts there: without the sign position.
Text BoxNumber(double value) { return AmountDigits(static_cast<Single>(value)); }

void TellOrderInFile() {
    if (g_orderInFile) g_orderInFile(OrderFileBytes());
}

}  // namespace

bool WFILE_SUB(Obj& form) {
    // Written, such an order would make a file that neither this program nor the shop reads back.
    if (const std::optional<Text> reason = WhyOrderCannotBeWritten()) {
        ReportFileProblem(form, FileAction::Write, FILE_PATH, 0, *reason);
        return false;
    }
    const rt::FileResult written = rt::WriteFileReplacing(FILE_PATH, OrderFileBytes());
    if (!written.ok) {
        ReportFileProblem(form, FileAction::Write, FILE_PATH, 0, ReasonOf(written));
        return false;
    }
    TellOrderInFile();
    return true;
}

void ListenForOrderInFile(OrderInFileListener listener) { g_orderInFile = std::move(listener); }

bool RFILE_SUB(Obj& form) {
    const OrderFileRead order = ReadOrderFile(FILE_PATH);
    if (!order.content) {
        ReportFileProblem(form, FileAction::Read, FILE_PATH, order.problem.line, order.problem.reason);
        return false;
    }
    TakeOverLoadedOrder(*order.content);
    TellOrderInFile();
    // Told once a load, after the figures are on screen: the file is the customer's still, and a
    // save writes it back in Shift-JIS.
    if (order.fromUtf8)
        MessageBox(form, "データファイルの読み込み",
                   Text("ファイル「") + FILE_PATH + "」はUTF-8で書かれていたため、Shift-JISに変換して読み込みました。", 0, 3);
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

bool 選択パス_SUB(const Text& extension) {
    const PathParts parts = SplitPath(FILE_PATH);
    LAST_DIR = parts.drive + parts.folder;
    if (!parts.extension.empty()) return false;
    FILE_PATH = LAST_DIR + parts.name + extension;
    return true;
}

bool 書込パス_SUB(Obj& form, const Text& title, const Text& extension) {
    // A name with a wildcard names no file the program could replace; writing it is refused
    // with its own message.
    if (!選択パス_SUB(extension) || rt::HasWildcard(FILE_PATH) || !FileExists(FILE_PATH)) return true;
    return MessageBox(form, title, Text("「") + FILE_PATH + "」は既に存在します。上書きしますか？", kYesNo,
                      kExclamationIcon) == kAnsweredYes;
}

void BUTTON3_ON(Obj& form) {
    FILE_PATH = SaveDialog(form, "申込みデータの保存", LAST_DIR + "*.SAV", "(*.SAV)", 0);
    if (DialogCancelled(FILE_PATH)) return;
    // The file of that name is not deleted first: the new one replaces it once it is complete.
    if (書込パス_SUB(form, "申込みデータの保存", ".SAV")) WFILE_SUB(form);
}

void BUTTON4_ON(Obj& form) {
    // The dialog starts in the folder of the last file chosen, or in the current folder.
    FILE_PATH = OpenDialog(form, "データファイルの読み込み", LAST_DIR, "(*.SAV)", 0);
    if (DialogCancelled(FILE_PATH)) return;
    LoadOrder(form, FILE_PATH);
}

bool LoadOrder(Obj& form, const Text& path) {
    FILE_PATH = path;
    const PathParts parts = SplitPath(FILE_PATH);
    LAST_DIR = parts.drive + parts.folder;
    if (!RFILE_SUB(form)) return false;
    総合画面_SETSUB();
    return true;
}

void MAINFORM_DROPFILES(Obj& form) {
    for (const std::string& path : rt::DroppedFiles()) {
        if (StartsLikeOrderFile(rt::ReadFileStart(path, kOrderFileStartBytes))) {
            LoadOrder(form, path);
            return;
        }
    }
}

void OpenOrderNamed(Obj& form, const std::string& pathUtf8) {
    // A name relative to where the program was started stays right when the dialogs start in
    // its folder later.
    std::error_code noFolder;
    const std::filesystem::path absolute = std::filesystem::absolute(rt::LibraryPath(pathUtf8), noFolder);
    const std::string full = noFolder ? pathUtf8 : rt::SystemPathOf(absolute);
    if (const std::optional<std::string> sjis = rt::Utf8ToSjis(full)) {
        LoadOrder(form, *sjis);
        return;
    }
    int unheld = 0;
    ReportFileProblem(form, FileAction::Read, rt::Utf8ToSjisReplacing(full, "?", unheld), 0,
                      "ファイル名に、このプログラムでは扱えない文字が含まれています。");
}
