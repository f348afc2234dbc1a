#pragma once
// The table `totals --csv` writes, as RFC 4180 has it (a spreadsheet opens it as it stands): the
// fields of a row joined by commas, a field in double quotes when it needs them, each row ended
// by CR LF.
#include <iosfwd>
#include <string>
#include <vector>

// What `--bom` writes before the table: UTF-8's byte-order mark, without which a spreadsheet on
// Windows reads the Japanese names of the FILE column in the system's own code page.
inline constexpr char kUtf8ByteOrderMark[] = "\xEF\xBB\xBF";

// A row of the table: its texts (a file name, the header's names), then its figures. A field is
// in double quotes, its own doubled, when it holds a comma, a double quote or a line end (a file
// name may hold any of them). A text a spreadsheet would take for a formula (a name beginning
// with =, +, -, @, a tab or a CR) is quoted with an apostrophe before it, so that opening the
// table never runs what a file's name says; figures are the program's own numbers and stay as
// they are ("-500" is a number, not a formula).
void WriteCsvRow(std::ostream& out, const std::vector<std::string>& texts, const std::vector<std::string>& figures = {});
