#pragma once
// Reading the program's text files from bytes in memory: lines and comma-separated fields.
// The rules here are the ones the program's files were always read by; the channel operations
// and the order files both read through this class, so the rules exist once.
// Nothing here raises: every read returns a status, and the caller decides what a failure means.
#include <string>

#include "runtime/values/text.h"

namespace rt {

// The runtime error code of a failed read, or Ok.
enum class ReadStatus : int {
    Ok = 0,
    Overflow = 6,       // a numeric field too large for a Double
    LineTooLong = 15,   // a line of more than kMaxLineBytes
    PastEnd = 54,       // nothing left to read
    EmptyNumber = 58,   // a numeric field with nothing in it before a comma
};

// The longest line a file may hold, in bytes.
inline constexpr size_t kMaxLineBytes = 32767;

// What ends a line or a field. The channels end their lines with CR (LF) and keep a lone LF as
// part of the line; files that may have passed through other programs (an order file after a
// mail program or an editor, a customer's title list) may end them with LF alone.
enum class LineEnds { Cr, CrOrLf };

class TextReader {
public:
    explicit TextReader(std::string bytes = {}, LineEnds ends = LineEnds::Cr)
        : bytes_(std::move(bytes)), ends_(ends) {}

    // The bytes up to the next CR; an LF right after the CR is part of the line end, a lone LF
    // is part of the line, or with LineEnds::CrOrLf ends it too. NUL bytes are dropped. After a
    // failure nothing has been consumed.
    ReadStatus Line(Text& line);

    // One field: leading blanks skipped; a field starting with a double quote runs to the next
    // one and the rest up to the separator is skipped; otherwise "," or ":" ends it, and a CR
    // (with an LF after it), or a lone LF with LineEnds::CrOrLf, ends the field and the line.
    ReadStatus Field(Text& field);

    // A field read as a number (TextToNumber); a blank after the number ends it.
    ReadStatus NumberField(double& value);

    // True at the end of the bytes, or when the only byte left is a Ctrl-Z.
    bool AtEnd() const;

    // The 1-based number of the line being read: the line the next byte belongs to, so a read
    // that ends its line moves it on, and after a failed read it is the line where it failed.
    int line() const { return currentLine_; }
    // The line on which the last read started (1 before any read), for a message about a value
    // already read whose line has since ended.
    int lineOfLastRead() const { return readLine_; }

private:
    enum class FieldEnd { Separator, Comma, LineEnd, FileEnd };
    ReadStatus ReadField(Text& field, FieldEnd& end, bool& quoted);
    bool IsFinalCtrlZ(size_t at) const;
    bool ConsumeLineEnd();
    bool EndsLine(char c) const;
    bool StartsLineEnd(size_t at) const;

    std::string bytes_;
    LineEnds ends_;
    size_t pos_ = 0;
    int currentLine_ = 1;
    int readLine_ = 1;
};

}  // namespace rt
