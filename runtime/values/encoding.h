#pragma once
// The one place where Shift-JIS (code page 932) meets UTF-8: file names, what the window system
// shows and returns, terminal output. File contents pass through here only when a customer's
// own file comes in UTF-8.
#include <optional>
#include <string>
#include <string_view>

namespace rt {

// Shift-JIS → UTF-8. std::nullopt when the bytes are not valid code page 932.
std::optional<std::string> SjisToUtf8(std::string_view sjis);

// As SjisToUtf8, but an invalid byte becomes U+FFFD so that nothing is lost from view.
std::string SjisToUtf8Lossy(std::string_view sjis);

// For a person to read, in the window or the terminal: as SjisToUtf8Lossy, but a byte that is no
// character (the lead byte of a double-byte character cut in two, which the statements keep as
// the shop expects) becomes one half-width "?", so that it takes the one column its byte takes;
// and 0x5C, which the program's texts use as the yen sign, becomes "¥".
std::string SjisToUtf8Shown(std::string_view sjis);

// UTF-8 → Shift-JIS. std::nullopt when a character has no code page 932 form.
std::optional<std::string> Utf8ToSjis(std::string_view utf8);

// As Utf8ToSjis, for text brought in from another program: a character with no code page 932
// form, or a byte that is no UTF-8, becomes `replacement`, and `replaced` counts them.
std::string Utf8ToSjisReplacing(std::string_view utf8, std::string_view replacement, int& replaced);

// The bytes of the valid UTF-8 character s starts with (1 to 4), or 0 when it starts with none:
// overlong forms, surrogates and code points past U+10FFFF are not UTF-8.
size_t Utf8CharLength(std::string_view s);

}  // namespace rt
