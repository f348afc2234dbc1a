#include "app/documents/work_fee_details.h"

#include <gmock/gmock.h>

#include "tests/documents/document_order.h"

namespace {

using testing::HasSubstr;

using WorkFeeDetails = DocumentTest;

TEST_F(WorkFeeDetails, OneComicIsAHeadingTheTableTwoSubtotalLinesAndAnEmptyLine) {
    AddDocTitle(kComic, {.name = "ABC"});
    // Widths: name 6, course 20, basic 8, four option columns 10 and the moiré 16, the total 5,
    // remarks 6; the columns left of the total take 106 bytes with their gaps.
    const std::string expected =
        "コミックの申込明細\r\n"
        "書籍名    作業内容              基本金額  作品別編集  単ページ化  トリミング  "
        "モアレ除去の有無  ＤＰＩ指定   小計  備考欄\r\n"
        "   ABC    解体・データ化再製本  \\1400     \\0          \\0          \\0          "
        "モアレ除去有り    \\0(156dpi)  \\1400        \r\n" +
        Blanks(100) + "小合計  \\1400        \r\n" +
        Blanks(106) + "  " + Blanks(5) + "  " + Blanks(6) + "\r\n"
        "\r\n";
    EXPECT_EQ(作業代明細_SUB().bytes(), expected);
    EXPECT_EQ(CUR_KIND, 5);
    EXPECT_EQ(CUR_TITLE, 1);
}

TEST_F(WorkFeeDetails, KindsFollowOneAnotherWithTheirOptionsAndCompensation) {
    AddDocTitle(kComic, {.name = "海の記録", .dpi = 200, .works = true, .noSpread = true, .trim = true,
                         .compensation = 700});
    AddDocTitle(kComic, {.name = "町", .course = 1});
    AddDocTitle(kPhotoBook, {.name = "ABCDEFGHIJKLMNOPQRS写真", .course = 2, .dpi = 300, .noMoire = true});
    // The stored subtotals are stale on purpose: the details form them again.
    KIND_SUBTOTAL(kComic) = 1;

    // Comics: 1400 + 100 − 80 + 800 + 400 (half the scan fee from 167 dpi) = 2620, and 200 for
    // the cut only; 700 of compensation comes off the 2820. Remarks are 19 bytes wide.
    const std::string comics =
        "コミックの申込明細\r\n"
        "  書籍名    作業内容              基本金額  作品別編集  単ページ化  トリミング  "
        "モアレ除去の有無  ＤＰＩ指定     小計  備考欄             \r\n"
        "海の記録    解体・データ化再製本  \\1400     \\100        -\\80        \\800        "
        "モアレ除去有り    \\400(200dpi)  \\2620  補償につき、-\\700  \r\n"
        "      町    解体のみ              \\200      \\0          \\0          \\0          "
        "モアレ除去有り    \\0(156dpi)     \\200  " + Blanks(19) + "\r\n" +
        Blanks(104) + "小合計  \\2820  小合計から700円引き\r\n" +
        Blanks(110) + "  " + Blanks(5) + "  差引小合計 \\2120   \r\n"
        "\r\n";
    // Photo books: the name is cut after the lead byte of 写 at byte 20; 300 dpi without moiré
    // removal costs half the scan fee.
    const std::string photoBooks =
        "写真・資料集等の申込明細\r\n" + Blanks(14) +
        "書籍名    作業内容        基本金額  作品別編集  単ページ化  トリミング  "
        "モアレ除去の有無  ＤＰＩ指定     小計  備考欄\r\n"
        "ABCDEFGHIJKLMNOPQRS" "\x8E" "    解体・データ化  \\1000     \\0          \\0          \\0          "
        "モアレ除去無し    \\400(300dpi)  \\1400        \r\n" +
        Blanks(110) + "小合計  \\1400        \r\n" +
        Blanks(116) + "  " + Blanks(5) + "  " + Blanks(6) + "\r\n"
        "\r\n";
    EXPECT_EQ(作業代明細_SUB().bytes(), comics + photoBooks);
    EXPECT_EQ(KIND_SUBTOTAL(kComic), 2820);
    EXPECT_EQ(CUR_KIND, 5);
    EXPECT_EQ(CUR_TITLE, 1);
}

struct NameCase {
    const char* name;
    const char* shown;  // the first 20 bytes
};

class DetailNameCut : public DocumentTest, public testing::WithParamInterface<NameCase> {};

TEST_P(DetailNameCut, KeepsTheFirstTwentyBytes) {
    AddDocTitle(kComic, {.name = GetParam().name});
    const std::vector<std::string> lines = SplitLines(作業代明細_SUB().bytes());
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2].substr(0, 24), std::string(GetParam().shown) + "    ");
}

