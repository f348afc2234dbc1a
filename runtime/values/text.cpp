// The text operations of the program's routines, by bytes and by Shift-JIS characters, with the
// argument checks that raise its errors; full-width forms, JIS characters and today's date.
#include "runtime/values/text.h"

#include "runtime/values/local_time.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>

namespace {
constexpr size_t kMaxTextLength = 2147483647u;
}

Text& Text::operator+=(const Text& other) {
    if (bytes_.size() + other.bytes_.size() > kMaxTextLength) RaiseError(15);
    bytes_ += other.bytes_;
    return *this;
}

std::strong_ordering operator<=>(const Text& a, const Text& b) {
    int c = TextCompare(a, b);
    return c < 0 ? std::strong_ordering::less : c > 0 ? std::strong_ordering::greater : std::strong_ordering::equal;
}

Text operator+(const Text& a, const Text& b) { return TextConcat(a, b); }

Text TextConcat(const Text& a, const Text& b, Here here) {
    if (a.size() + b.size() > kMaxTextLength) RaiseError(15, here);
    std::string r;
    r.reserve(a.size() + b.size());
    r += a.bytes();
    r += b.bytes();
    return Text(std::move(r));
}

Text TextLeft(const Text& s, Int32 n, Here here) {
    if (n < 0) RaiseError(5, here);
    return Text(s.view().substr(0, static_cast<size_t>(n)));
}

Text TextRight(const Text& s, Int32 n, Here here) {
    if (n < 0) RaiseError(5, here);
    size_t keep = std::min(static_cast<size_t>(n), s.size());
    return Text(s.view().substr(s.size() - keep));
}

Text TextMid(const Text& s, Int32 start, Here here) {
    if (start < 1) RaiseError(5, here);
    if (static_cast<size_t>(start) > s.size()) return Text();
    return Text(s.view().substr(static_cast<size_t>(start) - 1));
}

Text TextMid(const Text& s, Int32 start, Int32 count, Here here) {
    if (start < 1 || count < 0) RaiseError(5, here);
    if (static_cast<size_t>(start) > s.size()) return Text();
    return Text(s.view().substr(static_cast<size_t>(start) - 1, static_cast<size_t>(count)));
}

void TextMidStore(Text& v, Int32 start, Int32 count, const Text& value, Here here) {
    if (count == 0) return;
    if (start < 1 || count < 0) RaiseError(5, here);
    if (static_cast<size_t>(start) > v.size()) RaiseError(5, here);
    size_t n = std::min({static_cast<size_t>(count), value.size(), v.size() - static_cast<size_t>(start) + 1});
    std::memcpy(v.bytes().data() + start - 1, value.bytes().data(), n);
}

Int32 TextLength(const Text& s) { return static_cast<Int32>(s.size()); }

Int32 TextFind(Int32 start, const Text& haystack, const Text& needle, Here here) {
    if (start < 1) RaiseError(5, here);
    if (haystack.empty() || static_cast<size_t>(start) > haystack.size() || needle.size() > haystack.size()) return 0;
    if (needle.empty()) return start;
    size_t p = haystack.view().find(needle.view(), static_cast<size_t>(start) - 1);
    return p == std::string_view::npos ? 0 : static_cast<Int32>(p + 1);
}

Text TextRepeat(Int32 count, Int32 code, Here here) {
    if (code > 255 || count < 0) RaiseError(5, here);
    try {
        return Text(std::string(static_cast<size_t>(count), static_cast<char>(code & 0xFF)));
    } catch (const std::bad_alloc&) {
        RaiseError(7, here);  // more than the memory there is: the out-of-memory error, reported
    }
}

Text TextFromCodes(std::initializer_list<Int32> codes, Here here) {
    std::string r;
    r.reserve(codes.size());
    for (Int32 c : codes) {
        if (c > 255) RaiseError(5, here);
        r += static_cast<char>(c & 0xFF);
    }
    return Text(std::move(r));
}

