// Numbers to text with the sign position first, a Single to six significant digits and a Double to
// fifteen, rounded half up on their exact decimal digits; and text back to a number, radix prefixes
// included.
#include "runtime/values/number_text.h"

#include <cerrno>
#include <cstdint>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// The first `want` significant decimal digits of |v| (v finite and not zero), truncated, and
// the decimal exponent of the first one. Exact: the digits are those of the binary value itself.
struct Digits {
    char d[40];
    int count = 0;  // digits present in d (at most want)
    int exp10 = 0;
};

int AppendUInt128(unsigned __int128 n, char* buf) {
    char tmp[48];
    int len = 0;
    do {
        tmp[len++] = static_cast<char>('0' + static_cast<int>(n % 10));
        n /= 10;
    } while (n != 0);
    for (int i = 0; i < len; ++i) buf[i] = tmp[len - 1 - i];
    return len;
}

Digits ExactDigits(double v, int want) {
    Digits out;
    v = std::fabs(v);
    int e2;
    double frac = std::frexp(v, &e2);                                // v = frac · 2^e2, frac in [0.5, 1)
    auto mant = static_cast<uint64_t>(std::ldexp(frac, 53));         // v = mant · 2^(e2−53)
    int shift = e2 - 53;
    int tz = mant ? __builtin_ctzll(mant) : 0;
    mant >>= tz;
    shift += tz;                                                     // v = mant · 2^shift, mant odd

    char all[1200];
    int len = 0, pointPos = 0;  // value = 0.all × 10^pointPos
    if (shift >= 0 && shift <= 74) {
        unsigned __int128 n = static_cast<unsigned __int128>(mant) << shift;
        len = AppendUInt128(n, all);
        pointPos = len;
    } else if (shift < 0 && -shift <= 32) {
        // mant · 2^shift = mant · 5^k / 10^k with k = −shift; mant < 2^53 and 5^32 < 2^75.
        int k = -shift;
        unsigned __int128 n = mant;
        for (int i = 0; i < k; ++i) n *= 5;
        len = AppendUInt128(n, all);
        pointPos = len - k;
    } else {
        // Rare magnitudes: the C library prints the exact expansion when asked for enough digits.
        int prec = shift < 0 ? std::min(1100, 20 + (-shift)) : 330;
        std::vector<char> buf(static_cast<size_t>(prec) + 32);
        std::snprintf(buf.data(), buf.size(), "%.*e", prec, v);
        const char* p = buf.data();
        const char* e = std::strchr(p, 'e');
        for (const char* q = p; q < e && len < static_cast<int>(sizeof all); ++q)
            if (*q >= '0' && *q <= '9') all[len++] = *q;
        pointPos = std::atoi(e + 1) + 1;
    }
    // Skip leading zeros (none in practice) and cut to `want` digits.
    int first = 0;
    while (first < len && all[first] == '0') ++first;
    out.exp10 = pointPos - first - 1;
    for (int i = first; i < len && out.count < want; ++i) out.d[out.count++] = all[i];
    return out;
}

Text Format(double v, int precision, char expLetter) {
    if (std::isnan(v)) return Text("nan");
    if (std::isinf(v)) return Text("inf");
    if (v == 0) return Text(" 0");

    Digits dg = ExactDigits(v, precision + 1);
    // Half up on the digit after the last kept one, carrying through 9s.
    int n = std::min(dg.count, precision);
    int exp10 = dg.exp10;
    char digits[40];
    std::memcpy(digits, dg.d, static_cast<size_t>(n));
    if (dg.count > precision && dg.d[precision] >= '5') {
        int i = n - 1;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i >= 0) {
            ++digits[i];
        } else {
            digits[0] = '1';
            for (int j = 1; j < n; ++j) digits[j] = '0';
            ++exp10;
        }
    }
    while (n > 1 && digits[n - 1] == '0') --n;

    std::string out;
    out.reserve(24);
    out += v < 0 ? '-' : ' ';
    bool fixed = (exp10 >= 0) ? exp10 < precision : (-exp10 + n - 2) < precision;
    if (fixed) {
        if (exp10 >= 0) {
            int intDigits = exp10 + 1;
            for (int i = 0; i < intDigits; ++i) out += i < n ? digits[i] : '0';
            if (n > intDigits) {
                out += '.';
                out.append(digits + intDigits, static_cast<size_t>(n - intDigits));
            }
        } else {
            out += '.';
            out.append(static_cast<size_t>(-exp10 - 1), '0');
            out.append(digits, static_cast<size_t>(n));
        }
    } else {
        out += digits[0];
        if (n > 1) {
            out += '.';
            out.append(digits + 1, static_cast<size_t>(n - 1));
        }
        out += expLetter;
        out += exp10 < 0 ? '-' : '+';
        int ae = std::abs(exp10);
        char eb[16];
        if (expLetter == 'E' && ae < 100) {
            std::snprintf(eb, sizeof eb, "%02d", ae);
        } else {
            std::snprintf(eb, sizeof eb, "%03d", ae);
        }
        out += eb;
    }
    return Text(std::move(out));
}

