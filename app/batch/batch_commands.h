#pragma once
// The shop's commands, run without a window system on the same routines as the screens: an
// order file is loaded as the load command loads it, the main screen's refresh prices it, and
// the statements are built and written as the statement screen builds and writes them.
//
//   kalvoro totals ORDER [--today YYYY-MM-DD]              the order's figures, NAME=VALUE
//   kalvoro statements ORDER --out DIR [--today …]         DIR/明細書.TXT and DIR/見積書.TXT
//   kalvoro estimate ORDER [--today …]                     both statements, for a person to read
#include <iosfwd>
#include <string>
#include <vector>

// Whether args[0] names one of the commands.
bool IsBatchCommand(const std::string& word);

// Runs the command of args[0] with the rest as its arguments (UTF-8, as the shell gives them).
// Returns the exit status: 0 done, 1 the order file or a written file failed (one line on
// `err` names the file, the line where there is one, and the problem; nothing written), 2 a
// command line it does not understand.
int RunBatchCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
