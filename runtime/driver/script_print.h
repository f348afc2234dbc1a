#pragma once
// What the scripted driver prints: the program's texts in UTF-8 and escaped, dialogs with their
// answers, and dumps of forms.
#include <iosfwd>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/backends/platform.h"
#include "runtime/values/values.h"

namespace rt {

class HeadlessPlatform;

// A program text (Shift-JIS) as the driver prints it: UTF-8, with \\, \", \r and \n escaped and
// every other control byte written \xNN (upper-case hex), so that each printed text is one line
// and what cannot be seen can still be told apart.
std::string EscapeSjis(std::string_view sjis);
// The same escapes on a text that is already UTF-8 (a script's own text, in a message).
std::string EscapeUtf8(std::string_view utf8);

const char* KindName(ControlKind k);
const char* AnswerName(Answer a);

// message "TITLE" "TEXT" buttons=… icon=… -> ANSWER (or ? when none was queued)
void PrintMessageBox(std::ostream& out, const std::string& title, const std::string& text, MessageButtons b,
                     MessageIcon i, std::optional<Answer> a);
// The report of a runtime error, as the program shows it, then what its Help button would show:
// help "TEXT". The record's path is printed from $XDG_STATE_HOME/ (or ~/.local/state/ when that
// is not set), so that a transcript does not depend on the home it ran in.
void PrintErrorReport(std::ostream& out, const std::string& report, const std::string& help);
// dialog save|open "TITLE" "START" "FILTERS" -> PATH|cancel (or ? when none was queued)
void PrintFileDialog(std::ostream& out, const FileDialogSpec& params, const std::optional<std::string>* chosen);

// The selection as `dump` and `expect … sel` show it: the index, or [i,j] for a
// multiple-selection list.
std::string SelectionText(const HeadlessPlatform& platform, WinHandle w, ControlKind kind);

// The form and every control of it, one line each, in resource order.
void PrintForm(std::ostream& out, const HeadlessPlatform& platform, Int32 formHandle);

}  // namespace rt
