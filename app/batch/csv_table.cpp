// The table of `totals --csv`, row by row.
#include "app/batch/csv_table.h"

#include <ostream>
#include <string_view>
#include <utility>

namespace {

bool LooksLikeFormula(const std::string& text) {
    return !text.empty() && std::string_view("=+-@\t\r").find(text[0]) != std::string_view::npos;
}

std::string CsvField(const std::string& field, bool text) {
    const bool formula = text && LooksLikeFormula(field);
    if (!formula && field.find_first_of(",\"\r\n") == std::string::npos) return field;
    std::string quoted = formula ? "\"'" : "\"";
    for (char c : field) {
        if (c == '"') quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

}  // namespace

void WriteCsvRow(std::ostream& out, const std::vector<std::string>& texts, const std::vector<std::string>& figures) {
    const char* separator = "";
    for (const std::string& text : texts) out << std::exchange(separator, ",") << CsvField(text, true);
    for (const std::string& figure : figures) out << std::exchange(separator, ",") << CsvField(figure, false);
    out << "\r\n";
}
