// The shop's commands on order files: the figures of the main screen, the two statement files as
// the statement screen writes them, and one clear line for a file that is not an order.
#include "app/batch/batch_commands.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/batch/csv_table.h"
#include "app/fee/order_model.h"
#include "app/screens/main_routine.h"
#include "runtime/values/encoding.h"
#include "runtime/window/window.h"
#include "tests/batch/batch_run.h"
#include "tests/support/file_bytes.h"

namespace {

// The terminal's text (UTF-8) of a u8"" literal.
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }


class BatchCommands : public BatchRun {
protected:
    void SetUp() override {
        BatchRun::SetUp();
        // Two comics (one trimmed, one cut only), a photo book and a coupon of 500 yen.
        PutFileBytes("order.SAV",
              "割引券:1\r\n2612310035\r\n013,0001,156,0,本一\r\n011,0000,156,0,本二\r\n403,0000,156,0,写真\r\n");
    }
};

TEST_F(BatchCommands, TotalsPrintsEveryFigureOfTheMainScreen) {
    ASSERT_EQ(Run({"totals", "order.SAV", "--today", "2026-12-07"}), 0) << err.str();
    EXPECT_EQ(out.str(),
              "KIND_SUBTOTAL0=2400\nKIND_SUBTOTAL1=0\nKIND_SUBTOTAL2=0\nKIND_SUBTOTAL3=0\nKIND_SUBTOTAL4=1400\n"
              "TITLE_COUNT0=2\nTITLE_COUNT1=0\nTITLE_COUNT2=0\nTITLE_COUNT3=0\nTITLE_COUNT4=1\n"
              "WORK_FEE=3800\nMEDIA_FEE=100\nRETURN_SHIPPING=0\nSUBTOTAL=3900\nCOUPON_DISCOUNT=500\n"
              "SPECIAL_DISCOUNT=0\nBOX_DISCOUNT=0\nDISCOUNT_TOTAL=500\nCOMPENSATION_TOTAL=0\nGRAND_TOTAL=3400\n");
    // In January half the work fee comes off.
    ASSERT_EQ(Run({"totals", "order.SAV", "--today", "2027-01-31"}), 0);
    EXPECT_NE(out.str().find("SPECIAL_DISCOUNT=1900\n"), std::string::npos);
    EXPECT_NE(out.str().find("GRAND_TOTAL=1500\n"), std::string::npos);
}

TEST_F(BatchCommands, StatementsWritesBothFilesAndEstimatePrintsThem) {
    std::filesystem::create_directory("out");
    ASSERT_EQ(Run({"statements", "order.SAV", "--out", "out", "--today", "2026-12-07"}), 0) << err.str();
    const std::string details = FileBytes(U8(u8"out/明細書.TXT")), estimate = FileBytes(U8(u8"out/見積書.TXT"));
    EXPECT_EQ(details.substr(0, 2), "\r\n");
    EXPECT_NE(details.find("コミックの申込明細\r\n"), std::string::npos);
    EXPECT_NE(estimate.find("見　　　積　　　書\r\n\r\n"), std::string::npos);
    EXPECT_EQ(estimate.substr(estimate.size() - 4), "\r\n\r\n");

    ASSERT_EQ(Run({"estimate", "order.SAV", "--today", "2026-12-07"}), 0);
    EXPECT_NE(out.str().find(U8(u8"写真・資料集等の申込明細\n")), std::string::npos);
    EXPECT_NE(out.str().find(U8(u8"総合計金額")), std::string::npos);
    EXPECT_EQ(out.str().find('\r'), std::string::npos);
}

// The details cut a title at 20 bytes, here after the lead byte of "か"; the file keeps that byte
// as the shop expects, and the terminal shows it as one "?", as the window does, with the yen
// signs as "¥": the columns after it stay where the file has them.
TEST_F(BatchCommands, ACutCharacterIsOneColumnOnTheTerminal) {
    PutFileBytes("cut.SAV", "割引券:0\r\n013,0000,156,0,Aワンピース　第一巻から三巻\r\n");
    std::filesystem::create_directory("cut");
    ASSERT_EQ(Run({"statements", "cut.SAV", "--out", "cut", "--today", "2026-12-07"}), 0) << err.str();
    const std::string details = FileBytes(U8(u8"cut/明細書.TXT"));
    const std::string cut = std::string("Aワンピース　第一巻") + "\x82";
    ASSERT_NE(details.find(cut + " "), std::string::npos);
    ASSERT_EQ(Run({"estimate", "cut.SAV", "--today", "2026-12-07"}), 0);
    const std::string shown = out.str();
    const size_t row = shown.find(U8(u8"Aワンピース　第一巻? "));
    ASSERT_NE(row, std::string::npos) << shown;
    EXPECT_EQ(shown.find("\xEF\xBF\xBD"), std::string::npos) << "no replacement mark of another width";
    // The row as the terminal shows it holds the file's row, byte for byte but the two marks.
    const size_t fileRow = details.find(cut);
    const std::string rowBytes = details.substr(fileRow, details.find("\r\n", fileRow) - fileRow);
    std::string rowShown = shown.substr(row, shown.find('\n', row) - row);
    for (size_t at; (at = rowShown.find(U8(u8"¥"))) != std::string::npos;) rowShown.replace(at, 2, "\\");
    EXPECT_EQ(rt::Utf8ToSjis(rowShown).value_or("?"), std::string(rowBytes).replace(cut.size() - 1, 1, "?"));
    EXPECT_NE(rowShown.find('\\'), std::string::npos) << "the row's amounts carry the yen sign";
}

