// The batch commands' command lines: the three commands declared once with their options, read by
// CLI11, and what it cannot take turned into one line and exit status 2.
#include "app/batch/batch_command_line.h"

#include <CLI/CLI.hpp>

#include <algorithm>
#include <cstdio>
#include <ostream>

#include "runtime/values/text.h"

namespace {

// The terminal reads UTF-8: the help's non-ASCII texts are u8 literals, not the program's
// Shift-JIS.
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

void AddToday(CLI::App& command, std::optional<std::string>& today) {
    command.add_option("--today", today, "price as on this day instead of the computer's (the special discount)")
        ->type_name("YYYY-MM-DD");
}

void AddOrders(CLI::App& command, std::vector<std::string>& orders) {
    command.add_option("ORDER", orders, "order files (.SAV, or the mail attachment .TXT), priced in the order given")
        ->required();
}

}  // namespace

BatchCommandLine ReadBatchCommandLine(std::vector<std::string> args, std::ostream& out, std::ostream& err) {
    BatchCall call;
    CLI::App app("Prices order files for the book-scanning shop without a window.", "kalvoro");
    app.require_subcommand(1, 1);

    CLI::App* totals = app.add_subcommand(
        "totals",
        "Print the figures of the main screen for each order: NAME=VALUE lines (a line \"==> ORDER <==\" "
        "before each block when there are several orders), or with --csv one table of all orders.");
    CLI::Option* csv =
        totals->add_flag("--csv", call.csv, "one CSV table (RFC 4180, CR LF, UTF-8): a header, then a row per order");
    // Refused without --csv rather than ignored: the NAME=VALUE lines are read by scripts, and a
    // mark before them would break the first name.
    totals->add_flag("--bom", call.bom, "begin the table with UTF-8's byte-order mark (EF BB BF), for a spreadsheet on Windows")
        ->needs(csv);
    AddToday(*totals, call.today);
    AddOrders(*totals, call.orders);

    CLI::App* statements = app.add_subcommand(
        "statements",
        U8(u8"Write the two statement files of each order, as the statement screen writes them: DIR/明細書.TXT "
           u8"and DIR/見積書.TXT for one order, DIR/<the order file's name without its extension>/ for each of "
           u8"several."));
    statements->add_option("--out", call.outFolder, "the folder the statements are written to")
        ->type_name("DIR")
        ->required();
    AddToday(*statements, call.today);
    AddOrders(*statements, call.orders);

    CLI::App* estimate = app.add_subcommand(
        "estimate", "Print both statements of each order for a person to read (a line \"==> ORDER <==\" before "
                    "each when there are several orders).");
    AddToday(*estimate, call.today);
    AddOrders(*estimate, call.orders);

    // CLI11 takes the arguments last first, and uses them up: a day's thousands of names are
    // not held twice more.
    call.command = args.empty() ? std::string() : args[0];
    std::reverse(args.begin(), args.end());
    try {
        app.parse(args);
    } catch (const CLI::ParseError& e) {
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success)) return {std::nullopt, app.exit(e, out, err)};
        err << "kalvoro " << call.command << ": " << e.what() << " (see kalvoro " << call.command << " --help)\n";
        return {std::nullopt, 2};
    }
    // Checked here, before the date is handed on: the start-up would only warn and price the
    // order for the computer's date, and a shop script would take its exit status 0 for the
    // prices of the day it asked for.
    if (call.today) {
        const std::optional<CalendarDay> day = ReadCalendarDay(*call.today);
        if (!day) {
            err << "kalvoro " << call.command << ": --today " << *call.today
                << ": not a date of the calendar (YYYY-MM-DD)\n";
            return {std::nullopt, 2};
        }
        char written[16];
        std::snprintf(written, sizeof written, "%04d-%02d-%02d", day->year, day->month, day->day);
        call.today = written;
    }
    return {std::move(call), 0};
}