int TextCompare(const Text& a, const Text& b) {
    size_t n = std::min(a.size(), b.size());
    int c = n ? std::memcmp(a.bytes().data(), b.bytes().data(), n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    if (a.size() == b.size()) return 0;
    return a.size() < b.size() ? -1 : 1;
}

namespace {

// Splits s into characters: a lead byte with a following byte is one character of two bytes; a
// lead byte at the very end counts as one character of its own.
template <class F>
void ForEachChar(const Text& s, F f) {
    size_t i = 0;
    while (i < s.size()) {
        size_t len = (IsLeadByte(s.at(i)) && i + 1 < s.size()) ? 2 : 1;
        if (!f(i, len)) return;
        i += len;
    }
}

}  // namespace

Int32 CharCount(const Text& s, Int32 mode, Here here) {
    if (mode < 0 || mode > 2) RaiseError(5, here);
    Int32 all = 0, single = 0, dbl = 0;
    ForEachChar(s, [&](size_t, size_t len) {
        ++all;
        (len == 2 ? dbl : single)++;
        return true;
    });
    return mode == 0 ? all : mode == 1 ? single : dbl;
}

Text CharMid(const Text& s, Int32 start, Int32 count, Here here) {
    if (start < 1 || count < 0) RaiseError(5, here);
    if (count == 0) return Text();
    size_t from = std::string::npos, to = s.size();
    Int32 index = 0;
    ForEachChar(s, [&](size_t pos, size_t) {
        ++index;
        if (index == start) from = pos;
        if (index == static_cast<int64_t>(start) + count) {
            to = pos;
            return false;
        }
        return true;
    });
    if (from == std::string::npos) return Text();
    return Text(s.view().substr(from, to - from));
}

Text JisChar(Int32 code) {
    int hi = (code >> 8) & 0xFF, lo = code & 0xFF;
    if (hi < 0x21 || hi > 0x7E || lo < 0x21 || lo > 0x7E || (code & ~0xFFFF) != 0) return Text();
    int s1 = ((hi + 1) >> 1) + (hi <= 0x5E ? 0x70 : 0xB0);
    int s2 = lo + ((hi & 1) ? (lo >= 0x60 ? 0x20 : 0x1F) : 0x7E);
    return Text(std::string{static_cast<char>(s1), static_cast<char>(s2)});
}

namespace {

// Full-width forms of 0x20–0x7E and of the half-width katakana 0xA0–0xDD, in code order.
constexpr const char kAsciiWide[] =
    "　！”＃＄％＆’（）＊＋，－．／０１２３４５６７８９：；＜＝＞？＠ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯ"
    "ＰＱＲＳＴＵＶＷＸＹＺ［￥］＾＿｀ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ｛｜｝￣";
constexpr const char kKanaWide[] =
    "　。「」、・ヲァィゥェォャュョッーアイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホ"
    "マミムメモヤユヨラリルレロワン";
static_assert(sizeof kAsciiWide - 1 == 2 * (0x7E - 0x20 + 1), "one double-byte form per ASCII byte");
static_assert(sizeof kKanaWide - 1 == 2 * (0xDD - 0xA0 + 1), "one double-byte form per kana byte");

constexpr const char kBlank[] = "　";
constexpr const char kVoiced[] = "゛";
constexpr const char kSemiVoiced[] = "゜";
constexpr const char kBlackSquare[] = "■";

}  // namespace

Text ToFullWidth(const Text& s, Here here) {
    if (s.size() > 1073741823u) RaiseError(15, here);
    std::string out;
    out.reserve(s.size() * 2);
    unsigned char prev = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        unsigned char c = s.at(i);
        if (IsLeadByte(c) && i + 1 < s.size()) {
            out += static_cast<char>(c);
            out += s.bytes()[i + 1];
            // A mark after a double-byte character stays a mark of its own: folding it into the
            // trail byte would turn "宛" into "姐" or "じ" into "す".
            prev = 0;
            ++i;
            continue;
        }
        if (c >= 0x20 && c <= 0x7E) {
            out.append(kAsciiWide + 2 * (c - 0x20), 2);
        } else if (c == 0x7F) {
            out += kBlank;
        } else if (c >= 0xA0 && c <= 0xDD) {
            out.append(kKanaWide + 2 * (c - 0xA0), 2);
        } else if (c == 0xDE) {
            if (((prev >= 0xB6 && prev <= 0xC4) || (prev >= 0xCA && prev <= 0xCE)) && !out.empty()) {
                out.back() = static_cast<char>(static_cast<unsigned char>(out.back()) + 1);
            } else {
                out += kVoiced;
            }
        } else if (c == 0xDF) {
            if (prev >= 0xCA && prev <= 0xCE && !out.empty()) {
                out.back() = static_cast<char>(static_cast<unsigned char>(out.back()) + 2);
            } else {
                out += kSemiVoiced;
            }
        } else {
            out += kBlackSquare;
        }
        prev = c;
    }
    return Text(std::move(out));
}

bool IsCalendarDate(int year, int month, int day) {
    if (year < 1 || month < 1 || month > 12 || day < 1) return false;
    static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return day <= kDays[month - 1] + (month == 2 && leap ? 1 : 0);
}

std::optional<CalendarDay> ReadCalendarDay(std::string_view written) {
    // Read part by part rather than by a scan format, which would also take blanks and signs.
    int parts[3] = {};
    const size_t mostDigits[3] = {4, 2, 2};
    for (int i = 0; i < 3; ++i) {
        size_t digits = 0;
        while (digits < written.size() && written[digits] >= '0' && written[digits] <= '9') {
            parts[i] = parts[i] * 10 + (written[digits] - '0');
            ++digits;
        }
        if (digits == 0 || digits > mostDigits[i]) return std::nullopt;
        written.remove_prefix(digits);
        if (i < 2) {
            if (written.empty() || written.front() != '-') return std::nullopt;
            written.remove_prefix(1);
        }
    }
    // A day the calendar does not have would be printed on the statements as it stands.
    if (!written.empty() || !IsCalendarDate(parts[0], parts[1], parts[2])) return std::nullopt;
    return CalendarDay{parts[0], parts[1], parts[2]};
}

Text TodayText() {
    const char* over = std::getenv("KALVORO_TODAY");
    std::optional<CalendarDay> today = over ? ReadCalendarDay(over) : std::nullopt;
    if (!today) {
        if (over && *over) {
            static bool warned = false;
            if (!warned) {
                warned = true;
                std::fprintf(stderr, "kalvoro: KALVORO_TODAY=%s is not a date of the calendar (YYYY-MM-DD); using the clock\n", over);
            }
        }
        const std::tm tm = rt::LocalTime(std::time(nullptr));
        today = CalendarDay{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday};
    }
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d/%02d/%02d", today->year, today->month, today->day);
    return Text(buf);
}
