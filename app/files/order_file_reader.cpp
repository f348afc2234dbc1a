// Reading an order file: its bytes made the Shift-JIS lines the program wrote, then read whole,
// line by line, into what the order is to be, or refused naming the line to blame.
#include <algorithm>
#include <cmath>

#include "app/fee/order_model.h"
#include "app/files/order_file.h"
#include "app/files/order_file_lines.h"
#include "runtime/files/text_reader.h"
#include "runtime/values/number_text.h"

namespace {

// The number a field holds, as the runtime reads numbers, or nothing when it is beyond what a
// Double can hold (four hundred digits, an exponent of hundreds): a file may hold anything, and
// a broken file must not end the program, nor leave the overflow raised for the next store.
// Text that is not a number is 0, as it always was.
std::optional<double> NumberIn(const Text& field) {
    KeepFloatFlags flags;
    try {
        return TextToNumber(field);
    } catch (const rt::RuntimeError&) {
        return std::nullopt;
    }
}

// One digit of A or B: a non-digit counts as 0, as it always has.
int DigitAt(const Text& field, size_t index) {
    if (index >= field.size()) return 0;
    const unsigned char c = field.at(index);
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

bool StartsWith(const Text& line, const char* prefix) { return line.view().substr(0, std::string_view(prefix).size()) == prefix; }

// The count a coupon-count line gives: 「割引券」, blanks, a colon (half- or full-width), blanks,
// and digits to the end of the line, none being 0. The program writes 「割引券:N」, so for its own
// files the count stands from the eighth byte, where it was always read; older files and the
// shop's have 「割引券：N」 or 「割引券 : N」. Blanks are half-width spaces: a tab or a full-width
// blank is in no file the program or the shop wrote, and a line with one, like 「割引券番号：…」,
// is more likely a customer's note than a count, and the file no order. A count past
// kMostCoupons is kMostCoupons + 1, however many digits it has.
std::optional<int> CouponCountOf(std::string_view line) {
    constexpr std::string_view word = "割引券", fullWidthColon = "：";
    if (!line.starts_with(word)) return std::nullopt;
    line.remove_prefix(word.size());
    auto skipBlanks = [&line] { line.remove_prefix(std::min(line.find_first_not_of(' '), line.size())); };
    skipBlanks();
    if (line.starts_with(':')) line.remove_prefix(1);
    else if (line.starts_with(fullWidthColon)) line.remove_prefix(fullWidthColon.size());
    else return std::nullopt;
    skipBlanks();
    int count = 0;
    for (const char c : line) {
        if (c < '0' || c > '9') return std::nullopt;
        count = std::min(count * 10 + (c - '0'), kMostCoupons + 1);
    }
    return count;
}

const char* const kNotAnOrder = "申込みデータのファイルではありません（「割引券」で始まる行がありません）。";

// Read as the program writes its files, a lone LF outside a coupon is a line end of an editor's
// among CR LF ones: read as part of the line, the titles after it would be lost or priced as one.
const char* const kMixedLineEnds = "行の終わりにCR LFとLFだけのものが混ざっていて、この行を正しく読み取れません。";

class Parser {
public:
    Parser(const std::string& bytes, rt::LineEnds ends)
        : ends_(ends),
          reader_(bytes, ends),
          lastLineEnded_(!bytes.empty() && (bytes.back() == '\r' || bytes.back() == '\n')),
          lastLineWithText_(LastLineWithText(bytes, ends)) {}

    OrderFileRead Run() {
        OrderFileRead result;
        OrderFileContent content;
        Text line;
        // Only a file with no bytes at all fails its first read.
        if (!ReadLine(line)) return status_ == rt::ReadStatus::PastEnd ? Failed(0, "ファイルが空です。") : Failed();
        if (MixedLineEnds({&line})) return Failed(reader_.lineOfLastRead(), kMixedLineEnds);
        if (StartsWith(line, "お客様氏名")) {
            content.customerName = TextMid(line, 12);
            if (!ReadLine(line)) return FailedBeforeTitles();
            if (MixedLineEnds({&line})) return Failed(reader_.lineOfLastRead(), kMixedLineEnds);
        }
        if (StartsWith(line, "前受額")) {
            content.advancePayment = NumberIn(TextMid(line, 8));
            if (!AnAmount(content.advancePayment)) return Failed(reader_.lineOfLastRead(), "前受額の数値が大きすぎます。");
            if (!ReadLine(line)) return FailedBeforeTitles();
            if (MixedLineEnds({&line})) return Failed(reader_.lineOfLastRead(), kMixedLineEnds);
        }
        if (StartsWith(line, "少額割引額")) {
            content.adjustDiscount = NumberIn(TextMid(line, 12));
            if (!AnAmount(content.adjustDiscount))
                return Failed(reader_.lineOfLastRead(), "少額割引額の数値が大きすぎます。");
            if (!ReadLine(line)) return FailedBeforeTitles();
            if (MixedLineEnds({&line})) return Failed(reader_.lineOfLastRead(), kMixedLineEnds);
        }
        const int countLine = reader_.lineOfLastRead();
        // Every order the program or the shop writes has this line; without it the first line
        // of any text file (a README, a list renamed .SAV, a customer's note) would read as an
        // order of nothing.
        const std::optional<int> count = CouponCountOf(line.view());
        if (!count) return Failed(countLine, kNotAnOrder);
        if (*count > kMostCoupons) return Failed(countLine, "割引券の枚数が０から１０ではありません。");
        for (int i = 0; i < *count; ++i) {
            Text coupon;
            if (!ReadField(coupon)) return FailedBeforeTitles();
            couponLines_.push_back(reader_.lineOfLastRead());
            content.coupons.push_back(coupon);
        }

        int perKind[kKindCount] = {};
        while (!reader_.AtEnd() && reader_.line() <= lastLineWithText_) {
            const int titleLine = reader_.line();
            OrderFileTitle title;
            Text a, b, c, d;
            for (Text* field : {&a, &b, &c, &d}) {
                if (FieldOnLine(*field, titleLine)) continue;
                if (status_ != rt::ReadStatus::Ok) return Failed();
                // An empty line among the titles is a line end too many, such as a second
                // conversion leaves, not a title of a field or two.
                if (field == &a && a.empty())
                    return Failed(titleLine,
                                  "空の行です（行の終わりが二つ続いています）。タイトルの行の間に空の行は置けません。");
                return Failed(titleLine, "欄が５つそろっていません。");
            }
            // The title is the rest of the line, as it was written: commas, colons, quotes and
            // leading blanks belong to it.
            if (!ReadLine(title.name)) return Failed();
            if (MixedLineEnds({&a, &b, &c, &d, &title.name})) return Failed(titleLine, kMixedLineEnds);
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
            // Nothing in a numeric field is a broken line, not 0: the program never writes one.
            if (c.empty()) return Failed(titleLine, "解像度の欄が空です。");
            if (d.empty()) return Failed(titleLine, "贈与の欄が空です。");
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

    // The line coupon i started on.
    int CouponLine(size_t i) const { return couponLines_.at(i); }

    static OrderFileRead Failed(int line, const char* reason) {
        OrderFileRead result;
        result.problem = {line, reason};
        return result;
    }

private:
    bool MixedLineEnds(std::initializer_list<const Text*> parts) const {
        if (ends_ != rt::LineEnds::Cr) return false;
        for (const Text* part : parts)
            if (part->view().find('\n') != std::string_view::npos) return true;
        return false;
    }

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

    // Before the titles every read wants a line or a coupon of its own: a file that ends there
    // ends before the line that was to come, which follows the last line even when that has no
    // line end ("割引券:2" and nothing more lacks line 2).
    OrderFileRead FailedBeforeTitles() {
        if (status_ != rt::ReadStatus::PastEnd) return Failed();
        return Failed(reader_.line() + (lastLineEnded_ ? 0 : 1), "ファイルが途中で終わっています。");
    }

    // A read that failed, named by the line it failed on; a title's line that the end of the file
    // cuts short is that line.
    OrderFileRead Failed() {
        switch (status_) {
            case rt::ReadStatus::PastEnd: return Failed(reader_.line(), "ファイルが途中で終わっています。");
            case rt::ReadStatus::LineTooLong: return Failed(reader_.line(), "１行が３２，７６７バイトを超えています。");
            default: return Failed(reader_.line(), "読み取れない欄があります。");
        }
    }

    const rt::LineEnds ends_;
    rt::TextReader reader_;
    const bool lastLineEnded_;
    const int lastLineWithText_;
    rt::ReadStatus status_ = rt::ReadStatus::Ok;
    std::vector<int> couponLines_;
};

}  // namespace

OrderFileRead ParseOrderFile(const std::string& bytes) {
    std::string text = bytes;
    bool fromUtf8 = false;
    if (std::optional<OrderFileProblem> problem = OrderFileInShiftJis(text, fromUtf8)) {
        OrderFileRead read;
        read.problem = std::move(*problem);
        return read;
    }
    UndoSecondConversion(text);
    const rt::LineEnds ends = LineEndsOf(text);
    Parser asWritten(text, ends);
    OrderFileRead read = asWritten.Run();
    // Read so, every lone LF that is left stands in a coupon. Older versions wrote a coupon
    // holding one bare, and such a file reads as written; but when ending a line there also gives
    // an order, and another one, the LF may as well be an editor's: the file is refused rather
    // than priced as either. So is a coupon with a quote besides, which no file can hold again
    // (bare, its LF would be in doubt; quoted, the quote would end it).
    if (read.content && ends == rt::LineEnds::Cr && HasLoneLf(text)) {
        const std::vector<Text>& coupons = read.content->coupons;
        for (size_t i = 0; i < coupons.size(); ++i)
            if (const std::string_view c = coupons[i].view(); c.find('\n') != c.npos && c.find('"') != c.npos)
                return Parser::Failed(asWritten.CouponLine(i), kMixedLineEnds);
        const OrderFileRead split = Parser(text, rt::LineEnds::CrOrLf).Run();
        if (split.content && split.content->coupons != coupons) {
            const auto differs = std::mismatch(coupons.begin(), coupons.end(), split.content->coupons.begin()).first;
            return Parser::Failed(asWritten.CouponLine(differs - coupons.begin()), kMixedLineEnds);
        }
    }
    read.fromUtf8 = fromUtf8 && read.content;
    return read;
}
