#pragma once
// A line of a form source in words: bare words and quoted texts up to a "//" comment, and the
// failure that stops the reading with the line it happened on.
#include <string>
#include <string_view>
#include <vector>

namespace formc {

struct Token {
    bool quoted = false;
    std::string text;
};

struct Failed {
    int line;
    std::string reason;
};

[[noreturn]] void Fail(int line, std::string reason);

// Splits a line into words and quoted texts ("\"" and "\\" escape inside quotes) up to "//".
std::vector<Token> Tokenize(std::string_view line, int lineNo);

}  // namespace formc
