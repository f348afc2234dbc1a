#pragma once
// The system's own conversion between code page 932 and UTF-8, one file for each system
// (encoding_posix.cpp, encoding_win32.cpp); the program's texts meet it only through encoding.h.
#include <functional>
#include <string>
#include <string_view>

namespace rt::cp932 {

// Called where the input holds a sequence that does not convert: it may append a replacement
// to `out` and return true to go on after the sequence, or return false to fail the conversion.
// Null fails it.
using OnBad = std::function<bool(std::string& out)>;

// Appends to `out` what converts. A bad Shift-JIS sequence is one byte.
bool ToUtf8(std::string_view sjis, std::string& out, const OnBad& onBad);
// The same the other way; `badLength`, when given, tells how many bytes a bad sequence takes
// (a character with no code page 932 form is all of its bytes), else one byte is skipped.
bool FromUtf8(std::string_view utf8, std::string& out, const OnBad& onBad,
              size_t (*badLength)(std::string_view) = nullptr);

}  // namespace rt::cp932
