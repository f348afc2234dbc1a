// A script line as the driver reads it: the UTF-8 and control-byte checks, words matched in any
// letter case, and the line cut into words at blanks and tabs.
#include "runtime/driver/script_line.h"

#include <cstdio>

namespace rt {

bool IsUtf8(std::string_view s) {
    size_t i = 0;
    while (i < s.size()) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c < 0x80) {
            ++i;
            continue;
        }
        size_t len;
        unsigned char lo = 0x80, hi = 0xBF;  // the bounds of the second byte
        if (c >= 0xC2 && c <= 0xDF)
            len = 2;
        else if (c >= 0xE0 && c <= 0xEF) {
            len = 3;
            if (c == 0xE0)
                lo = 0xA0;  // overlong below U+0800
            else if (c == 0xED)
                hi = 0x9F;  // surrogates
        } else if (c >= 0xF0 && c <= 0xF4) {
            len = 4;
            if (c == 0xF0)
                lo = 0x90;  // overlong below U+10000
            else if (c == 0xF4)
                hi = 0x8F;  // past U+10FFFF
        } else {
            return false;  // a continuation byte without a lead, or an overlong two-byte lead
        }
        if (s.size() - i < len) return false;
        for (size_t k = 1; k < len; ++k) {
            unsigned char t = static_cast<unsigned char>(s[i + k]);
            if (t < (k == 1 ? lo : 0x80) || t > (k == 1 ? hi : 0xBF)) return false;
        }
        i += len;
    }
    return true;
}

size_t FindControlByte(std::string_view s, Tabs tabs) {
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if (c == '\t' && tabs == Tabs::Allowed) continue;
        if (c < 0x20 || c == 0x7F) return i;
    }
    return std::string_view::npos;
}

std::string ControlByteName(unsigned char c) {
    char name[8];
    std::snprintf(name, sizeof name, "\\x%02X", c);
    return name;
}

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    for (size_t i = 0; i < a.size(); ++i)
        if (lower(a[i]) != lower(b[i])) return false;
    return true;
}

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
}  // namespace

ScriptLine::ScriptLine(std::string_view line) : line_(line) {
    size_t i = 0;
    for (;;) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size()) break;
        size_t start = i;
        while (i < line.size() && !IsBlank(line[i])) ++i;
        words_.emplace_back(start, i);
    }
}

std::string ScriptLine::Word(size_t i) const {
    if (i >= words_.size()) return {};
    return std::string(line_.substr(words_[i].first, words_[i].second - words_[i].first));
}

std::optional<std::string_view> ScriptLine::RestAfter(size_t i) const {
    if (i >= words_.size()) return std::nullopt;
    size_t end = words_[i].second;
    if (end == line_.size()) return std::nullopt;
    return line_.substr(end + 1);
}

std::string_view ScriptLine::From(size_t i) const {
    if (i >= words_.size()) return {};
    return line_.substr(words_[i].first, words_.back().second - words_[i].first);
}

}  // namespace rt
