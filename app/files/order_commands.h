#pragma once
// Saving and loading the order from the main screen ("セーブ", "ロード"), and the two routines
// that write and read the order file named by FILE_PATH. A file that cannot be read as an order
// and a write that fails are told to the customer; the order in memory and the file on disk
// stay as they were.
#include "runtime/window/window.h"

// Writes the order to FILE_PATH, replacing a file of that name only once the new one is
// complete. False when it failed (the customer has been told).
bool WFILE_SUB(Obj& form);

// Reads FILE_PATH as an order and takes it over, titles priced again and kinds subtotalled.
// False when the file cannot be read as an order (the customer has been told; nothing changed).
bool RFILE_SUB(Obj& form);

// What a load does with a file read whole: the order taken over, and the hidden boxes (customer
// name, advance payment, adjustment discount) set from the file or emptied.
struct OrderFileContent;
void TakeOverLoadedOrder(const OrderFileContent& content);

// After a file dialog: LAST_DIR becomes the chosen file's folder, and a name chosen without an
// extension gets `extension` (".SAV", ".TXT").
void 選択パス_SUB(const Text& extension);

// "セーブ": the save dialog, then WFILE_SUB.
void BUTTON3_ON(Obj& form);
// "ロード": the open dialog, then RFILE_SUB and the main screen's refresh.
void BUTTON4_ON(Obj& form);
