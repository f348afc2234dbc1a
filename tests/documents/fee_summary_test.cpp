#include "app/documents/fee_summary.h"

#include <string>

#include "app/fee/amount_text.h"
#include "app/documents/statement_text.h"
#include "tests/documents/document_order.h"

namespace {

using FeeSummary = DocumentTest;

const std::string kFormulas[] = {
    "　　④＝①＋②　　　　　　　　　　　　　　　　　　　",
    "　　⑦＝④＋⑤＋⑥　　　　　　　　　　⑫　割引額合計",
    "　　⑫＝⑧＋⑨＋⑩　　　　　　　　　　⑬　作業代補償",
    "　　⑭＝(④＋⑤－⑫－⑬)＋⑥　　　　　⑭　総合計金額",
};

TEST_F(FeeSummary, ComicsOnlyStillShowThePhotoBookRow) {
    AddDocTitle(kComic, {});
    AddDocTitle(kComic, {});
    RefreshTotals();
    // Columns of 18, 14, 14 and 16 bytes; the discounts are 0, shipping 500 for two comics.
    const std::string expected =
        "　　　書籍種別　　  　　申込冊数　  　　　　　　　　  　　　　　　　　\r\n"
        "　　　　　コミック        ２冊　　  　①　作業代小計       ２,８００円\r\n"
        "　　写真・資料集等        ０冊　　  　②　作業代小計              ０円\r\n" +
        Blanks(18) + "\r\n"
        "　　各種割引　　  \r\n"
        "⑧　割引券割引                ０円  　④　作業代合計       ２,８００円\r\n"
        "⑨　特別割引                  ０円  　⑤　メディア代            ５０円\r\n"
        "⑩　コミック箱割り            ０円  　⑥　返　送　料          ５００円\r\n" +
        Blanks(18) + "  " + Blanks(14) + "  　⑦　小　合　計       ３,３５０円\r\n"
        "\r\n" +
        kFormulas[0] + "  　　　　　　　　\r\n" +
        kFormulas[1] + "              ０円\r\n" +
        kFormulas[2] + "              ０円\r\n" +
        kFormulas[3] + "       ３,３５０円\r\n"
        "　　但し(④＋⑤－⑫－⑬)＜０時は０　　　　　　　　\r\n";
    EXPECT_EQ(見積書_SUB().bytes(), expected);
}

struct ShippingCase {
    const char* name;
    float shipping, quota;
    int gifts;
    const char* cell;  // the amount column, 16 bytes wide
};

class SummaryShipping : public DocumentTest, public testing::WithParamInterface<ShippingCase> {};

TEST_P(SummaryShipping, SaysWhyNoShippingIsCharged) {
    const ShippingCase& c = GetParam();
    RETURN_SHIPPING = c.shipping;
    GIFT_QUOTA = c.quota;
    TOTAL_GIFTS = c.gifts;
    const std::vector<std::string> lines = SplitLines(見積書_SUB().bytes());
    ASSERT_EQ(lines.size(), 15u);
    EXPECT_EQ(lines[7], std::string("⑩　コミック箱割り            ０円  　⑥　返　送　料  ") + c.cell);
}

INSTANTIATE_TEST_SUITE_P(
    Wordings, SummaryShipping,
    testing::Values(ShippingCase{"Charged", 500, 0.7f, 0, "        ５００円"},
                    ShippingCase{"QuotaReached", 0, 7, 7, "  当店負担、０円"},
                    ShippingCase{"BelowTheQuota", 0, 7, 6, "  着払の為、０円"},
                    // Unlike the main screen, an empty order is not worded apart.
                    ShippingCase{"NoTitles", 0, 0, 0, "  当店負担、０円"}),
    [](const auto& info) { return std::string(info.param.name); });

// A box of comics and one of doujinshi: the comics' line shows their share of the box discount
// alone, the discounts' total both shares.
TEST_F(FeeSummary, TheComicBoxLineIsTheComicsShareAlone) {
    for (int i = 0; i < 15 + 40; ++i) AddDocTitle(i < 15 ? kComic : kDoujin, {});
    RefreshTotals();
    ASSERT_GT(BOX_DISCOUNT_COMIC, 0);
    ASSERT_GT(BOX_DISCOUNT_DOUJIN, 0);
    const std::vector<std::string> lines = SplitLines(見積書_SUB().bytes());
    ASSERT_EQ(lines.size(), 15u);
    const Text comics = FullWidthYen(BOX_DISCOUNT_COMIC);
    EXPECT_EQ(lines[7].substr(0, 18 + 2 + 14), "⑩　コミック箱割り  " + std::string(14 - comics.size(), ' ') + comics.bytes());
    EXPECT_EQ(DISCOUNT_TOTAL, COUPON_DISCOUNT + SPECIAL_DISCOUNT + BOX_DISCOUNT_COMIC + BOX_DISCOUNT_DOUJIN);
    const Text total = FullWidthYen(DISCOUNT_TOTAL);
    EXPECT_EQ(lines[11], kFormulas[1] + "  " + std::string(16 - total.size(), ' ') + total.bytes());
}

TEST_F(FeeSummary, WritesAMillionYenWithAllItsDigits) {
    KIND_SUBTOTAL(kComic) = 1234567;
    WORK_FEE = 1234567;
    SUBTOTAL = 1234567;
    GRAND_TOTAL = 1234567;
    const std::vector<std::string> lines = SplitLines(見積書_SUB().bytes());
    ASSERT_EQ(lines.size(), 15u);
    // The amounts are 18 bytes, two wider than the blank heading of their column.
    EXPECT_EQ(lines[1], "　　　　　コミック        ０冊　　  　①　作業代小計  １,２３４,５６７円");
    EXPECT_EQ(lines[5], "⑧　割引券割引                ０円  　④　作業代合計  １,２３４,５６７円");
    EXPECT_EQ(lines[10], kFormulas[0] + "    　　　　　　　　");
    EXPECT_EQ(lines[13], kFormulas[3] + "  １,２３４,５６７円");
}

TEST(SummaryTexts, FormulasAreFiftyTwoBytesWide) {
    for (const std::string& formula : kFormulas) EXPECT_EQ(formula.size(), 52u) << formula;
}

TEST(SummaryTexts, CircledNumbersAreRowThirteenOfCodePage932) {
    // The build already refuses a character the code page lacks; this pins the row they land in.
    const char* const circled[] = {"①", "②", "③", "④", "⑤", "⑥", "⑦", "⑧", "⑨", "⑩", "⑪", "⑫", "⑬", "⑭"};
    for (int n = 0; n < 14; ++n) EXPECT_EQ(Text(circled[n]), JisChar(0x2D21 + n)) << n + 1;
    EXPECT_EQ(Text("－"), Text("\x81\x7C"));
}

}  // namespace
