// The saved order file: what the writer writes byte for byte, that every field comes back, and
// that a broken file is refused with its line and reason before anything of the order changes.
#include "app/files/order_file.h"

#include <gtest/gtest.h>

#include "app/fee/order_model.h"
#include "tests/support/fresh_order.h"

namespace {

class OrderFile : public FreshOrder {
protected:
    static void Title(int k, const Text& name, int type, int course, int dpi, int gift = 0, int comp = 0,
                      int works = 0, int moire = 0, int spread = 0, int trim = 0) {
        const int t = TITLE_COUNT(k);
        TITLE_COUNT(k) = t + 1;
        TITLE_NAME(t, k) = name;
        BOOK_TYPE(t, k) = type;
        COURSE(t, k) = course;
        TITLE_DPI(t, k) = dpi;
        GIFT_FLAG(t, k) = gift;
        COMPENSATE_FLAG(t, k) = comp;
        OPT_WORKS(t, k) = works;
        OPT_NO_MOIRE(t, k) = moire;
        OPT_NO_SPREAD(t, k) = spread;
        OPT_TRIM(t, k) = trim;
    }
};

TEST_F(OrderFile, AnEmptyOrderIsTheCouponCountAlone) { EXPECT_EQ(OrderFileBytes(), "割引券:0\r\n"); }

TEST_F(OrderFile, WritesCouponsThenTitlesKindByKind) {
    COUPON_NO(0) = "2612310035";
    COUPON_NO(1) = "2612310042";
    COUPON_COUNT = 2;
    Title(4, "写真集", 0, 3, 600, 0, 0, 0, 1, 0, 1);
    Title(0, "ワンピース　１", 1, 3, 156, 0, 1, 1, 0, 1, 0);
    Title(2, "月刊誌", 2, 2, 120, 1);
    EXPECT_EQ(OrderFileBytes(),
              "割引券:2\r\n2612310035\r\n2612310042\r\n"
              "0131,1010,156,0,ワンピース　１\r\n"
              "222,0000,120,1,月刊誌\r\n"
              "403,0101,600,0,写真集\r\n");
}

TEST_F(OrderFile, EveryFieldComesBackAndTheFileIsWrittenAgainTheSame) {
    COUPON_NO(0) = "2612310035";
    COUPON_COUNT = 1;
    // Titles a field reader would cut: commas, colons, quotes and leading blanks are the title's.
    Title(0, "A,B:C", 1, 3, 200, 0, 1, 1, 1, 1, 1);
    Title(1, "\"引用\"で始まる", 2, 2, 599, 1);
    Title(1, "  前に空白", 1, 1, 120);
    Title(3, "雑誌", 1, 3, 50);
    Title(4, "", 0, 3, 156);  // an empty name is never written by the screens; it still reads back
    const std::string written = OrderFileBytes();

    ResetOrderModel();
    const OrderFileRead read = ParseOrderFile(written);
    ASSERT_TRUE(read.content) << read.problem.line;
    TakeOverOrder(*read.content);
    EXPECT_EQ(OrderFileBytes(), written);
    EXPECT_EQ(TITLE_NAME(0, 0), Text("A,B:C"));
    EXPECT_EQ(TITLE_NAME(0, 1), Text("\"引用\"で始まる"));
    EXPECT_EQ(TITLE_NAME(1, 1), Text("  前に空白"));
    EXPECT_EQ(COMPENSATE_FLAG(0, 0), 1);
    EXPECT_EQ(COMPENSATION_AMOUNT(0, 0), TITLE_TOTAL(0, 0));
    EXPECT_GT(TITLE_TOTAL(0, 0), 0);
    EXPECT_EQ(GIFT_COUNT(1), 1);
    EXPECT_EQ(TITLE_DPI(0, 1), 599);
    EXPECT_EQ(KIND_SUBTOTAL(0), TITLE_TOTAL(0, 0));
}

// Coupons only a file can bring (quoted, with a comma, a colon, a line end or a leading blank)
// are written back in quotes, so that saving does not make a file that reads as another order;
// the coupons of the screens stay bare.
TEST_F(OrderFile, ACouponThatReadsOtherwiseBareIsWrittenInQuotes) {
    const std::string file =
        "割引券:6\r\n2612310035\r\n\"1,2\"\r\n\"3:4\"\r\n\" 5\"\r\n\"6\r7\"\r\n8\n9\r\n013,0000,156,0,本\r\n";
    const OrderFileRead read = ParseOrderFile(file);
    ASSERT_TRUE(read.content) << read.problem.line;
    TakeOverOrder(*read.content);
    EXPECT_EQ(COUPON_NO(1), Text("1,2"));
    EXPECT_EQ(COUPON_NO(4), Text("6\r7"));
    // The LF of a coupon that older versions wrote bare is quoted too: as it was, it reads back
    // only as long as the file's line ends are not in doubt.
    std::string quoted = file;
    EXPECT_EQ(OrderFileBytes(), quoted.replace(quoted.find("8\n9"), 3, "\"8\n9\""));

    // A quote at the start, or one inside a coupon that needs quotes: read back, or refused.
    for (const char* quote : {"\"2612310035", "26\"12310035", "\"1,2", "1,2\""}) {
        COUPON_NO(0) = quote;
        const OrderFileRead back = ParseOrderFile(OrderFileBytes());
        EXPECT_TRUE(WhyOrderCannotBeWritten() || back.content.value().coupons.at(0) == Text(quote)) << quote;
    }

    // One quote short: the coupon would split and the title line be taken as coupons.
    const std::string bare = "割引券:2\r\n1,2\r\n013,0000,156,0,本\r\n";
    const OrderFileRead split = ParseOrderFile(bare);
    ASSERT_TRUE(split.content);
    EXPECT_EQ(split.content->coupons, (std::vector<Text>{Text("1"), Text("2")}));
}

TEST_F(OrderFile, ALoadedOrderKeepsNoCouponOfThePreviousOne) {
    for (int i = 0; i < 3; ++i) COUPON_NO(i) = "2612310035";
    COUPON_COUNT = 3;
    const OrderFileRead read = ParseOrderFile("割引券:1\r\n2612310042\r\n");
    ASSERT_TRUE(read.content);
    TakeOverOrder(*read.content);
    EXPECT_EQ(COUPON_COUNT, 1);
    EXPECT_EQ(COUPON_NO(0), Text("2612310042"));
    EXPECT_TRUE(COUPON_NO(1).empty());
    EXPECT_TRUE(COUPON_NO(2).empty());
}

TEST_F(OrderFile, ReadsTheLinesOtherProgramsPutBeforeTheCouponCount) {
    OrderFileRead read = ParseOrderFile("お客様氏名:山田太郎\r\n前受額:1000\r\n少額割引額:50\r\n割引券:0\r\n");
    ASSERT_TRUE(read.content);
    EXPECT_EQ(*read.content->customerName, Text("山田太郎"));
    EXPECT_EQ(*read.content->advancePayment, 1000);
    EXPECT_EQ(*read.content->adjustDiscount, 50);
    // The largest amount kept, text that is no number (0, as always) and a resolution of 0.
    read = ParseOrderFile("前受額:3.4E38\r\n少額割引額:abc\r\n割引券:0\r\n013,0000,0,0,本\r\n");
    ASSERT_TRUE(read.content) << read.problem.line;
    EXPECT_EQ(*read.content->advancePayment, 3.4e38);
    EXPECT_EQ(*read.content->adjustDiscount, 0);
    EXPECT_EQ(read.content->titles.at(0).dpi, 0);
}

struct Broken {
    const char* name;
    std::string bytes;
    int line;
    const char* reason;
};

class BrokenOrderFile : public OrderFile, public testing::WithParamInterface<Broken> {};

TEST_P(BrokenOrderFile, IsRefusedWithItsLineAndReason) {
    const Broken& b = GetParam();
    const OrderFileRead read = ParseOrderFile(b.bytes);
    ASSERT_FALSE(read.content);
    EXPECT_EQ(read.problem.line, b.line);
    EXPECT_EQ(read.problem.reason, Text(b.reason));
}

const char* const kNotAnOrder = "申込みデータのファイルではありません（「割引券」で始まる行がありません）。";

std::string ManyTitles(int kind, int count) {
    std::string s = "割引券:0\r\n";
    for (int i = 0; i < count; ++i) s += std::to_string(kind) + "13,0000,156,0,t\r\n";
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BrokenOrderFile,
    testing::Values(
        Broken{"Empty", "", 0, "ファイルが空です。"},
        // The first line of any text file, or one after a name line, is no coupon count.
        Broken{"NotAnOrder", "# Kalvoro\n", 1, kNotAnOrder},
        Broken{"CountLineWithoutTheWord", "割引:0\r\n", 1, kNotAnOrder},
        Broken{"NameThenAList", "お客様氏名:山田\r\n買い物\r\n", 2, kNotAnOrder},
        Broken{"KindFive", "割引券:0\r\n013,0000,156,0,a\r\n513,0000,156,0,b\r\n", 3, "本の種類が０から４ではありません。"},
        Broken{"CouponsMissing", "割引券:3\r\n2612310035\r\n2612310042\r\n", 4, "ファイルが途中で終わっています。"},
        // A file that ends before the line it announces names that line, even without a line end.
        Broken{"CountLineAlone", "割引券:2", 2, "ファイルが途中で終わっています。"},
        Broken{"NameLineAlone", "お客様氏名:山田", 2, "ファイルが途中で終わっています。"},
        Broken{"TitleLineCut", "割引券:0\r\n013,0000", 2, "ファイルが途中で終わっています。"},
        Broken{"EmptyDpi", "割引券:0\r\n011,0000,,0,本\r\n", 2, "解像度の欄が空です。"},
        Broken{"EmptyGift", "割引券:0\r\n013,0000,156, ,本\r\n", 2, "贈与の欄が空です。"},
        Broken{"AdvancePaymentTooLarge", "前受額:3.5E38\r\n割引券:0\r\n", 1, "前受額の数値が大きすぎます。"},
        Broken{"AdvancePaymentBeyondDouble", "前受額:" + std::string(400, '9') + "\r\n割引券:0\r\n", 1,
               "前受額の数値が大きすぎます。"},
        Broken{"AdjustDiscountTooLarge", "お客様氏名:山田\r\n少額割引額:-1E39\r\n割引券:0\r\n", 2,
               "少額割引額の数値が大きすぎます。"},
        Broken{"ElevenCoupons", "割引券:11\r\n", 1, "割引券の枚数が０から１０ではありません。"},
        Broken{"FourFields", "割引券:0\r\n013,0000,156,0\r\n013,0000,156,0,b\r\n", 2, "欄が５つそろっていません。"},
        Broken{"DpiOutOfRange", "割引券:0\r\n013,0000,32768,0,a\r\n", 2, "解像度か贈与の欄の数値が範囲外です。"},
        Broken{"HugeExponent", "割引券:0\r\n013,0000,1E99999,0,a\r\n", 2, "解像度か贈与の欄の数値が範囲外です。"},
        Broken{"GiftBeyondDouble", "割引券:0\r\n013,0000,156,1E309,a\r\n", 2, "解像度か贈与の欄の数値が範囲外です。"},
        Broken{"TooManyOfAKind", ManyTitles(1, 122), 123, "１種類の本が１２１冊を超えています。"},
        Broken{"LineTooLong", "割引券:0\r\n013,0000,156,0," + std::string(32768, 'x') + "\r\n", 2,
               "１行が３２，７６７バイトを超えています。"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OrderFile, TheLastAllowedCountsAreRead) {
    OrderFileRead read = ParseOrderFile(ManyTitles(4, 121));
    ASSERT_TRUE(read.content);
    EXPECT_EQ(read.content->titles.size(), 121u);
    std::string ten = "割引券:10\r\n";
    for (int i = 0; i < 10; ++i) ten += "2612310035\r\n";
    read = ParseOrderFile(ten);
    ASSERT_TRUE(read.content);
    EXPECT_EQ(read.content->coupons.size(), 10u);
    // The longest title the entry screen takes comes back whole.
    read = ParseOrderFile("割引券:0\r\n013,0000,156,0," + std::string(32767, 'x') + "\r\n");
    ASSERT_TRUE(read.content) << read.problem.line;
    EXPECT_EQ(read.content->titles[0].name.size(), 32767u);
}

}  // namespace
