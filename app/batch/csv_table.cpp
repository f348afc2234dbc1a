// The table of `totals --csv`, row by row.
#include "app/batch/csv_table.h"

#include <ostream>

namespace {

std::string CsvField(const std::string& field) {
    if (field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string quoted = "\"";
    for (char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

void WriteCsvRow(std::ostream& out, const std::vector<std::string>& fields) {
    for (size_t i = 0; i < fields.size(); ++i) out << (i == 0 ? "" : ",") << CsvField(fields[i]);
    out << "\r\n";
}
