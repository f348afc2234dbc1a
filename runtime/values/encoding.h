#pragma once
// The one place where Shift-JIS (code page 932) meets UTF-8: file names, what the window system
// shows and returns, terminal output. File contents never pass through here.
#include <optional>
#include <string>
#include <string_view>

namespace rt {

// Shift-JIS → UTF-8. std::nullopt when the bytes are not valid code page 932.
std::optional<std::string> SjisToUtf8(std::string_view sjis);

// As SjisToUtf8, but an invalid byte becomes U+FFFD so that nothing is lost from view.
std::string SjisToUtf8Lossy(std::string_view sjis);

// UTF-8 → Shift-JIS. std::nullopt when a character has no code page 932 form.
std::optional<std::string> Utf8ToSjis(std::string_view utf8);

}  // namespace rt
