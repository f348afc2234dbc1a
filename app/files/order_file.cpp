// The saved order file: the bytes of the order in memory, the checks that they read back as the
// same order, and a file parsed whole before the order in memory is replaced by it.
#include "app/files/order_file.h"

#include <cmath>

#include "app/fee/amount_text.h"
#include "app/fee/order_model.h"
#include "app/fee/order_totals.h"
#include "app/fee/title_amounts.h"
#include "app/files/file_messages.h"
#include "app/files/import_encoding.h"
#include "runtime/files/whole_file.h"
#include "runtime/files/text_reader.h"
#include "runtime/values/encoding.h"
#include "runtime/values/number_text.h"

namespace {

constexpr auto npos = std::string_view::npos;

void AddLine(std::string& out, const Text& line) {
    out += line.bytes();
    out += "\r\n";
}

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

// Whether a coupon goes in quotes: written bare it would not read back as itself. A file brings
// such coupons (a quoted field keeps commas, colons, line ends and leading blanks), and the
// screens take anything but the date and the amount digits; one written bare would split into
// other coupons or eat the titles' lines at the next load.
bool NeedsQuotes(std::string_view c) { return c.find_first_of(",:\r") != npos || (!c.empty() && c.front() == ' '); }

Text CouponLine(const Text& coupon) { return NeedsQuotes(coupon.view()) ? Text("\"") + coupon + "\"" : coupon; }

// The reader drops NULs wherever they stand, in a field or a line.
const char* const kNulProblem = "にヌル文字（文字コード０）があります。ヌル文字を含む";

// Why a coupon's line would read back as something else; nothing when it reads back as itself.
std::optional<Text> CouponProblem(int i) {
    const Text& coupon = COUPON_NO(i);
    const std::string_view c = coupon.view();
    // The usual coupon passes here without a message being formed: the recovery asks at every step.
    if (c.find_first_of(std::string_view("\0\"", 2)) == npos) return std::nullopt;
    const Text which = ToFullWidth(IntegerDigits(i + 1)) + "枚目の割引券番号";
    if (c.find('\0') != npos) return which + kNulProblem + "割引券番号は読み込めません。";
    // A quoted field ends at the next quote, and a bare one starting with a quote is a quoted one.
    const bool quoteBreaks = NeedsQuotes(c) ? c.find('"') != npos : !c.empty() && c.front() == '"';
    if (quoteBreaks)
        return which + "「" + coupon +
               "」は読み込める形に書けません。二重引用符（\"）は、番号の先頭や、コンマ・コロン・改行・先頭の空白の"
               "ある番号には使えません。";
    return std::nullopt;
}

// Why a title's line would read back as something else: the title is the rest of its line, up
// to the CR, and at most the bytes a line is read with, whatever the fields before it take. An
// LF in a title would stand for the line ends of a file an editor has mixed, which is refused.
std::optional<Text> TitleProblem(int t, int k, const Text& name) {
    if (name.size() <= rt::kMaxLineBytes && name.view().find_first_of(std::string_view("\r\n\0", 3)) == npos)
        return std::nullopt;
    const Text which = KindName(k) + "の" + ToFullWidth(IntegerDigits(t + 1)) + "冊目のタイトル";
    if (name.size() > rt::kMaxLineBytes)
        return which + "が長すぎます。３２，７６７バイトを超えるタイトルは読み込めません。";
    if (name.view().find_first_of("\r\n") != npos) return which + "に改行があります。改行を含むタイトルは読み込めません。";
    if (name.view().find('\0') != npos) return which + kNulProblem + "タイトルは読み込めません。";
    return std::nullopt;
}

// The line of title t of kind k, with the name and the compensation given.
Text TitleLine(int t, int k, const Text& name, int compensate) {
    Text a = IntegerDigits(k) + IntegerDigits(BOOK_TYPE(t, k)) + IntegerDigits(COURSE(t, k));
    if (compensate == 1) a += "1";
    const Text b = IntegerDigits(OPT_WORKS(t, k)) + IntegerDigits(OPT_NO_MOIRE(t, k)) + IntegerDigits(OPT_NO_SPREAD(t, k)) +
                   IntegerDigits(OPT_TRIM(t, k));
    return a + "," + b + "," + IntegerDigits(TITLE_DPI(t, k)) + "," + IntegerDigits(GIFT_FLAG(t, k)) + "," + name;
}

// The file's bytes, with the title being typed as its screen would store it when one is given.
// With `leftOut`, the coupons and titles that would not read back are left out and named there,
// a line each.
std::string Bytes(const TitleBeingTyped* typed, Text* leftOut) {
    auto kept = [leftOut](const std::optional<Text>& problem) {
        if (!leftOut || !problem) return true;
        *leftOut += *problem + "\r\n";
        return false;
    };
    std::vector<Text> coupons;
    for (int i = 0; i < COUPON_COUNT; ++i)
        if (kept(CouponProblem(i))) coupons.push_back(CouponLine(COUPON_NO(i)));
    std::string out;
    AddLine(out, Text("割引券:") + IntegerDigits(static_cast<Int32>(coupons.size())));
    for (const Text& coupon : coupons) AddLine(out, coupon);
    for (int k = 0; k < kKindCount; ++k) {
        auto title = [&](int t, const Text& name, int compensate) {
            if (kept(TitleProblem(t, k, name))) AddLine(out, TitleLine(t, k, name, compensate));
        };
        const bool typedHere = typed && typed->kind == k;
        for (int t = 0; t < TITLE_COUNT(k); ++t) {
            if (!typedHere || t != typed->title) {
                title(t, TITLE_NAME(t, k), COMPENSATE_FLAG(t, k));
            } else if (!typed->name.empty()) {
                title(t, typed->name, typed->compensate);
            }
        }
        // A title being added follows the kind's last one.
        if (typedHere && typed->title == TITLE_COUNT(k) && !typed->name.empty())
            title(typed->title, typed->name, typed->compensate);
    }
    return out;
}

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool StartsWith(const Text& line, const char* prefix) { return line.view().substr(0, std::string_view(prefix).size()) == prefix; }

}  // namespace