// Integers have no more than 10 digits, so they are always exact and fixed; no rounding occurs.
Text FormatInteger(int64_t v) {
    if (v == 0) return Text(" 0");
    char buf[24];
    std::snprintf(buf, sizeof buf, "%c%lld", v < 0 ? '-' : ' ', static_cast<long long>(v < 0 ? -v : v));
    return Text(buf);
}

}  // namespace

Text NumberToText(Int16 value) { return FormatInteger(static_cast<int>(value)); }
Text NumberToText(Int32 value) { return FormatInteger(value); }
Text NumberToText(Single value) { return Format(static_cast<double>(value), 6, 'E'); }
Text NumberToText(Double value) { return Format(value, 15, 'D'); }

double TextToNumber(const Text& s, Here here) {
    const std::string& b = s.bytes();
    size_t i = 0, n = b.size();
    while (i < n && b[i] == ' ') ++i;
    if (i >= n) return 0;
    auto isDigit = [&](size_t k) { return k < n && b[k] >= '0' && b[k] <= '9'; };

    if (b[i] == '&') {
        // Radix prefix: &H hexadecimal, &O or a bare & octal.
        size_t k = i + 1;
        int radix = 8;
        if (k < n && (b[k] == 'H' || b[k] == 'h')) {
            radix = 16;
            ++k;
        } else if (k < n && (b[k] == 'O' || b[k] == 'o')) {
            ++k;
        }
        long double value = 0;
        for (; k < n; ++k) {
            int d;
            char c = b[k];
            if (c >= '0' && c <= '9') d = c - '0';
            else if (radix == 16 && c >= 'A' && c <= 'F') d = c - 'A' + 10;
            else if (radix == 16 && c >= 'a' && c <= 'f') d = c - 'a' + 10;
            else break;
            if (d >= radix) break;
            value = value * radix + d;
        }
        if (value > 1.7976931348623157e308L) RaiseError(6, here);
        return static_cast<double>(value);
    }

    bool ok = isDigit(i) || (b[i] == '.' && isDigit(i + 1)) ||
              ((b[i] == '+' || b[i] == '-') && (isDigit(i + 1) || (i + 1 < n && b[i + 1] == '.')));
    if (!ok) return 0;

    std::string num;
    size_t k = i;
    if (b[k] == '+' || b[k] == '-') num += b[k++];
    bool point = false;
    while (k < n && (isDigit(k) || (b[k] == '.' && !point))) {
        if (b[k] == '.') point = true;
        num += b[k++];
    }
    if (k < n && (b[k] == 'E' || b[k] == 'e' || b[k] == 'D' || b[k] == 'd')) {
        size_t m = k + 1;
        std::string exp = "e";
        if (m < n && (b[m] == '+' || b[m] == '-')) exp += b[m++];
        if (isDigit(m)) {
            while (isDigit(m)) exp += b[m++];
            num += exp;
        }
    }
    // A whole number of up to 18 digits is exact as it is read; the C library's reading of
    // decimals lies in a block of it that only other numbers need.
    const size_t sign = num[0] == '+' || num[0] == '-' ? 1 : 0;
    if (num.size() - sign <= 18 && num.find_first_not_of("0123456789", sign) == std::string::npos) {
        uint64_t whole = 0;
        for (size_t j = sign; j < num.size(); ++j) whole = whole * 10 + static_cast<uint64_t>(num[j] - '0');
        const double value = static_cast<double>(static_cast<long double>(whole));
        return num[0] == '-' ? -value : value;
    }
    errno = 0;
    long double value = std::strtold(num.c_str(), nullptr);
    if (std::isinf(value) || std::fabs(value) > 1.7976931348623157e308L) RaiseError(6, here);
    return static_cast<double>(value);
}
