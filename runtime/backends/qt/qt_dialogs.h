#pragma once
// How the program's message boxes and file dialogs are set up in Qt.
#include <QMessageBox>
#include <QString>
#include <QStringList>

#include <vector>

#include "runtime/backends/platform.h"

namespace rt::qt {

// The buttons of a message box in order (the first is the default) and what each answers.
struct MessageButton {
    QMessageBox::StandardButton button;
    Answer answer;
    QString label;
};
std::vector<MessageButton> ButtonsOf(MessageButtons buttons);

// What Esc (and the close box) answers. Where the box has a Cancel button it is Cancel; a lone
// OK box answers OK; Yes/No answers No and Abort/Retry/Ignore answers Abort, the answers that
// leave things as they are.
Answer EscapeAnswer(MessageButtons buttons);

// A file pattern that matches regardless of letter case: "*.TXT" → "*.[Tt][Xx][Tt]". "*.*"
// becomes "*", which, as on the original's file system, also matches names without a dot.
QString CaseInsensitiveGlob(const QString& pattern);

// The file dialog's start: its folder, the name shown in the name field, its name filters
// ("description (globs)"; the dialog shows the description only) and the one selected.
struct FileDialogStart {
    QString folder;
    QString fileName;
    QStringList nameFilters;
    int selectedFilter = 0;
};
// An initial name with a wildcard ("*.SAV") is a filter, not a file name: the name field stays
// empty and the list shows the matching files, through the given filter with that pattern or,
// when there is none, a filter of its own placed first.
FileDialogStart PlanFileDialog(const FileDialogSpec& params);

// The folder of the last file chosen in a file dialog of the real window, kept across runs in
// $XDG_CONFIG_HOME/kalvoro/last-folder (~/.config when unset). RememberedFolder gives it when it
// still exists and forgets it quietly when it does not; an empty text when there is none.
QString RememberedFolder();
void RememberFolder(const QString& folder);

}  // namespace rt::qt