INSTANTIATE_TEST_SUITE_P(
    Names, DetailNameCut,
    testing::Values(NameCase{"12345678901234567890ABC", "12345678901234567890"},
                    NameCase{"あいうえおかきくけこさ", "あいうえおかきくけこ"},
                    // あ is 0x82 0xA0: the last byte kept is the lead byte of the tenth あ.
                    NameCase{"Aああああああああああ", "Aあああああああああ\x82"}));

struct NoSpreadCase {
    int kind;
    bool noSpread;
    const char* cell;  // 10 bytes wide, as its heading
};

class DetailNoSpread : public DocumentTest, public testing::WithParamInterface<NoSpreadCase> {};

TEST_P(DetailNoSpread, ShowsTheReductionWithItsMinusOrAZero) {
    const NoSpreadCase& c = GetParam();
    AddDocTitle(c.kind, {.noSpread = c.noSpread});
    const std::vector<std::string> lines = SplitLines(作業代明細_SUB().bytes());
    ASSERT_EQ(lines.size(), 6u);
    // The cell starts after the name (6), the course (20), the basic (8) and the works (10)
    // columns and their gaps, the name's gap doubled by the empty column.
    EXPECT_EQ(lines[2].substr(54, 10), c.cell);
}

INSTANTIATE_TEST_SUITE_P(Options, DetailNoSpread,
                         testing::Values(NoSpreadCase{kComic, true, "-\\80      "},
                                         NoSpreadCase{kComic, false, "\\0        "},
                                         NoSpreadCase{kDoujin, true, "-\\10      "},
                                         NoSpreadCase{kPhotoBook, false, "\\0        "}));

struct LineCountCase {
    int titles[kKindCount];
    size_t lines;
};

class DetailLineCount : public DocumentTest, public testing::WithParamInterface<LineCountCase> {};

TEST_P(DetailLineCount, GivesEachKindWithTitlesItsTitlesPlusFiveLines) {
    int lastKind = -1;
    for (int k = 0; k < kKindCount; ++k) {
        for (int i = 0; i < GetParam().titles[k]; ++i) AddDocTitle(k, {});
        if (GetParam().titles[k] > 0) lastKind = k;
    }
    EXPECT_EQ(SplitLines(作業代明細_SUB().bytes()).size(), GetParam().lines);
    EXPECT_EQ(CUR_KIND, 5);
    if (lastKind >= 0) {
        EXPECT_EQ(CUR_TITLE, GetParam().titles[lastKind]);
    }
}

INSTANTIATE_TEST_SUITE_P(Orders, DetailLineCount,
                         testing::Values(LineCountCase{{0, 0, 0, 0, 0}, 0}, LineCountCase{{1, 0, 0, 0, 0}, 6},
                                         LineCountCase{{3, 0, 0, 0, 0}, 8}, LineCountCase{{0, 0, 2, 0, 0}, 7},
                                         LineCountCase{{2, 40, 1, 0, 3}, 46 + 20},
                                         LineCountCase{{20, 60, 6, 6, 5}, 97 + 25}));

TEST_F(WorkFeeDetails, WritesAMillionYenWithAllItsDigits) {
    AddDocTitle(kComic, {.compensation = 1234567});
    const std::string text = 作業代明細_SUB().bytes();
    EXPECT_THAT(text, HasSubstr("補償につき、-\\1234567"));
    EXPECT_THAT(text, HasSubstr("  小合計から1234567円引き\r\n"));
}

}  // namespace
