#pragma once
// "申込用データ出力" on the main screen and the statement screen it opens (FORM5): the mail
// attachment, the work-fee details, then the fee summary, each of which can be written to a
// text file, printed or saved as a PDF.
#include "runtime/values/values.h"
#include "runtime/window/window.h"

// 1 while FORM5 shows the work-fee details, 0 while it shows the fee summary.
extern Int16 STATEMENT_MODE;

// Refuses an order with a title of 0 yen; otherwise offers to write the mail attachment
// ("メール添付用.TXT", the saved-order format) and then to show the work-fee details.
void BUTTON2_ON(Obj& form);

// "終了": from the details on to the fee summary; from the summary back to the main screen.
void BUTTON21_ON(Obj& form);
// The window manager's close of the statement: back to the main screen.
void FORM5_QUERYCLOSE(Obj& form);

// "ファイルに出力": the text on show to "明細書.TXT" or "見積書.TXT".
void BUTTON22_ON(Obj& form);

// Writes FILE_PATH from the text of EDIT6; the estimate gets its heading. False when the write
// failed (the customer has been told; a file of that name keeps its old bytes).
bool OUTFILE3_SUB(Obj& form);

// "印刷…" (also Ctrl+P) in the context menu of the statement box: the lines its text file would
// hold, through the print dialog, in the box's own fixed-pitch face with the columns as shown.
void 印刷_SUB(Obj& form);

// "PDFに保存…" there: the same pages to "明細書.PDF" or "見積書.PDF", written like the text file.
void PDF出力_SUB(Obj& form);
