// The system's conversion between code page 932 and UTF-8 on Windows: through UTF-16 with the
// code page functions, refusing what does not convert (MB_ERR_INVALID_CHARS) and never putting a
// look-alike in a character's place (WC_NO_BEST_FIT_CHARS). The user's own code page is never
// asked, so an English or a Chinese Windows converts as a Japanese one does.
#include <windows.h>

#include <algorithm>

#include "runtime/values/code_page.h"
#include "runtime/values/encoding.h"

namespace rt::cp932 {
namespace {

constexpr UINT kShiftJis = 932;

// Appends the UTF-16 of `in` in code page `from`; false when a byte does not convert.
bool Widen(UINT from, std::string_view in, std::wstring& wide) {
    if (in.empty()) return true;
    const int size = static_cast<int>(in.size());
    const int n = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in.data(), size, nullptr, 0);
    if (n <= 0) return false;
    const size_t at = wide.size();
    wide.resize(at + static_cast<size_t>(n));
    return MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, in.data(), size, wide.data() + at, n) == n;
}

// Appends `wide` in code page `to`; false when a character has no form there. UTF-8 holds every
// character, and code page 932 takes no default character in one's place.
bool Narrow(UINT to, std::wstring_view wide, std::string& out) {
    if (wide.empty()) return true;
    const int size = static_cast<int>(wide.size());
    BOOL usedDefault = FALSE;
    BOOL* asked = to == CP_UTF8 ? nullptr : &usedDefault;
    const DWORD flags = to == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
    const int n = WideCharToMultiByte(to, flags, wide.data(), size, nullptr, 0, nullptr, asked);
    if (n <= 0 || usedDefault) return false;
    const size_t at = out.size();
    out.resize(at + static_cast<size_t>(n));
    if (WideCharToMultiByte(to, flags, wide.data(), size, out.data() + at, n, nullptr, asked) != n || usedDefault) {
        out.resize(at);
        return false;
    }
    return true;
}

// Windows gives byte 0x80 the control character U+0080 and back; glibc's table has neither, and
// a file must read the same on both systems, so here too it is no character.
constexpr wchar_t kNoCharacter = 0x80;

bool Convert(UINT from, UINT to, std::string_view in, std::string& out) {
    std::wstring wide;
    const size_t at = out.size();
    if (Widen(from, in, wide) && wide.find(kNoCharacter) == std::wstring::npos && Narrow(to, wide, out)) return true;
    out.resize(at);
    return false;
}

// The bytes of the character `in` starts with in code page `from`, as far as they can be told:
// a lead byte and the byte after it in code page 932, a whole UTF-8 character, else one byte.
size_t CharacterLength(UINT from, std::string_view in) {
    if (from == kShiftJis) return in.size() > 1 && IsDBCSLeadByteEx(kShiftJis, static_cast<BYTE>(in[0])) ? 2 : 1;
    return std::max<size_t>(1, Utf8CharLength(in));
}

// The whole input at once when it all converts; otherwise character by character, so that a
// bad sequence is found where it stands and the rest still converts around it.
bool Run(UINT from, UINT to, std::string_view in, std::string& out, const OnBad& onBad,
         size_t (*badLength)(std::string_view)) {
    if (Convert(from, to, in, out)) return true;
    while (!in.empty()) {
        const size_t length = std::min(CharacterLength(from, in), in.size());
        if (Convert(from, to, in.substr(0, length), out)) {
            in.remove_prefix(length);
            continue;
        }
        if (!onBad || !onBad(out)) return false;
        in.remove_prefix(std::min(in.size(), badLength ? std::max<size_t>(1, badLength(in)) : size_t{1}));
    }
    return true;
}

}  // namespace

bool ToUtf8(std::string_view sjis, std::string& out, const OnBad& onBad) {
    return Run(kShiftJis, CP_UTF8, sjis, out, onBad, nullptr);
}

bool FromUtf8(std::string_view utf8, std::string& out, const OnBad& onBad, size_t (*badLength)(std::string_view)) {
    return Run(CP_UTF8, kShiftJis, utf8, out, onBad, badLength);
}

}  // namespace rt::cp932
