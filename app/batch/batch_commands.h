#pragma once
// The shop's commands, run without a window system on the same routines as the screens: an
// order file is loaded as the load command loads it, the main screen's refresh prices it, and
// the statements are built and written as the statement screen builds and writes them.
//
// Several orders are priced in one run, each as if it were alone.
//
//   kalvoro totals [--csv [--bom]] ORDER… [--today …]      the orders' figures, NAME=VALUE or one table
//   kalvoro statements ORDER… --out DIR [--today …]        DIR/明細書.TXT and DIR/見積書.TXT (DIR/NAME/…)
//   kalvoro estimate ORDER… [--today …]                    both statements, for a person to read
#include <iosfwd>
#include <string>
#include <string_view>
#include <vector>

// Whether a word names one of the commands. Inline, so that the window's program can ask without
// linking the commands themselves.
inline bool IsBatchCommand(std::string_view word) { return word == "totals" || word == "statements" || word == "estimate"; }

// Runs the command of args[0] with the rest as its arguments (UTF-8, as the shell gives them).
// Returns the exit status: 0 done, 1 an order file or a written file failed (one line on `err`
// names the file, the line where there is one, and the problem; nothing written for that order,
// the others still priced) or `out` could not be written (one line on `err`; what it took before
// stays, and no order after it is priced), 2 a command line it does not understand (nothing
// priced).
int RunBatchCommand(std::vector<std::string> args, std::ostream& out, std::ostream& err);
