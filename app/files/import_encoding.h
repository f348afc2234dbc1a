#pragma once
// The encoding of a customer's title-data file. The import was made for Shift-JIS files, and
// every file that reads correctly today must go on reading exactly so; but on Linux a customer's
// CSV is mostly UTF-8, which read as Shift-JIS gives nothing but garbage. Such a file is told by
// its bytes and converted line by line, so that it gives the titles its Shift-JIS twin gives.
#include <string>
#include <string_view>
#include <vector>

enum class ImportEncoding { ShiftJis, Utf8 };

// Takes off the UTF-8 byte-order mark the file may start with; true when there was one.
bool StripUtf8ByteOrderMark(std::string& bytes);

// The encoding of the lines the import reads. UTF-8 when the file had a byte-order mark, or when
// every line is valid UTF-8 and some line holds a character of three or four bytes (all kana
// and kanji), or of two bytes where the lines are not also valid Shift-JIS. Everything else is
// Shift-JIS: ASCII reads the same either way, and two-byte sequences valid in both (a short run
// of half-width katakana can be) are taken for the Shift-JIS they may well be.
ImportEncoding EncodingOfImportLines(bool byteOrderMark, const std::vector<std::string_view>& lines);
