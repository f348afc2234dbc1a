// A line of a form source in words (source_words.h).
#include "tools/formc/source_words.h"

namespace formc {

[[noreturn]] void Fail(int line, std::string reason) { throw Failed{line, std::move(reason)}; }

// Splits a line into words and quoted texts ("\"" and "\\" escape inside quotes) up to "//".
std::vector<Token> Tokenize(std::string_view line, int lineNo) {
    std::vector<Token> tokens;
    size_t i = 0;
    while (i < line.size()) {
        char c = line[i];
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (line.substr(i, 2) == "//") {
            break;
        } else if (c == '"') {
            Token t{true, {}};
            for (++i;; ++i) {
                if (i >= line.size()) Fail(lineNo, "text without its closing quote");
                if (line[i] == '"') break;
                if (line[i] == '\\') {
                    if (i + 1 >= line.size() || (line[i + 1] != '"' && line[i + 1] != '\\'))
                        Fail(lineNo, "only \\\" and \\\\ may follow a backslash");
                    ++i;
                }
                t.text += line[i];
            }
            ++i;
            tokens.push_back(std::move(t));
        } else {
            size_t end = line.find_first_of(" \t\"", i);
            if (end == std::string_view::npos) end = line.size();
            tokens.push_back({false, std::string(line.substr(i, end - i))});
            i = end;
        }
    }
    return tokens;
}

}  // namespace formc