bool StartsLikeOrderFile(std::string_view firstBytes) {
    if (firstBytes.starts_with(kUtf8Mark)) firstBytes.remove_prefix(kUtf8Mark.size());
    for (std::string_view start : {"割引券", "お客様氏名", "前受額", "少額割引額"}) {
        // Also as an editor or a mail program may have saved it, in UTF-8.
        if (firstBytes.starts_with(start) || firstBytes.starts_with(rt::SjisToUtf8(start).value_or(std::string(start))))
            return true;
    }
    return false;
}

namespace {

// How a file's lines end. The program writes CR LF, and a lone LF in a coupon read so is the
// coupon's own, as it always was. A mail program or an editor makes LF of some or all of them,
// the last ones at least when an editor changed the end, the first ones when a mail program
// did: a file whose first or last line ends in a lone LF has every lone LF end a line.
rt::LineEnds LineEndsOf(std::string_view bytes) {
    auto loneLf = [&](size_t at) { return at != npos && bytes[at] == '\n' && (at == 0 || bytes[at - 1] != '\r'); };
    return loneLf(bytes.find_first_of("\r\n")) || loneLf(bytes.find_last_of("\r\n")) ? rt::LineEnds::CrOrLf
                                                                                      : rt::LineEnds::Cr;
}

class Parser {
public:
    explicit Parser(const std::string& bytes)
        : ends_(LineEndsOf(bytes)),
          reader_(bytes, ends_),
          lastLineEnded_(!bytes.empty() && (bytes.back() == '\r' || bytes.back() == '\n')) {}

