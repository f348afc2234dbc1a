// Shift-JIS (code page 932) to UTF-8 and back, through the system's converter each way: exactly,
// with bad bytes replaced, as shown to a person, or with the characters Shift-JIS lacks replaced
// and counted.
#include "runtime/values/encoding.h"

#include "runtime/values/code_page.h"

namespace rt {

size_t Utf8CharLength(std::string_view s) {
    if (s.empty()) return 0;
    const auto b = [&](size_t i) { return static_cast<unsigned char>(s[i]); };
    const unsigned char lead = b(0);
    if (lead < 0x80) return 1;
    size_t n;
    unsigned char low = 0x80, high = 0xBF;  // the range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        n = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        n = 3;
        if (lead == 0xE0) low = 0xA0;   // no overlong forms
        if (lead == 0xED) high = 0x9F;  // no surrogates
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        n = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;  // nothing past U+10FFFF
    } else {
        return 0;
    }
    if (s.size() < n || b(1) < low || b(1) > high) return 0;
    for (size_t i = 2; i < n; ++i)
        if (b(i) < 0x80 || b(i) > 0xBF) return 0;
    return n;
}

std::optional<std::string> SjisToUtf8(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    if (!cp932::ToUtf8(sjis, out, nullptr)) return std::nullopt;
    return out;
}

std::string SjisToUtf8Lossy(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    cp932::ToUtf8(sjis, out, [](std::string& o) {
        o += "\xEF\xBF\xBD";
        return true;
    });
    return out;
}

std::string SjisToUtf8Shown(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    // iconv takes 0x5C for a backslash; the yen sign is put in after the conversion, so that a
    // trail byte of 0x5C stays part of its character. A byte that is no character is marked
    // with 0xFF meanwhile, which UTF-8 never holds.
    cp932::ToUtf8(sjis, out, [](std::string& o) {
        o += '\xFF';
        return true;
    });
    std::string shown;
    shown.reserve(out.size());
    for (char c : out) {
        if (c == '\\') {
            shown += "\xC2\xA5";
        } else {
            shown += c == '\xFF' ? '?' : c;
        }
    }
    return shown;
}

std::optional<std::string> Utf8ToSjis(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    if (!cp932::FromUtf8(utf8, out, nullptr)) return std::nullopt;
    return out;
}

std::string Utf8ToSjisReplacing(std::string_view utf8, std::string_view replacement, int& replaced) {
    std::string out;
    out.reserve(utf8.size());
    // One replacement for a whole character, whose bytes iconv would otherwise refuse one by one.
    cp932::FromUtf8(
        utf8, out,
        [&](std::string& o) {
            o += replacement;
            ++replaced;
            return true;
        },
        Utf8CharLength);
    return out;
}

}  // namespace rt
