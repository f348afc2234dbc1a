// Lines and comma-separated fields read from a text file's bytes in memory by the rules the
// program's files were always read by, each read giving a status rather than raising.
#include "runtime/files/text_reader.h"

#include "runtime/values/number_text.h"

namespace rt {
namespace {

constexpr char kCR = '\r';
constexpr char kLF = '\n';
constexpr char kCtrlZ = '\x1A';
constexpr char kQuote = '"';

}  // namespace

bool TextReader::IsFinalCtrlZ(size_t at) const {
    // Old editors ended a file with Ctrl-Z; only as the very last byte is it an end mark.
    return at + 1 == bytes_.size() && bytes_[at] == kCtrlZ;
}

bool TextReader::EndsLine(char c) const { return c == kCR || (c == kLF && ends_ == LineEnds::CrOrLf); }

// A CR, or an LF that ends a line and does not follow a CR: where a line end begins.
bool TextReader::StartsLineEnd(size_t at) const {
    return bytes_[at] == kCR || (EndsLine(bytes_[at]) && (at == 0 || bytes_[at - 1] != kCR));
}

bool TextReader::AtEnd() const { return pos_ >= bytes_.size() || IsFinalCtrlZ(pos_); }

// At a CR: consumes it and an LF right after it, and counts the line; a lone LF likewise where
// it ends a line.
bool TextReader::ConsumeLineEnd() {
    if (pos_ >= bytes_.size() || !EndsLine(bytes_[pos_])) return false;
    if (bytes_[pos_++] == kCR && pos_ < bytes_.size() && bytes_[pos_] == kLF) ++pos_;
    ++currentLine_;
    return true;
}

ReadStatus TextReader::Line(Text& line) {
    readLine_ = currentLine_;
    if (pos_ >= bytes_.size()) return ReadStatus::PastEnd;
    std::string out;
    size_t p = pos_;
    for (; p < bytes_.size() && !EndsLine(bytes_[p]); ++p) {
        if (IsFinalCtrlZ(p)) {
            ++p;
            break;
        }
        if (bytes_[p] == '\0') continue;
        if (out.size() == kMaxLineBytes) return ReadStatus::LineTooLong;
        out += bytes_[p];
    }
    pos_ = p;
    ConsumeLineEnd();
    line = Text(std::move(out));
    return ReadStatus::Ok;
}

ReadStatus TextReader::ReadField(Text& field, FieldEnd& end, bool& quoted) {
    readLine_ = currentLine_;
    if (pos_ >= bytes_.size()) return ReadStatus::PastEnd;
    // A NUL is dropped wherever it stands, so one before the opening quote must not hide it:
    // read as a bare field, `\0"x` would give a field that no file can hold again.
    while (pos_ < bytes_.size() && (bytes_[pos_] == ' ' || bytes_[pos_] == '\0')) ++pos_;
    std::string out;
    quoted = pos_ < bytes_.size() && bytes_[pos_] == kQuote;
    if (quoted) {
        // Commas, colons and line ends inside the quotes are the field's own bytes.
        for (++pos_; pos_ < bytes_.size() && bytes_[pos_] != kQuote; ++pos_) {
            if (IsFinalCtrlZ(pos_)) break;
            if (StartsLineEnd(pos_)) ++currentLine_;
            if (bytes_[pos_] != '\0') out += bytes_[pos_];
        }
        if (pos_ < bytes_.size() && bytes_[pos_] == kQuote) ++pos_;
    }
    // Unquoted bytes are the field; after a closing quote they are skipped up to the separator.
    for (;;) {
        if (pos_ >= bytes_.size()) {
            end = FieldEnd::FileEnd;
            break;
        }
        char c = bytes_[pos_];
        if (IsFinalCtrlZ(pos_)) {
            ++pos_;
            end = FieldEnd::FileEnd;
            break;
        }
        if (c == ',' || c == ':') {
            ++pos_;
            end = c == ',' ? FieldEnd::Comma : FieldEnd::Separator;
            break;
        }
        if (EndsLine(c)) {
            ConsumeLineEnd();
            end = FieldEnd::LineEnd;
            break;
        }
        if (!quoted && c != '\0') out += c;
        ++pos_;
    }
    field = Text(std::move(out));
    return ReadStatus::Ok;
}

ReadStatus TextReader::Field(Text& field) {
    FieldEnd end;
    bool quoted;
    return ReadField(field, end, quoted);
}

ReadStatus TextReader::NumberField(double& value) {
    Text field;
    FieldEnd end;
    bool quoted;
    if (ReadStatus s = ReadField(field, end, quoted); s != ReadStatus::Ok) return s;
    if (field.empty() && !quoted && end == FieldEnd::Comma) return ReadStatus::EmptyNumber;
    // TextToNumber raises only for a value beyond a Double; here that is a bad file, not the end
    // of the program, so it is turned back into a status, and the overflow it raised is not
    // left for the next store to find.
    KeepFloatFlags flags;
    try {
        value = TextToNumber(field);
    } catch (const RuntimeError& e) {
        return static_cast<ReadStatus>(e.code);
    }
    return ReadStatus::Ok;
}

}  // namespace rt