TEST_F(BatchCommands, ABrokenOrderIsOneLineAndWritesNothing) {
    PutFileBytes("broken.SAV", "割引券:0\r\n013,0000,156,0,a\r\n913,0000,156,0,b\r\n");
    std::filesystem::create_directory("none");
    EXPECT_EQ(Run({"statements", "broken.SAV", "--out", "none"}), 1);
    EXPECT_EQ(err.str(), U8(u8"kalvoro statements: broken.SAV:3: 本の種類が０から４ではありません。\n"));
    EXPECT_TRUE(std::filesystem::is_empty("none"));
    EXPECT_EQ(Run({"totals", "missing.SAV"}), 1);
    EXPECT_EQ(err.str(), U8(u8"kalvoro totals: missing.SAV: ファイルまたはフォルダが見つかりません。\n"));
    EXPECT_EQ(out.str(), "");
    PutFileBytes("README.md", "# Kalvoro\n");
    EXPECT_EQ(Run({"totals", "README.md"}), 1);
    EXPECT_EQ(err.str(), U8(u8"kalvoro totals: README.md:1: 申込みデータのファイルではありません（「割引券」で始まる行がありません）。\n"));
    EXPECT_EQ(out.str(), "");
}

TEST_F(BatchCommands, CommandLinesItDoesNotUnderstand) {
    EXPECT_EQ(Run({"totals"}), 2);
    EXPECT_EQ(Run({"statements", "order.SAV"}), 2);  // --out is required
    EXPECT_EQ(Run({"totals", "order.SAV", "--out", "x"}), 2);
    EXPECT_EQ(Run({"totals", "order.SAV", "--extra"}), 2);
}

TEST_F(BatchCommands, AFolderGivenForTheOrderIsNamedAsAFolder) {
    std::filesystem::create_directory("orders");
    const std::vector<std::vector<std::string>> calls = {
        {"totals", "orders"}, {"statements", "orders", "--out", "orders"}, {"estimate", "orders"}};
    for (const auto& call : calls) {
        EXPECT_EQ(Run(call), 1) << call[0];
        EXPECT_EQ(err.str(), "kalvoro " + call[0] + ": orders: is a folder, not an order file\n");
    }
    EXPECT_TRUE(std::filesystem::is_empty("orders"));
}

// A figure is a number however it begins; only a text is kept from being read as a formula.
TEST(CsvTable, FiguresAreNeverTakenForFormulas) {
    std::ostringstream row;
    WriteCsvRow(row, {"-5", "", "a-b"}, {"-500", "+1", "0"});
    EXPECT_EQ(row.str(), "\"'-5\",,a-b,-500,+1,0\r\n");
}

// The last day that exists and the first that does not, at each edge of the calendar.
struct TodayCase {
    const char* given;
    const char* priced;  // the day the order is priced for; none when the day is refused
};

class BatchToday : public BatchCommands, public testing::WithParamInterface<TodayCase> {};

TEST_P(BatchToday, OnlyADayOfTheCalendarIsTaken) {
    const std::string given = GetParam().given;
    const int status = Run({"totals", "order.SAV", "--today", given});
    if (GetParam().priced) {
        ASSERT_EQ(status, 0) << err.str();
        EXPECT_EQ(TODAY_DATE, Text(GetParam().priced));
        EXPECT_EQ(err.str(), "");
    } else {
        EXPECT_EQ(status, 2);
        EXPECT_EQ(err.str(), "kalvoro totals: --today " + given + ": not a date of the calendar (YYYY-MM-DD)\n");
        EXPECT_EQ(out.str(), "");
    }
}

INSTANTIATE_TEST_SUITE_P(
    BatchDates, BatchToday,
    testing::Values(TodayCase{"2026-02-28", "2026/02/28"}, TodayCase{"2026-02-29", nullptr},
                    TodayCase{"2028-02-29", "2028/02/29"}, TodayCase{"2100-02-29", nullptr},
                    TodayCase{"2000-02-29", "2000/02/29"}, TodayCase{"2026-04-30", "2026/04/30"},
                    TodayCase{"2026-04-31", nullptr}, TodayCase{"2024-04-30", "2024/04/30"},
                    TodayCase{"2024-04-31", nullptr}, TodayCase{"2024-02-30", nullptr},
                    TodayCase{"2026-12-31", "2026/12/31"}, TodayCase{"2026-13-01", nullptr},
                    TodayCase{"2026-00-10", nullptr}, TodayCase{"2026-01-00", nullptr},
                    TodayCase{"2026-01-31", "2026/01/31"}, TodayCase{"2026-01-32", nullptr},
                    TodayCase{"0000-01-01", nullptr}, TodayCase{"2026-1-7", "2026/01/07"},
                    TodayCase{"2026-01-07x", nullptr}, TodayCase{" 2026-01-07", nullptr},
                    TodayCase{"+2026-01-07", nullptr}, TodayCase{"2024-01-011", nullptr},
                    TodayCase{"20240-01-01", nullptr}));

}  // namespace
