#include "app/fee/title_amounts.h"

#include <gtest/gtest.h>

#include "app/fee/order_model.h"

namespace {

struct TitleChoice {
    int kind;
    int bookType = 0;
    int course = 3;
    int dpi = 156;
    bool noMoire = false, noSpread = false, trim = false, works = false;
    float listPrice = 1000;
    int pages = 0;
};

// Puts one title into slot 2 of its kind and makes it the current title.
void PutTitle(const TitleChoice& c) {
    ResetOrderModel();
    CUR_KIND = c.kind;
    CUR_TITLE = 2;
    BOOK_TYPE(2, c.kind) = c.bookType;
    COURSE(2, c.kind) = c.course;
    TITLE_DPI(2, c.kind) = c.dpi;
    OPT_NO_MOIRE(2, c.kind) = c.noMoire ? 1 : 0;
    OPT_NO_SPREAD(2, c.kind) = c.noSpread ? 1 : 0;
    OPT_TRIM(2, c.kind) = c.trim ? 1 : 0;
    OPT_WORKS(2, c.kind) = c.works ? 1 : 0;
    LIST_PRICE(2, c.kind) = c.listPrice;
    PAGE_COUNT(2, c.kind) = c.pages;
}

struct AmountCase {
    const char* name;
    TitleChoice title;
    float refPrice, basic, option, total;
};

class TitleAmount : public testing::TestWithParam<AmountCase> {};

TEST_P(TitleAmount, PricesTheTitleFromItsStoredChoices) {
    const AmountCase& c = GetParam();
    PutTitle(c.title);
    RepriceCurrentTitle();
    EXPECT_EQ(REF_PRICE, c.refPrice);
    EXPECT_EQ(BASIC_AMOUNT, c.basic);
    EXPECT_EQ(OPTION_AMOUNT, c.option);
    EXPECT_EQ(TITLE_TOTAL(2, c.title.kind), c.total);
    EXPECT_EQ(TITLE_TOTAL(1, c.title.kind), 0) << "only the current slot is written";
}

INSTANTIATE_TEST_SUITE_P(
    WorkedAndEdgeAmounts, TitleAmount,
    testing::Values(
        AmountCase{"ComicFreeBand", {.kind = 0, .bookType = 1}, 500, 1400, 0, 1400},
        AmountCase{"Comic200Dpi", {.kind = 0, .bookType = 1, .dpi = 200}, 500, 1400, 400, 1800},
        AmountCase{"Comic350Dpi", {.kind = 0, .bookType = 1, .dpi = 350}, 500, 1400, 4000, 5400},
        AmountCase{"Comic350DpiTrimmed", {.kind = 0, .bookType = 1, .dpi = 350, .trim = true}, 500, 1400, 4800, 6200},
        AmountCase{"ComicEveryOptionButTrim", {.kind = 0, .bookType = 1, .noSpread = true, .works = true}, 500, 1400, 20, 1420},
        AmountCase{"ComicCutOnly", {.kind = 0, .bookType = 1, .course = 1}, 500, 200, 0, 200},
        AmountCase{"ComicNoCourse", {.kind = 0, .bookType = 1, .course = 0}, 500, 0, 0, 0},
        AmountCase{"ConvenienceStoreComic", {.kind = 0, .bookType = 2, .listPrice = 600}, 600, 1400, 0, 1400},
        AmountCase{"SaddleDoujin", {.kind = 1, .bookType = 1, .course = 2, .dpi = 120}, 50, 100, 0, 100},
        AmountCase{"SaddleDoujinNoSpreads", {.kind = 1, .bookType = 1, .course = 2, .dpi = 120, .noSpread = true}, 50, 100, -10, 90},
        AmountCase{"PerfectDoujin", {.kind = 1, .bookType = 2, .pages = 70}, 10, 380, 0, 380},
        AmountCase{"PerfectDoujinNoSpreads", {.kind = 1, .bookType = 2, .noSpread = true}, 10, 380, -20, 360},
        AmountCase{"SaddleMagazine", {.kind = 2, .course = 2, .dpi = 120, .listPrice = 780}, 780, 300, 0, 300},
        AmountCase{"SaddleMagazineNoSpreads", {.kind = 2, .course = 3, .dpi = 120, .noSpread = true}, 1000, 400, -30, 370},
        AmountCase{"PerfectMagazine", {.kind = 3, .course = 2, .listPrice = 900, .pages = 199}, 900, 1200, 0, 1200},
        AmountCase{"PerfectMagazine400Pages", {.kind = 3, .course = 3, .listPrice = 900, .pages = 400}, 2700, 1600, 0, 1600},
        AmountCase{"PerfectMagazineNoSpreadsTrimmed", {.kind = 3, .course = 2, .noSpread = true, .trim = true}, 1000, 1200, 900, 2100},
        AmountCase{"PhotoBook", {.kind = 4}, 1000, 1400, 0, 1400}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ReferencePrice, APerfectBoundMagazineCountsEveryStartedBlockOf200Pages) {
    const std::pair<int, int> pagesAndFactor[] = {{0, 1}, {199, 1}, {200, 2}, {399, 2}, {400, 3}};
    for (auto [pages, factor] : pagesAndFactor) {
        PutTitle({.kind = 3, .listPrice = 700, .pages = pages});
        基準価格_SUB();
        EXPECT_EQ(REF_PRICE, 700.0f * factor) << pages << " pages";
    }
}

struct DpiCase {
    int kind, bookType;
    bool noMoire;
    int dpi;
    float surcharge;
};

class ResolutionSurcharge : public testing::TestWithParam<DpiCase> {};

TEST_P(ResolutionSurcharge, TakesTheBandThatTheResolutionReaches) {
    const DpiCase& c = GetParam();
    PutTitle({.kind = c.kind, .bookType = c.bookType, .dpi = c.dpi, .noMoire = c.noMoire});
    コース料_SUB();
    オプション金額_SUB1();
    EXPECT_EQ(CUR_DPI, c.dpi);
    EXPECT_EQ(OPT_DPI_FEE, c.surcharge);
}

// Scan fees: comics 800, saddle-stitched doujinshi 100, perfect-bound doujinshi 200,
// saddle-stitched magazines 300, perfect-bound magazines 1000, photo books 800.
INSTANTIATE_TEST_SUITE_P(
    BandEdges, ResolutionSurcharge,
    testing::Values(
        // table A with moiré removal, then without
        DpiCase{0, 1, false, 50, 0}, DpiCase{0, 1, false, 166, 0}, DpiCase{0, 1, false, 167, 400},
        DpiCase{0, 1, false, 333, 400}, DpiCase{0, 1, false, 334, 4000}, DpiCase{0, 1, true, 250, 0},
        DpiCase{0, 1, true, 251, 400}, DpiCase{0, 1, true, 450, 400}, DpiCase{0, 1, true, 451, 1600},
        // table B with moiré removal, then without
        DpiCase{1, 1, false, 187, 0}, DpiCase{1, 1, false, 188, 200}, DpiCase{1, 1, false, 250, 200},
        DpiCase{1, 1, false, 251, 300}, DpiCase{1, 1, true, 149, 0}, DpiCase{1, 1, true, 150, 50},
        DpiCase{1, 1, true, 299, 50}, DpiCase{1, 1, true, 300, 200}, DpiCase{1, 1, true, 349, 200},
        DpiCase{1, 1, true, 350, 300},
        // the table of each kind
        DpiCase{1, 2, false, 167, 100}, DpiCase{2, 0, false, 188, 600}, DpiCase{3, 0, false, 334, 5000},
        DpiCase{4, 0, true, 451, 1600}));

}  // namespace
