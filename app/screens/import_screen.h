#pragma once
// The import screen (FORM4): titles of one kind made from a text or CSV file of the customer's
// own. "ユーザーデータからタイトル名取得" on the title list asks for the file; the screen lists the
// fields of its first line, the customer moves one or two of them to the right-hand list, and
// "データ転送　実行" makes one title of each line. The buttons only leave a command code; the main
// wait loop performs the step (インポート_SUB).
#include "runtime/values/values.h"
#include "runtime/window/window.h"

// The command codes of the import steps.
inline constexpr int kReadImportFile = 1, kMoveFieldsRight = 2, kMoveFieldsLeft = 3, kTransferTitles = 4;

// The kind the titles are made for, copied from CUR_KIND when a step runs.
extern Int16 IMPORT_KIND;
// Titles the kind can still take.
extern Single IMPORT_ROOM;

// "ユーザーデータからタイトル名取得": the file dialog, then the import screen (command 1).
void BUTTON10_ON(Obj& form);
// "キャンセル": back to the title list; the kind's titles stay as they were.
void BUTTON16_ON(Obj& form);
// The window manager's close of the import screen: as キャンセル.
void FORM4_QUERYCLOSE(Obj& form);
// "→", "←", "データ転送　実行": commands 2, 3 and 4.
void BUTTON17_ON(Obj& form);
void BUTTON18_ON(Obj& form);
void BUTTON19_ON(Obj& form);

// Performs the import step of COMMAND (1 to 4) for the main wait loop, then refreshes the two
// field lists when the screen stays. Any other command is left alone.
void インポート_SUB();

// Refills LIST2 (fields still free) and LIST3 (chosen fields, in order) from the choice.
void LIST_RESET();
