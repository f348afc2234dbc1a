#pragma once
// How the scripted driver reads one line of its script: the checks every line passes and the
// words a command line is cut into.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rt {

// Whether the bytes are well-formed UTF-8: no overlong forms, no surrogates, nothing past
// U+10FFFF. A script saved in another encoding fails here rather than as a Shift-JIS problem.
bool IsUtf8(std::string_view s);

// The first control byte (below 0x20, or 0x7F) in s, npos when there is none. A tab counts only
// when `tabs` says so: it separates words, but a keyboard cannot type one into a box.
enum class Tabs { Allowed, Refused };
size_t FindControlByte(std::string_view s, Tabs tabs);

// "\x1F": how a control byte is named in the driver's messages and output.
std::string ControlByteName(unsigned char c);

// Whether two words are the same in any letter case (ASCII letters only): command words, keys,
// properties and control names are matched this way.
bool SameWord(std::string_view a, std::string_view b);

// A command line cut into words at blanks and tabs. The commands whose last argument is a text
// take the rest of the line instead, so that a text may hold blanks.
class ScriptLine {
public:
    explicit ScriptLine(std::string_view line);

    size_t Size() const { return words_.size(); }
    // Word i, empty past the end.
    std::string Word(size_t i) const;
    // The rest of the line after word i and the one blank or tab that follows it; nullopt when
    // the line ends with word i.
    std::optional<std::string_view> RestAfter(size_t i) const;
    // Words i and later as written, for messages.
    std::string_view From(size_t i) const;

    // A line of blanks and tabs only, or one whose first word starts with #.
    bool IsBlankOrComment() const { return words_.empty() || line_[words_[0].first] == '#'; }

private:
    std::string_view line_;
    std::vector<std::pair<size_t, size_t>> words_;  // start and end of each word
};

}  // namespace rt
