// Amounts as text: full-width digits grouped by three, lines padded to one width in DOC_LINE, and
// amounts of a million yen or more written with all their digits instead of in exponent form.
#include "app/fee/amount_text.h"

#include <cmath>
#include <cstdio>

#include "app/fee/order_model.h"
#include "runtime/values/number_text.h"

void 全角数字化_SUB(Text& s) {
    const Text z = ToFullWidth(s);
    // Characters as CharMid counts them: a lead byte and its trail byte are one character, a
    // lead byte at the very end one of its own.
    auto charLength = [&z](size_t i) -> size_t { return IsLeadByte(z.at(i)) && i + 1 < z.size() ? 2 : 1; };
    size_t n = 0;
    for (size_t i = 0; i < z.size(); i += charLength(i)) ++n;

    std::string out;
    out.reserve(z.size() + n / 3);
    size_t index = 0;
    for (size_t i = 0; i < z.size(); ++index) {
        const size_t length = charLength(i);
        // Counting from the right, a comma goes in front of every third character but the first.
        if (index != 0 && (n - index) % 3 == 0) out += ',';
        out.append(z.view().substr(i, length));
        i += length;
    }
    s = Text(std::move(out));
}

void 文字列整理_SUB(Int16& mode, Int16& n) {
    Int32 w = 0;
    if (n <= 0) return;
    for (int i = 1; i <= n; ++i) {
        const Int32 length = TextLength(DOC_LINE(i));
        if (length > w) w = length;
    }
    if (w == 0) return;
    DOC_LINE(0) = TextRepeat(w, ' ');
    for (int i = 1; i <= n; ++i) {
        const Int32 length = TextLength(DOC_LINE(i));
        Text padded = TextRepeat(w, ' ');
        Int32 position;
        if (mode == 0) {
            position = 1;
        } else if (mode == 1) {
            position = IntDiv(w - length, 2) + 1;
        } else {
            position = w - length + 1;
        }
        TextMidStore(padded, position, length, DOC_LINE(i));
        DOC_LINE(i) = std::move(padded);
    }
}

namespace {

// At 999,999.5 and above the runtime's six significant digits round up to seven figures and
// its number text turns to exponent notation, which loses yen. Whole yen are exact in a single
// up to 16,777,216, far beyond any order, so those amounts are written with all their digits.
constexpr double kAllDigitsFrom = 999999.5;

bool NeedsAllDigits(Single amount) {
    const double magnitude = std::fabs(static_cast<double>(amount));
    return std::isfinite(magnitude) && magnitude >= kAllDigitsFrom;
}

// The whole yen of a large amount, rounded half up as the runtime rounds its last digit.
Text WholeYenDigits(Single amount) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.0f", std::round(std::fabs(static_cast<double>(amount))));
    return Text(buf);
}

}  // namespace

Text AmountDigits(Single amount) {
    if (NeedsAllDigits(amount)) return WholeYenDigits(amount);
    return TextMid(NumberToText(amount), 2);
}

Text IntegerDigits(Int32 value) { return TextMid(NumberToText(value), 2); }

Text SignedAmountText(Single amount) {
    if (NeedsAllDigits(amount)) return Text(amount < 0 ? "-" : " ") + WholeYenDigits(amount);
    return NumberToText(amount);
}

Text FullWidthAmount(Single amount) {
    Text s = AmountDigits(amount);
    全角数字化_SUB(s);
    return s;
}

Text FullWidthYen(Single amount) { return FullWidthAmount(amount) + "円"; }

Text PlainYen(Single amount) { return AmountDigits(amount) + "円"; }
