#pragma once
// What `kalvoro --help` prints, on every system. The terminal reads UTF-8, so the help is
// written in it, not in the program's Shift-JIS.

inline constexpr const char8_t* kHelpText =
    u8"Usage: kalvoro [ORDER.SAV | OPTION]\n"
    "Prepares an order for the book-scanning shop: titles, fees, coupons, order files and\n"
    "fee statements.\n"
    "\n"
    "  (no option)                 open the main screen\n"
    "  ORDER.SAV                   open the main screen with that order loaded (a name\n"
    "                              that starts with - or is a command: ./NAME)\n"
    "  --script FILE               run the program without windows, taking the user's actions\n"
    "                              from FILE (\"-\" reads standard input); see README.md\n"
    "  --screenshot FORM FILE.png [--script SCRIPT]\n"
    "                              draw FORM as the window system shows it, after the\n"
    "                              script's actions when one is given, into FILE.png\n"
    "  totals [--csv [--bom]] ORDER… [--today YYYY-MM-DD]\n"
    "                              load the order files and print their figures, NAME=VALUE,\n"
    "                              or with --csv one CSV table, a row per order (--bom: begin\n"
    "                              it with UTF-8's byte-order mark, for a spreadsheet)\n"
    "  statements ORDER… --out DIR [--today YYYY-MM-DD]\n"
    "                              write DIR/明細書.TXT and DIR/見積書.TXT for the order\n"
    "                              (for each of several, in DIR/<its name without extension>/)\n"
    "  estimate ORDER… [--today YYYY-MM-DD]\n"
    "                              print both statements of each order\n"
    "                              (kalvoro COMMAND --help: the command's own help)\n"
    "  --help                      show this text and exit\n"
    "  --version                   show the version and exit\n"
    "\n"
    "Environment:\n"
    "  KALVORO_TODAY=YYYY-MM-DD   use this date instead of the computer's clock\n";
