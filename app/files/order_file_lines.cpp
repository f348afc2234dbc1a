// The encoding and the line ends of an order file, decided before a line of it is read.
#include "app/files/order_file_lines.h"

#include "app/files/import_encoding.h"
#include "runtime/values/encoding.h"

namespace {

constexpr auto npos = std::string_view::npos;

bool IsUtf8(std::string_view s) {
    for (size_t n = 0; !s.empty(); s.remove_prefix(n))
        if ((n = rt::Utf8CharLength(s)) == 0) return false;
    return true;
}

// Why a line of a UTF-8 file cannot be read: a character Shift-JIS has no form for, shown as
// "？". On a title's line (four commas before it) the title is named, as a save names it.
Text UnheldCharacterProblem(std::string_view utf8Line) {
    while (!utf8Line.empty() && (utf8Line.back() == '\r' || utf8Line.back() == '\n')) utf8Line.remove_suffix(1);
    int unheld = 0;
    Text line(rt::Utf8ToSjisReplacing(utf8Line, "？", unheld));
    size_t nameAt = 0;
    for (int comma = 0; comma < 4 && nameAt != npos; ++comma) {
        nameAt = line.view().find(',', nameAt);
        if (nameAt != npos) ++nameAt;
    }
    const Text which =
        nameAt != npos ? Text("タイトル「") + TextMid(line, static_cast<Int32>(nameAt) + 1) : Text("「") + line;
    return which + "」に、このプログラムで使えない文字（「？」の所）があります。";
}

}  // namespace

std::optional<OrderFileProblem> OrderFileInShiftJis(std::string& bytes, bool& fromUtf8) {
    const bool marked = StripUtf8ByteOrderMark(bytes);
    if (!marked && EncodingOfImportLines(false, {bytes}) == ImportEncoding::ShiftJis) return std::nullopt;
    std::string sjis;
    int line = 1;
    for (size_t at = 0; at < bytes.size(); ++line) {
        size_t end = bytes.find_first_of("\r\n", at);
        if (end == npos) end = bytes.size();
        else if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') end += 2;
        else ++end;
        const std::string_view piece(bytes.data() + at, end - at);
        const std::optional<std::string> converted = rt::Utf8ToSjis(piece);
        // Only a file with the mark reaches here with bytes that are no UTF-8: one an editor
        // wrote in Shift-JIS behind a mark, whose characters are not missing but misread.
        if (!converted && !IsUtf8(piece))
            return OrderFileProblem{
                line, "ファイルはUTF-8の印（BOM）で始まっていますが、この行はUTF-8として正しくありません。"};
        if (!converted) return OrderFileProblem{line, UnheldCharacterProblem(piece)};
        sjis += *converted;
        at = end;
    }
    bytes = std::move(sjis);
    fromUtf8 = true;
    return std::nullopt;
}

void UndoSecondConversion(std::string& bytes) {
    const size_t first = bytes.find_first_of("\r\n");
    if (first == npos || bytes.compare(first, 3, "\r\r\n") != 0) return;
    std::string once;
    once.reserve(bytes.size());
    for (size_t at = 0; at < bytes.size(); ++at)
        if (bytes.compare(at, 3, "\r\r\n") != 0) once += bytes[at];
    bytes = std::move(once);
}

rt::LineEnds LineEndsOf(std::string_view bytes) {
    auto loneLf = [&](size_t at) { return at != npos && bytes[at] == '\n' && (at == 0 || bytes[at - 1] != '\r'); };
    return loneLf(bytes.find_first_of("\r\n")) || loneLf(bytes.find_last_of("\r\n")) ? rt::LineEnds::CrOrLf
                                                                                      : rt::LineEnds::Cr;
}

bool HasLoneLf(std::string_view bytes) {
    for (size_t at = bytes.find('\n'); at != npos; at = bytes.find('\n', at + 1))
        if (at == 0 || bytes[at - 1] != '\r') return true;
    return false;
}

int LastLineWithText(std::string_view bytes, rt::LineEnds ends) {
    if (bytes.ends_with('\x1A')) bytes.remove_suffix(1);
    bytes = bytes.substr(0, bytes.find_last_not_of("\r\n") + 1);
    int line = 1;
    // As the reader counts them: every CR (with the LF after it), and where LF alone ends a
    // line, every other LF.
    for (size_t at = 0; at < bytes.size(); ++at)
        if (bytes[at] == '\r' || (ends == rt::LineEnds::CrOrLf && bytes[at] == '\n' && (at == 0 || bytes[at - 1] != '\r')))
            ++line;
    return line;
}
