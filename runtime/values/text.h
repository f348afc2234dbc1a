#pragma once
// The program's one text type: a counted string of Shift-JIS bytes with value semantics.
// It may hold any byte, 0 included, and is never NUL-terminated as far as the program can see.
#include <compare>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/values/values.h"

class Text {
public:
    Text() = default;
    Text(const char* literal) : bytes_(literal) {}  // NOLINT(google-explicit-constructor)
    Text(std::string bytes) : bytes_(std::move(bytes)) {}  // NOLINT(google-explicit-constructor)
    Text(std::string_view bytes) : bytes_(bytes) {}  // NOLINT(google-explicit-constructor)
    Text(const char* data, size_t size) : bytes_(data, size) {}

    const std::string& bytes() const { return bytes_; }
    std::string& bytes() { return bytes_; }
    std::string_view view() const { return bytes_; }
    size_t size() const { return bytes_.size(); }
    bool empty() const { return bytes_.empty(); }
    unsigned char at(size_t i) const { return static_cast<unsigned char>(bytes_[i]); }

    Text& operator+=(const Text& other);

    // Byte order as unsigned values; a prefix is smaller than the longer text.
    friend std::strong_ordering operator<=>(const Text& a, const Text& b);
    friend bool operator==(const Text& a, const Text& b) { return a.bytes_ == b.bytes_; }

private:
    std::string bytes_;
};

Text operator+(const Text& a, const Text& b);

// True for a lead byte of a double-byte Shift-JIS character (0x81–0x9F, 0xE0–0xFC).
constexpr bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// Byte-based operations; positions are 1-based.
Text TextConcat(const Text& a, const Text& b, Here here = Here::current());
Text TextLeft(const Text& s, Int32 n, Here here = Here::current());
Text TextRight(const Text& s, Int32 n, Here here = Here::current());
Text TextMid(const Text& s, Int32 start, Here here = Here::current());
Text TextMid(const Text& s, Int32 start, Int32 count, Here here = Here::current());
void TextMidStore(Text& v, Int32 start, Int32 count, const Text& value, Here here = Here::current());
Int32 TextLength(const Text& s);
Int32 TextFind(Int32 start, const Text& haystack, const Text& needle, Here here = Here::current());
Text TextRepeat(Int32 count, Int32 code, Here here = Here::current());
Text TextFromCodes(std::initializer_list<Int32> codes, Here here = Here::current());
int TextCompare(const Text& a, const Text& b);  // −1, 0 or 1

// Character-based operations: a double-byte character counts as one.
enum class CharClass : Int32 { All = 0, SingleByte = 1, DoubleByte = 2 };
Int32 CharCount(const Text& s, Int32 mode, Here here = Here::current());
Text CharMid(const Text& s, Int32 start, Int32 count, Here here = Here::current());

// The Shift-JIS character of a JIS X 0208 code (both bytes 0x21–0x7E), else empty.
Text JisChar(Int32 code);

// Half-width to full-width, byte by byte, with voiced and semi-voiced marks folded in.
Text ToFullWidth(const Text& s, Here here = Here::current());

// Today's local date as "YYYY/MM/DD"; KALVORO_TODAY=YYYY-MM-DD overrides the clock. An override
// that ReadCalendarDay refuses is refused with a warning, once, and the clock is used.
Text TodayText();

// Whether the day exists in the Gregorian calendar, from year 1 on.
bool IsCalendarDate(int year, int month, int day);

// A day written YYYY-MM-DD (a shorter year, month or day is taken too: 999-5-1), digits and the
// two hyphens only, that the calendar has. The one check of every date a user gives the program:
// KALVORO_TODAY and the batch commands' --today.
struct CalendarDay {
    int year = 0, month = 0, day = 0;
};
std::optional<CalendarDay> ReadCalendarDay(std::string_view written);
