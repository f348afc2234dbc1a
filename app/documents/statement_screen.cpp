// The statement screen (FORM5) and the button that opens it: the mail attachment, then the work-fee
// details and the fee summary, each written to a text file, printed or saved as a PDF.
#include "app/documents/statement_screen.h"

#include "app/documents/fee_summary.h"
#include "app/documents/statement_text.h"
#include "app/documents/work_fee_details.h"
#include "app/fee/order_model.h"
#include "app/files/file_messages.h"
#include "app/files/order_commands.h"
#include "app/forms/controls.h"
#include "runtime/backends/platform.h"
#include "runtime/files/whole_file.h"
#include "runtime/window/dialogs.h"

Int16 STATEMENT_MODE;

namespace {

constexpr Int32 kOkButton = 0, kOkCancel = 1, kStopIcon = 0, kExclamationIcon = 2, kAnsweredOk = 0;
// The code BUTTON22_ON leaves for OUTFILE3_SUB: a statement file is being written.
constexpr int kStatementFileCommand = 22;

bool AnyTitleOfZeroYen() {
    for (int k = 0; k < kKindCount; ++k)
        for (int i = 0; i < TITLE_COUNT(k); ++i)
            if (TITLE_TOTAL(i, k) == 0) return true;
    return false;
}

void WriteMailAttachment(Obj& form) {
    FILE_PATH = SaveDialog(form, "メールに添付するデータの出力", LAST_DIR + "メール添付用.TXT", "テキスト形式(*.TXT)", 0);
    if (DialogCancelled(FILE_PATH)) return;
    // The file of that name is not deleted first: the new one replaces it once it is complete.
    if (書込パス_SUB(form, "メールに添付するデータの出力", ".TXT")) WFILE_SUB(form);
}

Statement StatementOnShow() { return STATEMENT_MODE == 1 ? Statement::WorkFeeDetails : Statement::Estimate; }

// The text on show as its file holds it. The text is taken as the customer could copy it: all of
// it selected, then the selection cleared again.
Text StatementFileText(Statement statement) {
    EditSetSel(EDIT6, 0, -1, 0);
    const Text text = EditSelText(EDIT6);
    EditSetSel(EDIT6, -1, 0, 0);
    return StatementFileBytes(statement, text);
}

rt::PrintJob StatementPrintJob(const Obj& form, const Text& caption) {
    rt::PrintJob job;
    job.owner = rt::WindowOf(form);
    job.caption = std::string(caption.view());
    job.documentName = StatementOnShow() == Statement::WorkFeeDetails ? "明細書" : "見積書";
    job.text = StatementFileText(StatementOnShow()).bytes();
    job.font = rt::CurrentPlatform().Font(rt::WindowOf(EDIT6));
    return job;
}

}  // namespace

void BUTTON2_ON(Obj& form) {
    if (TOTAL_TITLES == 0) return;
    if (AnyTitleOfZeroYen()) {
        MessageBox(form, "申込用データの出力のお知らせ", "申込み書籍の中に金額が０円の物があります。", kOkButton, kStopIcon);
        return;
    }
    // Either document may be declined without the other.
    if (MessageBox(form, "申込用データの出力のお知らせ", "これから「申込みメール添付用」のファイルを出力します。", kOkCancel,
                   kExclamationIcon) == kAnsweredOk)
        WriteMailAttachment(form);
    if (MessageBox(form, "作業代明細書出力のお知らせ", "これから「作業代の明細書」を出力します。", kOkCancel,
                   kExclamationIcon) != kAnsweredOk) {
        STATEMENT_MODE = 0;
        return;
    }
    SetVisible(BUTTON23, 0);
    SetMenuCommands(EDIT6, {{"印刷…", "Ctrl+P", 印刷_SUB}, {"PDFに保存…", "", PDF出力_SUB}});
    SetVisible(FORM5, -1);
    SetVisible(MAINFORM, 0);
    STATEMENT_MODE = 1;
    SetText(EDIT6, 作業代明細_SUB());
}

void BUTTON21_ON(Obj&) {
    SetText(EDIT6, "");
    if (STATEMENT_MODE == 1) {
        STATEMENT_MODE = 0;
        SetText(EDIT6, 見積書_SUB());
    } else {
        SetVisible(MAINFORM, -1);
        SetVisible(FORM5, 0);
    }
}

// Closed by the window manager, the statement is left for the main screen at once, whichever
// statement is on show.
void FORM5_QUERYCLOSE(Obj&) {
    SetText(EDIT6, "");
    STATEMENT_MODE = 0;
    SetVisible(MAINFORM, -1);
    SetVisible(FORM5, 0);
}

void BUTTON22_ON(Obj& form) {
    COMMAND = kStatementFileCommand;
    const bool details = STATEMENT_MODE == 1;
    const Text title = details ? "明細書の出力" : "見積書の出力";
    FILE_PATH = SaveDialog(form, title, LAST_DIR + (details ? "明細書.TXT" : "見積書.TXT"), "テキスト形式(*.TXT)", 0);
    if (DialogCancelled(FILE_PATH)) return;
    if (書込パス_SUB(form, title, ".TXT")) OUTFILE3_SUB(form);
}

bool OUTFILE3_SUB(Obj& form) {
    const Statement statement =
        COMMAND == kStatementFileCommand && STATEMENT_MODE != 1 ? Statement::Estimate : Statement::WorkFeeDetails;
    const rt::FileResult written = rt::WriteFileReplacing(FILE_PATH, StatementFileText(statement).bytes());
    if (!written.ok) ReportFileProblem(form, FileAction::Write, FILE_PATH, 0, ReasonOf(written));
    return written.ok;
}

void 印刷_SUB(Obj& form) {
    const Text caption = STATEMENT_MODE == 1 ? "明細書の印刷" : "見積書の印刷";
    const rt::PrintResult printed = PrintTextDialog(StatementPrintJob(form, caption));
    if (printed.outcome == rt::PrintOutcome::Failed)
        MessageBox(form, caption, Text("印刷できません。\r\nシステムのエラーです（") + Text(printed.reason) + "）。", kOkButton,
                   kStopIcon);
}

void PDF出力_SUB(Obj& form) {
    const bool details = STATEMENT_MODE == 1;
    const Text title = details ? "明細書のPDF出力" : "見積書のPDF出力";
    FILE_PATH = SaveDialog(form, title, LAST_DIR + (details ? "明細書.PDF" : "見積書.PDF"), "PDF形式(*.PDF)", 0);
    if (DialogCancelled(FILE_PATH)) return;
    if (!書込パス_SUB(form, title, ".PDF")) return;
    const rt::PdfResult pdf = PdfOfText(StatementPrintJob(form, title));
    if (!pdf.bytes) {
        ReportFileProblem(form, FileAction::Write, FILE_PATH, 0, Text("PDFを作成できません（") + Text(pdf.reason) + "）。");
        return;
    }
    // Replaced only once complete, as the text file is: a failed write leaves the old PDF whole.
    const rt::FileResult written = rt::WriteFileReplacing(FILE_PATH, *pdf.bytes);
    if (!written.ok) ReportFileProblem(form, FileAction::Write, FILE_PATH, 0, ReasonOf(written));
}
