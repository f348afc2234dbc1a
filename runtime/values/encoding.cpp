// Shift-JIS (code page 932) to UTF-8 and back, through one converter each way: exactly, with bad
// bytes replaced, as shown to a person, or with the characters Shift-JIS lacks replaced and
// counted.
#include "runtime/values/encoding.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <mutex>

namespace rt {
namespace {

// One converter per direction, opened once; iconv descriptors are not shared between threads,
// and the program has one thread, but the lock keeps tests and tools honest.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    ~Converter() {
        if (cd_ != reinterpret_cast<iconv_t>(-1)) iconv_close(cd_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    // Converts as far as possible. On an invalid sequence calls onBad(skippedBytes&) which may
    // append a replacement; returns false when onBad is null. badLength, when given, tells how
    // many bytes the offending sequence takes; otherwise one byte is skipped.
    template <class OnBad>
    bool Run(std::string_view in, std::string& out, OnBad onBad, size_t (*badLength)(std::string_view) = nullptr) {
        std::lock_guard lock(mutex_);
        if (cd_ == reinterpret_cast<iconv_t>(-1)) return false;
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);
        char* src = const_cast<char*>(in.data());
        size_t left = in.size();
        char buf[1024];
        while (left > 0) {
            char* dst = buf;
            size_t room = sizeof buf;
            size_t r = iconv(cd_, &src, &left, &dst, &room);
            out.append(buf, static_cast<size_t>(dst - buf));
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG) continue;
                if (!onBad(out)) return false;
                // Skip the offending input and go on.
                const size_t skip = badLength ? std::max<size_t>(1, badLength({src, left})) : 1;
                src += skip;
                left -= skip;
                iconv(cd_, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return true;
    }

private:
    iconv_t cd_;
    std::mutex mutex_;
};

Converter& ToUtf8() {
    static Converter c("UTF-8", "CP932");
    return c;
}
Converter& ToSjis() {
    static Converter c("CP932", "UTF-8");
    return c;
}

}  // namespace

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
    if (!ToUtf8().Run(sjis, out, [](std::string&) { return false; })) return std::nullopt;
    return out;
}

std::string SjisToUtf8Lossy(std::string_view sjis) {
    std::string out;
    out.reserve(sjis.size() * 3 / 2);
    ToUtf8().Run(sjis, out, [](std::string& o) {
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
    ToUtf8().Run(sjis, out, [](std::string& o) {
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
    if (!ToSjis().Run(utf8, out, [](std::string&) { return false; })) return std::nullopt;
    return out;
}

std::string Utf8ToSjisReplacing(std::string_view utf8, std::string_view replacement, int& replaced) {
    std::string out;
    out.reserve(utf8.size());
    // One replacement for a whole character, whose bytes iconv would otherwise refuse one by one.
    ToSjis().Run(
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