    OrderFileRead Run() {
        OrderFileRead result;
        OrderFileContent content;
        Text line;
        // Only a file with no bytes at all fails its first read.
        if (!ReadLine(line)) return status_ == rt::ReadStatus::PastEnd ? Failed(0, "ファイルが空です。") : Failed();
        if (StartsWith(line, "お客様氏名")) {
            content.customerName = TextMid(line, 12);
            if (!ReadLine(line)) return FailedBeforeTitles();
        }
        if (StartsWith(line, "前受額")) {
            content.advancePayment = NumberIn(TextMid(line, 8));
            if (!AnAmount(content.advancePayment)) return Failed(reader_.lineOfLastRead(), "前受額の数値が大きすぎます。");
            if (!ReadLine(line)) return FailedBeforeTitles();
        }
        if (StartsWith(line, "少額割引額")) {
            content.adjustDiscount = NumberIn(TextMid(line, 12));
            if (!AnAmount(content.adjustDiscount))
                return Failed(reader_.lineOfLastRead(), "少額割引額の数値が大きすぎます。");
            if (!ReadLine(line)) return FailedBeforeTitles();
        }
        const int countLine = reader_.lineOfLastRead();
        // Every order the program or the shop writes has this line; without it the first line
        // of any text file (a README, a list renamed .SAV) would read as an order of nothing.
        // What follows the word is not looked at: older files have 「割引券：」 or 「割引券 :」,
        // and the count is read from the eighth byte, as it always was.
        if (!StartsWith(line, "割引券"))
            return Failed(countLine, "申込みデータのファイルではありません（「割引券」で始まる行がありません）。");
        if (MixedLineEnds({&line})) return Failed(countLine, kMixedLineEnds);
        const std::optional<double> count = NumberIn(TextMid(line, 8));
        if (!count || *count < 0 || *count > kMostCoupons || *count != std::floor(*count))
            return Failed(countLine, "割引券の枚数が０から１０ではありません。");
        for (int i = 0; i < static_cast<int>(*count); ++i) {
            Text coupon;
            if (!ReadField(coupon)) return FailedBeforeTitles();
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

private:
    // Read as the program writes its files, a lone LF in the coupon count's or a title's line is
    // a line end of an editor's among CR LF ones: read as part of the line, the titles after it
    // would be lost or priced as one.
    static constexpr const char* kMixedLineEnds =
        "行の終わりにCR LFとLFだけのものが混ざっていて、この行を正しく読み取れません。";
    bool MixedLineEnds(std::initializer_list<const Text*> parts) const {
        if (ends_ != rt::LineEnds::Cr) return false;
        for (const Text* part : parts)
            if (part->view().find('\n') != npos) return true;
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
    static OrderFileRead Failed(int line, const char* reason) {
        OrderFileRead result;
        result.problem = {line, reason};
        return result;
    }

    const rt::LineEnds ends_;
    rt::TextReader reader_;
    const bool lastLineEnded_;
    rt::ReadStatus status_ = rt::ReadStatus::Ok;
};

}  // namespace

std::string OrderFileBytes() { return Bytes(nullptr, nullptr); }

KeptOrder OrderAsFarAsItReadsBack(const TitleBeingTyped* typed) {
    KeptOrder kept;
    kept.bytes = Bytes(typed, &kept.leftOut);
    return kept;
}

std::optional<Text> WhyOrderCannotBeWritten() {
    // In the order of the file, so that the customer hears of the first line to blame.
    for (int i = 0; i < COUPON_COUNT; ++i)
        if (std::optional<Text> problem = CouponProblem(i)) return problem;
    for (int k = 0; k < kKindCount; ++k)
        for (int t = 0; t < TITLE_COUNT(k); ++t)
            if (std::optional<Text> problem = TitleProblem(t, k, TITLE_NAME(t, k))) return problem;
    return std::nullopt;
}

namespace {

// Why a line of a UTF-8 file cannot be read: a character Shift-JIS has no form for, shown as
// "？". On a title's line (four commas before it) the title is named, as a save names it.
Text UnheldCharacterProblem(std::string_view utf8Line) {
    while (!utf8Line.empty() && (utf8Line.back() == '\r' || utf8Line.back() == '\n')) utf8Line.remove_suffix(1);
    int unheld = 0;
    Text line(rt::Utf8ToSjisReplacing(utf8Line, "？", unheld));
    size_t nameAt = 0;
    for (int comma = 0; comma < 4 && nameAt != npos; ++comma) {
        nameAt = line.view().find(',', nameAt);
        if (nameAt != npos) ++nameAt;
    }
    const Text which =
        nameAt != npos ? Text("タイトル「") + TextMid(line, static_cast<Int32>(nameAt) + 1) : Text("「") + line;
    return which + "」に、このプログラムで使えない文字（「？」の所）があります。";
}

// An order file that an editor or a mail program saved in UTF-8, in Shift-JIS as the program
// wrote it; a problem naming the first line that holds a character Shift-JIS cannot hold.
std::optional<OrderFileProblem> IntoShiftJis(std::string& bytes) {
    std::string sjis;
    int line = 1;
    for (size_t at = 0; at < bytes.size(); ++line) {
        size_t end = bytes.find_first_of("\r\n", at);
        if (end == npos) end = bytes.size();
        else if (bytes[end] == '\r' && end + 1 < bytes.size() && bytes[end + 1] == '\n') end += 2;
        else ++end;
        const std::string_view piece(bytes.data() + at, end - at);
        const std::optional<std::string> converted = rt::Utf8ToSjis(piece);
        if (!converted) return OrderFileProblem{line, UnheldCharacterProblem(piece)};
        sjis += *converted;
        at = end;
    }
    bytes = std::move(sjis);
    return std::nullopt;
}

}  // namespace

OrderFileRead ParseOrderFile(const std::string& bytes) {
    // A file of the program's own starts with a Shift-JIS kanji, which is no UTF-8: it is read
    // as it is, and only a file told as UTF-8 (as the import tells one) is converted first.
    if (!bytes.starts_with(kUtf8Mark) && EncodingOfImportLines(false, {bytes}) == ImportEncoding::ShiftJis)
        return Parser(bytes).Run();
    std::string text = bytes;
    StripUtf8ByteOrderMark(text);
    OrderFileRead read;
    if (std::optional<OrderFileProblem> problem = IntoShiftJis(text)) {
        read.problem = std::move(*problem);
        return read;
    }
    read = Parser(text).Run();
    read.fromUtf8 = read.content.has_value();
    return read;
}

namespace {

OrderFileRead ParsedOrRefused(const rt::FileResult& read, const std::string& bytes) {
    if (read.ok) return ParseOrderFile(bytes);
    OrderFileRead failed;
    failed.problem = {0, ReasonOf(read)};
    return failed;
}

static_assert(kLargestOrderFileBytes >=
              (3 + 1 + kMostCoupons + kKindCount * (kSlotUpper + 1)) * (rt::kMaxLineBytes * 3 + 3) + kUtf8Mark.size());

}  // namespace

OrderFileRead ReadOrderFile(const Text& path) {
    std::string bytes;
    const rt::FileResult read = rt::ReadWholeFile(path, bytes, kLargestOrderFileBytes);
    return ParsedOrRefused(read, bytes);
}

OrderFileRead ReadSystemOrderFile(const std::string& systemPath, const Text& shown) {
    std::string bytes;
    const rt::FileResult read = rt::ReadSystemFile(systemPath, shown, bytes, kLargestOrderFileBytes);
    return ParsedOrRefused(read, bytes);
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
