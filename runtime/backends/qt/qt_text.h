#pragma once
// Where the program's Shift-JIS texts meet Qt's UTF-16 strings. Everything the Qt back end shows
// passes through FromSjis and everything it hands back through ToSjis.
//
// The byte 0x5C is the yen sign on a Japanese screen: iconv's CP932 table turns it into the
// backslash U+005C, so FromSjis shows it as U+00A5, and ToSjis turns both U+00A5 and U+005C back
// into 0x5C. Only a single-byte 0x5C is affected; a trail byte 0x5C is part of its double-byte
// character and never comes out of iconv as a backslash.
#include <QString>

#include <optional>
#include <string>
#include <string_view>

namespace rt::qt {

// Multi-line edit boxes, labels and message boxes break lines at CR LF in the program's texts;
// Qt breaks them at '\n'.
enum class LineEnds { AsIs, CrLf };

QString FromSjis(std::string_view sjis, LineEnds ends = LineEnds::AsIs);

// A character that code page 932 cannot hold becomes '?', as the original window system's
// ANSI text functions did. Edit boxes refuse such characters on input (SjisInputValidator), so
// this only happens to texts that came from elsewhere.
std::string ToSjis(const QString& text, LineEnds ends = LineEnds::AsIs);

// For file paths: no yen sign mapping, no '?'. std::nullopt unless the path converts to
// Shift-JIS and back to exactly the same characters, so a name that code page 932 cannot hold
// is never silently turned into another file's name.
std::optional<std::string> PathToSjis(const QString& path);
QString PathFromSjis(std::string_view sjis);

// Bytes that `c` takes in Shift-JIS (1 for ASCII, the yen sign and half-width katakana, else 2).
int SjisWidth(char32_t c);
bool SjisRepresentable(char32_t c);

// Conversions between Shift-JIS byte offsets (what the program counts in, as an ANSI edit box
// does) and QString indexes. With LineEnds::CrLf a '\n' counts as the two bytes CR LF.
int SjisOffsetOf(const QString& text, int index, LineEnds ends);
int IndexOfSjisOffset(const QString& text, int byteOffset, LineEnds ends);
int SjisLength(const QString& text, LineEnds ends = LineEnds::AsIs);

}  // namespace rt::qt
