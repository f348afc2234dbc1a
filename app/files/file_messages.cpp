// A file problem as the customer reads it: the message naming the file, what was being done and the
// line, and a failed system call's reason in the customer's words.
#include "app/files/file_messages.h"

#include <cerrno>

#include "app/fee/amount_text.h"
#include "runtime/window/dialogs.h"

void ReportFileProblem(Obj& form, FileAction action, const Text& path, int line, const Text& reason) {
    Text text = Text("ファイル「") + path +
                (action == FileAction::Read ? "」を読み込めません。\r\n" : "」に書き込めません。\r\n");
    if (line > 0) text += IntegerDigits(line) + "行目：";
    text += reason;
    // A failed write never touches the file that was there: the new one replaces it only whole.
    if (action == FileAction::Write) text += "\r\n同じ名前のファイルがあった場合、そのファイルは元のままです。";
    MessageBox(form, "ファイルエラーメッセージ", text, 0, 0);
}

Text ReasonOf(const rt::FileResult& result) {
    // The system refuses a folder as it refuses a file one may not read.
    if (result.err == EISDIR) return "ファイルではなく、フォルダです。";
    // A reader refuses a file larger than any it could take (a video named by mistake).
    if (result.err == EFBIG) return "ファイルが大きすぎます。";
    // The system says the same of a path too long in all and of one name in it too long, and
    // either may be to blame: the customer can choose a folder less deep or a shorter name.
    if (result.err == ENAMETOOLONG) return "パスまたはファイル名が長すぎます。浅いフォルダか短い名前をお選びください。";
    switch (result.code) {
        case 63: return "ファイルまたはフォルダが見つかりません。";
        case 64: return "同じ名前のファイルがあります。";
        case 66: return "開いているファイルが多すぎます。";
        case 67: return "ディスクがいっぱいです。";
        case 73: return "書き込みが禁止されています。";
        case 75: return "アクセスが許可されていません。";
        case 55: return "ファイル名が正しくありません。";
        default: return Text("システムのエラーです（") + Text(result.reason) + "）。";
    }
}
