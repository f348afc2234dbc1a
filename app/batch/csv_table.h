#pragma once
// The table `totals --csv` writes, as RFC 4180 has it (a spreadsheet opens it as it stands): the
// fields of a row joined by commas, a field in double quotes when it needs them, each row ended
// by CR LF.
#include <iosfwd>
#include <string>
#include <vector>

// A row of the table; a field is in double quotes, its own doubled, when it holds a comma, a
// double quote or a line end (a file name may hold any of them).
void WriteCsvRow(std::ostream& out, const std::vector<std::string>& fields);
