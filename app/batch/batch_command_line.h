#pragma once
// The batch commands' command lines, read by CLI11: each command with its orders, its options and
// its own --help. Only a batch command's arguments come here; the window's start (no arguments,
// an order file, --script, --screenshot) is read by main() and never builds the parser.
#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

struct BatchCall {
    std::string command;              // "totals", "statements" or "estimate"
    std::vector<std::string> orders;  // as given, in the order given (UTF-8, as the shell gives them)
    std::string outFolder;            // statements: where the files go
    std::optional<std::string> today; // a day of the calendar, written YYYY-MM-DD however it was given
    bool csv = false;                 // totals: one table for all orders
    bool bom = false;                 // totals --csv: the table begins with UTF-8's byte-order mark
};

// The call, or the exit status when there is nothing to run: 0 after --help (printed on `out`),
// 2 for a command line not understood (one line on `err` says what and points to --help).
struct BatchCommandLine {
    std::optional<BatchCall> call;
    int status = 0;
};
BatchCommandLine ReadBatchCommandLine(std::vector<std::string> args, std::ostream& out, std::ostream& err);
