#pragma once
// Message boxes and the file dialogs, with the argument checks the program relies on.
#include <string>
#include <vector>

#include "runtime/backends/platform.h"
#include "runtime/window/window.h"

// Buttons 0 OK, 1 OK/Cancel, 2 Abort/Retry/Ignore, 3 Yes/No/Cancel, 4 Yes/No, 5 Retry/Cancel,
// with 256 added when Enter presses the second button rather than the first; icon 0 stop,
// 1 question, 2 exclamation, 3 information, 4 none. The answer: OK 0, Cancel 1, Abort 2,
// Retry 3, Ignore 4, Yes 5, No 6.
Int32 MessageBox(const Obj& owner, const Text& title, const Text& text, Int32 buttons, Int32 icon,
                 Here here = Here::current());

// The chosen full path, or the one-byte text of byte 27 when the user cancels.
Text SaveDialog(const Obj& owner, const Text& title, const Text& initialPath, const Text& filter, Int32 mode,
                Here here = Here::current());
Text OpenDialog(const Obj& owner, const Text& title, const Text& initialPath, const Text& filter, Int32 mode,
                Here here = Here::current());

// Whether a file dialog's result is the cancel value.
// The print dialog for a text owned by its form, and the same pages as the bytes of a PDF file.
// Like every dialog they leave the floating-point flags as they found them.
rt::PrintResult PrintTextDialog(const rt::PrintJob& job);
rt::PdfResult PdfOfText(const rt::PrintJob& job);

inline bool DialogCancelled(const Text& result) { return result == Text("\x1b", 1); }

namespace rt {

// "ﾃｷｽﾄ形式(*.TXT,*.CSV)" → one filter of that name matching *.TXT and *.CSV; entries are
// separated by ";". nullopt when an entry has no parentheses.
std::optional<std::vector<FileFilter>> ParseFilter(const std::string& filter);

// The folder a dialog starts in and the name it presets, from the initial path.
struct InitialPath {
    std::string folder;  // absolute, ending in the separator
    std::string name;
};
InitialPath SplitInitialPath(const std::string& initialPath);

}  // namespace rt
