#include "app/files/order_file.h"

#include <cmath>

#include "app/fee/amount_text.h"
#include "app/fee/order_model.h"
#include "app/fee/order_totals.h"
#include "app/fee/title_amounts.h"
#include "app/files/file_messages.h"
#include "runtime/files/whole_file.h"
#include "runtime/files/text_reader.h"
#include "runtime/values/number_text.h"

namespace {


void AddLine(std::string& out, const Text& line) {
    out += line.bytes();
    out += "\r\n";
}

// The number a field holds, as the runtime reads numbers, or nothing when it is beyond what a
// number can hold (an exponent of hundreds of digits, say): a file may hold anything.
std::optional<double> NumberIn(const Text& field) {
    const std::string& b = field.bytes();
    size_t exponent = b.find_first_of("EeDd&");
    if (exponent != std::string::npos && b.size() - exponent > 4) return std::nullopt;
    return TextToNumber(field);
}

// One digit of A or B: a non-digit counts as 0, as it always has.
int DigitAt(const Text& field, size_t index) {
    if (index >= field.size()) return 0;
    const unsigned char c = field.at(index);
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

// A coupon as its line: in quotes when it would not read back as itself otherwise. Only a file
// can bring such a coupon (a quoted field keeps commas, colons, line ends and leading blanks);
// one written bare would split into other coupons or eat the titles' lines at the next load.
// A quoted field cannot hold a quote, so none of these has one.
Text CouponLine(const Text& coupon) {
    const std::string_view c = coupon.view();
    const bool bare = c.find_first_of(",:\r") == std::string_view::npos && (c.empty() || c.front() != ' ');
    return bare ? coupon : Text("\"") + coupon + "\"";
}

Text TitleLine(int t, int k) {
    Text a = IntegerDigits(k) + IntegerDigits(BOOK_TYPE(t, k)) + IntegerDigits(COURSE(t, k));
    if (COMPENSATE_FLAG(t, k) == 1) a += "1";
    const Text b = IntegerDigits(OPT_WORKS(t, k)) + IntegerDigits(OPT_NO_MOIRE(t, k)) + IntegerDigits(OPT_NO_SPREAD(t, k)) +
                   IntegerDigits(OPT_TRIM(t, k));
    return a + "," + b + "," + IntegerDigits(TITLE_DPI(t, k)) + "," + IntegerDigits(GIFT_FLAG(t, k)) + "," + TITLE_NAME(t, k);
}

bool StartsWith(const Text& line, const char* prefix) { return line.view().substr(0, std::string_view(prefix).size()) == prefix; }

class Parser {
public:
    explicit Parser(const std::string& bytes) : reader_(bytes) {}

    OrderFileRead Run() {
        OrderFileRead result;
        OrderFileContent content;
        Text line;
        if (!ReadLine(line)) return Failed();
        if (StartsWith(line, "お客様氏名")) {
            content.customerName = TextMid(line, 12);
            if (!ReadLine(line)) return Failed();
        }
        if (StartsWith(line, "前受額")) {
            content.advancePayment = NumberIn(TextMid(line, 8));
            if (!AnAmount(content.advancePayment)) return Failed(reader_.lineOfLastRead(), "前受額が数値ではありません。");
            if (!ReadLine(line)) return Failed();
        }
        if (StartsWith(line, "少額割引額")) {
            content.adjustDiscount = NumberIn(TextMid(line, 12));
            if (!AnAmount(content.adjustDiscount)) return Failed(reader_.lineOfLastRead(), "少額割引額が数値ではありません。");
            if (!ReadLine(line)) return Failed();
        }
        const int countLine = reader_.lineOfLastRead();
        const std::optional<double> count = NumberIn(TextMid(line, 8));
        if (!count || *count < 0 || *count > kMostCoupons || *count != std::floor(*count))
            return Failed(countLine, "割引券の枚数が０から１０ではありません。");
        for (int i = 0; i < static_cast<int>(*count); ++i) {
            Text coupon;
            if (!ReadField(coupon)) return Failed();
            content.coupons.push_back(coupon);
        }

        int perKind[kKindCount] = {};
        while (!reader_.AtEnd()) {
            const int titleLine = reader_.line();
            OrderFileTitle title;
            Text a, b, c, d;
            for (Text* field : {&a, &b, &c, &d}) {
                if (FieldOnLine(*field, titleLine)) continue;
                if (status_ != rt::ReadStatus::Ok) return Failed();
                return Failed(titleLine, "欄が５つそろっていません。");
            }
            // The title is the rest of the line, as it was written: commas, colons, quotes and
            // leading blanks belong to it.
            if (!ReadLine(title.name)) return Failed();
            title.kind = DigitAt(a, 0);
            if (title.kind >= kKindCount) return Failed(titleLine, "本の種類が０から４ではありません。");
            if (++perKind[title.kind] > kSlotUpper + 1)
                return Failed(titleLine, "１種類の本が１２１冊を超えています。");
            title.bookType = DigitAt(a, 1);
            title.course = DigitAt(a, 2);
            title.compensate = a.size() > 3 ? DigitAt(a, 3) : 0;
            title.works = DigitAt(b, 0);
            title.noMoire = DigitAt(b, 1);
            title.noSpread = DigitAt(b, 2);
            title.trim = DigitAt(b, 3);
            const std::optional<double> dpi = NumberIn(c), gift = NumberIn(d);
            if (!dpi || !gift || !FitsInt16(*dpi) || !FitsInt16(*gift))
                return Failed(titleLine, "解像度か贈与の欄の数値が範囲外です。");
            title.dpi = Int16(*dpi);
            title.gift = Int16(*gift);
            content.titles.push_back(std::move(title));
        }
        result.content = std::move(content);
        return result;
    }

private:
    static bool FitsInt16(double v) { return v > -32768.5 && v < 32767.5; }
    // Amounts are kept in single precision.
    static bool AnAmount(const std::optional<double>& v) { return v && std::fabs(*v) <= 3.4e38; }

    bool ReadLine(Text& out) { return Keep(reader_.Line(out)); }
    bool ReadField(Text& out) { return Keep(reader_.Field(out)); }
    // A field of a title line that ends its line leaves the title to the next line's text.
    bool FieldOnLine(Text& out, int line) { return ReadField(out) && reader_.line() == line; }

    bool Keep(rt::ReadStatus status) {
        status_ = status;
        return status == rt::ReadStatus::Ok;
    }

    OrderFileRead Failed() {
        switch (status_) {
            case rt::ReadStatus::PastEnd:
                // An empty file is a problem of the whole file, not of a line.
                if (reader_.line() <= 1) return Failed(0, "ファイルが空です。");
                return Failed(reader_.line(), "ファイルが途中で終わっています。");
            case rt::ReadStatus::LineTooLong: return Failed(reader_.line(), "１行が３２，７６７バイトを超えています。");
            default: return Failed(reader_.line(), "読み取れない欄があります。");
        }
    }
    static OrderFileRead Failed(int line, const char* reason) {
        OrderFileRead result;
        result.problem = {line, reason};
        return result;
    }

    rt::TextReader reader_;
    rt::ReadStatus status_ = rt::ReadStatus::Ok;
};

}  // namespace

std::string OrderFileBytes() {
    std::string out;
    AddLine(out, Text("割引券:") + IntegerDigits(COUPON_COUNT));
    for (int i = 0; i < COUPON_COUNT; ++i) AddLine(out, CouponLine(COUPON_NO(i)));
    for (int k = 0; k < kKindCount; ++k)
        for (int t = 0; t < TITLE_COUNT(k); ++t) AddLine(out, TitleLine(t, k));
    return out;
}

std::optional<TitleSlot> TitleTooLongToRead() {
    for (int k = 0; k < kKindCount; ++k)
        for (int t = 0; t < TITLE_COUNT(k); ++t)
            if (TitleLine(t, k).size() > rt::kMaxLineBytes) return TitleSlot{k, t};
    return std::nullopt;
}

OrderFileRead ParseOrderFile(const std::string& bytes) { return Parser(bytes).Run(); }

OrderFileRead ReadOrderFile(const Text& path) {
    std::string bytes;
    const rt::FileResult read = rt::ReadWholeFile(path, bytes);
    if (!read.ok) {
        OrderFileRead failed;
        failed.problem = {0, ReasonOf(read)};
        return failed;
    }
    return ParseOrderFile(bytes);
}

void TakeOverOrder(const OrderFileContent& content) {
    for (int k = 0; k < kKindCount; ++k) {
        CUR_KIND = k;
        for (int t = 0; t <= kSlotUpper; ++t) {
            CUR_TITLE = t;
            変数_RESETSUB();
        }
        TITLE_COUNT(k) = 0;
        GIFT_COUNT(k) = 0;
    }
    // Every coupon slot, so that none of the previous order's numbers is counted in.
    for (int i = 0; i <= kMostCoupons; ++i) COUPON_NO(i) = "";
    for (size_t i = 0; i < content.coupons.size(); ++i) COUPON_NO(static_cast<int>(i)) = content.coupons[i];
    COUPON_COUNT = static_cast<int>(content.coupons.size());

    for (const OrderFileTitle& title : content.titles) {
        const int k = title.kind;
        CUR_KIND = k;
        TITLE_COUNT(k) = TITLE_COUNT(k) + 1;
        CUR_TITLE = TITLE_COUNT(k) - 1;
        const int t = CUR_TITLE;
        BOOK_TYPE(t, k) = title.bookType;
        COURSE(t, k) = title.course;
        OPT_WORKS(t, k) = title.works;
        OPT_NO_MOIRE(t, k) = title.noMoire;
        OPT_NO_SPREAD(t, k) = title.noSpread;
        OPT_TRIM(t, k) = title.trim;
        TITLE_DPI(t, k) = title.dpi;
        CUR_DPI = title.dpi;
        TITLE_NAME(t, k) = title.name;
        RepriceCurrentTitle();
        COMPENSATE_FLAG(t, k) = title.compensate;
        if (title.compensate == 1) COMPENSATION_AMOUNT(t, k) = TITLE_TOTAL(t, k);
        GIFT_FLAG(t, k) = title.gift;
        if (title.gift == 1) GIFT_COUNT(k) = GIFT_COUNT(k) + 1;
    }
    for (CUR_KIND = 0; CUR_KIND < kKindCount; CUR_KIND = CUR_KIND + 1) 小合計_SUB();
}
