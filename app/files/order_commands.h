#pragma once
// Saving and loading the order from the main screen ("セーブ", "ロード"), and the two routines
// that write and read the order file named by FILE_PATH. A file that cannot be read as an order
// and a write that fails are told to the customer; the order in memory and the file on disk
// stay as they were.
#include <functional>
#include <string>

#include "runtime/window/window.h"

// Writes the order to FILE_PATH, replacing a file of that name only once the new one is
// complete. False when it failed (the customer has been told).
bool WFILE_SUB(Obj& form);

// Reads FILE_PATH as an order and takes it over, titles priced again and kinds subtotalled.
// False when the file cannot be read as an order (the customer has been told; nothing changed).
bool RFILE_SUB(Obj& form);

// Told with the order's bytes whenever the order in memory has just become equal to a file on
// disk: after WFILE_SUB wrote it (a save, the mail attachment) and after RFILE_SUB loaded it.
// One listener at a time; an empty function stops the telling.
using OrderInFileListener = std::function<void(const std::string& orderBytes)>;
void ListenForOrderInFile(OrderInFileListener listener);

// What a load does with a file read whole: the order taken over, and the hidden boxes (customer
// name, advance payment, adjustment discount) set from the file or emptied.
struct OrderFileContent;
void TakeOverLoadedOrder(const OrderFileContent& content);

// After a file dialog: LAST_DIR becomes the chosen file's folder, and a name chosen without an
// extension gets `extension` (".SAV", ".TXT"). True when the extension was added.
bool 選択パス_SUB(const Text& extension);

// 選択パス_SUB for a file about to be written. The save dialog asked before replacing the name
// that was chosen, but not the name with the extension added: when that names an existing file,
// a message box titled `title` asks. False when the customer said no; nothing may be written then.
bool 書込パス_SUB(Obj& form, const Text& title, const Text& extension);

// "セーブ": the save dialog, then WFILE_SUB.
void BUTTON3_ON(Obj& form);
// "ロード": the open dialog, then LoadOrder.
void BUTTON4_ON(Obj& form);

// What "ロード" does with the file chosen: LAST_DIR becomes its folder, RFILE_SUB reads it and
// the main screen shows the order. False when it could not be read (the customer has been told).
bool LoadOrder(Obj& form, const Text& path);

// Files dropped on the main screen: the first that starts like an order file is loaded as
// "ロード" loads it; anything else dropped is left alone.
void MAINFORM_DROPFILES(Obj& form);

// The order named on the command line (a path in the system's UTF-8), loaded as "ロード" would
// load it; a name Shift-JIS cannot hold is told as a file that cannot be read.
void OpenOrderNamed(Obj& form, const std::string& pathUtf8);
