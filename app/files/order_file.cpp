// The saved order file: the bytes of the order in memory, the checks that they read back as the
// same order, and a file read whole (see order_file_reader.cpp) before the order in memory is
// replaced by it.
#include "app/files/order_file.h"

#include "app/fee/amount_text.h"
#include "app/fee/order_model.h"
#include "app/fee/order_totals.h"
#include "app/fee/title_amounts.h"
#include "app/files/file_messages.h"
#include "runtime/files/text_reader.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "runtime/values/number_text.h"

namespace {

constexpr auto npos = std::string_view::npos;

void AddLine(std::string& out, const Text& line) {
    out += line.bytes();
    out += "\r\n";
}

// Whether a coupon goes in quotes: written bare it would not read back as itself. A file brings
// such coupons (a quoted field keeps commas, colons, line ends and leading blanks), and the
// screens take anything but the date and the amount digits; one written bare would split into
// other coupons or eat the titles' lines at the next load. A bare LF would read back, but only
// as long as the file's line ends are not in doubt.
bool NeedsQuotes(std::string_view c) { return c.find_first_of(",:\r\n") != npos || (!c.empty() && c.front() == ' '); }

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
