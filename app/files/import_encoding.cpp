// Whether a customer's title-data file is read as UTF-8 or Shift-JIS, told from its byte-order mark
// or from the bytes of its lines.
#include "app/files/import_encoding.h"

#include "runtime/values/encoding.h"

bool StripUtf8ByteOrderMark(std::string& bytes) {
    if (!bytes.starts_with("\xEF\xBB\xBF")) return false;
    bytes.erase(0, 3);
    return true;
}

ImportEncoding EncodingOfImportLines(bool byteOrderMark, const std::vector<std::string_view>& lines) {
    if (byteOrderMark) return ImportEncoding::Utf8;
    bool multiByte = false, kanaOrKanji = false;
    for (std::string_view line : lines) {
        for (size_t at = 0; at < line.size();) {
            const size_t n = rt::Utf8CharLength(line.substr(at));
            if (n == 0) return ImportEncoding::ShiftJis;
            multiByte = multiByte || n > 1;
            kanaOrKanji = kanaOrKanji || n > 2;
            at += n;
        }
    }
    if (!multiByte) return ImportEncoding::ShiftJis;
    // Japanese in UTF-8 takes three bytes a character. Read as Shift-JIS, such bytes are at best
    // rare kanji between half-width katakana, never a customer's titles: a file of them is UTF-8
    // even where it happens to be valid Shift-JIS too. Two-byte sequences only are a closer call:
    // they are also what half-width katakana make, and a file valid in both stays Shift-JIS.
    if (kanaOrKanji) return ImportEncoding::Utf8;
    for (std::string_view line : lines)
        if (!rt::SjisToUtf8(line)) return ImportEncoding::Utf8;
    return ImportEncoding::ShiftJis;
}
