// Numbers to text and back, and the full-width texts built on them, on any bytes: the first byte
// picks what the rest is read as (a text, a Single, a Double, an Int16 and an Int32).
#include <cmath>
#include <cstring>

#include "app/fee/amount_text.h"
#include "fuzz/fuzz_support.h"
#include "runtime/values/encoding.h"
#include "runtime/values/number_text.h"

namespace {

template <typename T>
T Take(const uint8_t* data, size_t size) {
    T value{};
    std::memcpy(&value, data, std::min(size, sizeof value));
    return value;
}

double Read(const Text& text) {
    try {
        return TextToNumber(text);
    } catch (const rt::RuntimeError& e) {
        fuzz::Finding("the number text \"" + text.bytes() + "\" raised " + std::to_string(e.code));
    }
}

// A number's text reads back as the number, up to the digits the text keeps. Only the very
// largest Doubles cannot: their 15 digits round up past the largest Double, an overflow.
void RoundTrip(double value, const Text& text, double tolerance) {
    fuzz::Check(!text.empty() && (text.at(0) == ' ' || text.at(0) == '-'), "a number text without its sign position");
    if (std::fabs(value) >= 1.797693134862315e308) {
        try {
            TextToNumber(text);
        } catch (const rt::RuntimeError& e) {
            fuzz::Check(e.code == 6, "the largest Double's text raised something other than an overflow");
        }
        return;
    }
    const double back = Read(text);
    fuzz::Check(std::fabs(back - value) <= tolerance * std::fabs(value), "a number text reads back as another number");
}

// The grouped full-width form holds the full-width text and a half-width comma before every
// third character from the right, and nothing else.
void Grouping(const Text& digits) {
    Text grouped = digits;
    全角数字化_SUB(grouped);
    const std::string wide = ToFullWidth(digits).bytes();
    std::string plain;
    size_t chars = 0, sinceComma = 0;
    bool comma = false;
    for (size_t i = 0; i < grouped.size(); ++i) {
        const unsigned char c = grouped.at(i);
        if (c == ',') {
            fuzz::Check(chars > 0 && (!comma || sinceComma == 3), "a comma out of place");
            comma = true;
            sinceComma = 0;
            continue;
        }
        plain += static_cast<char>(c);
        if (IsLeadByte(c) && i + 1 < grouped.size()) plain += static_cast<char>(grouped.at(++i));
        ++chars;
        ++sinceComma;
    }
    fuzz::Check(plain == wide, "grouping changed the characters");
    fuzz::Check(!comma || sinceComma == 3, "the last group is not three characters");
    fuzz::Check(comma == (chars > 3), "a long number without commas or a short one with");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const uint8_t mode = data[0] % 5;
    ++data;
    --size;
    const Text text(std::string(reinterpret_cast<const char*>(data), size));
    switch (mode) {
        case 0: {
            double value = 0;
            try {
                value = TextToNumber(text);
            } catch (const rt::RuntimeError& e) {
                fuzz::Check(e.code == 6, "a number text raised something other than an overflow");
                return 0;
            }
            fuzz::Check(std::isfinite(value), "a number text read as infinity or not a number");
            RoundTrip(value, NumberToText(static_cast<Double>(value)), 1e-14);
            break;
        }
        case 1: {
            const float value = Take<float>(data, size);
            if (!std::isfinite(value)) return 0;
            RoundTrip(value, NumberToText(static_cast<Single>(value)), 1e-5);
            Grouping(AmountDigits(std::fabs(value)));
            break;
        }
        case 2: {
            const double value = Take<double>(data, size);
            if (!std::isfinite(value)) return 0;
            RoundTrip(value, NumberToText(static_cast<Double>(value)), 1e-14);
            break;
        }
        case 3: {
            const int16_t small = Take<int16_t>(data, size);
            const int32_t large = Take<int32_t>(data, size);
            fuzz::Check(Read(NumberToText(static_cast<Int16>(small))) == small, "an Int16 text reads back as another");
            fuzz::Check(Read(NumberToText(static_cast<Int32>(large))) == large, "an Int32 text reads back as another");
            break;
        }
        case 4: {
            const Text wide = ToFullWidth(text);
            if (rt::SjisToUtf8(text.view())) fuzz::Check(rt::SjisToUtf8(wide.view()).has_value(), "full width made Shift-JIS invalid");
            Text grouped = text;
            全角数字化_SUB(grouped);  // whatever the text, it must not fail
            break;
        }
    }
    return 0;
}
