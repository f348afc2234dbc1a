// A day's orders in one run: the command lines the shop gives, with what each prints, writes and
// ends with; and every order priced as if alone, whatever orders came before it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <map>
#include <random>
#include <sstream>

#include "app/batch/batch_commands.h"
#include "app/fee/order_model.h"
#include "app/screens/main_routine.h"
#include "runtime/window/window.h"
#include "tests/support/file_bytes.h"

namespace {

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

class DayRun : public testing::Test {
protected:
    void SetUp() override {
        ResetOrderModelForTests();
        rt::SetRoutineTable(ApplicationRoutines());
        PutFileBytes("order.SAV",
                     "割引券:1\r\n2612310035\r\n013,0001,156,0,本一\r\n011,0000,156,0,本二\r\n403,0000,156,0,写真\r\n");
        PutFileBytes("b.SAV", "割引券:0\r\n012,1000,200,1,別の本\r\n");
        PutFileBytes("broken.SAV", "割引券:0\r\n013,0000,156,0,a\r\n913,0000,156,0,b\r\n");
        PutFileBytes("a,\"q\".SAV", FileBytes("order.SAV"));
        std::filesystem::create_directories("sub");
        std::filesystem::create_directories("orders");
        std::filesystem::create_directories("out");
        PutFileBytes("sub/order.TXT", FileBytes("b.SAV"));
    }
    void TearDown() override { unsetenv("KALVORO_TODAY"); }
    int Run(std::vector<std::string> args) {
        out.str("");
        err.str("");
        return RunBatchCommand(args, out, err);
    }
    // The figures of one order alone, as NAME=VALUE lines, split.
    std::vector<std::pair<std::string, std::string>> Alone(const std::string& order) {
        EXPECT_EQ(Run({"totals", "--today", "2026-12-07", order}), 0) << err.str();
        std::vector<std::pair<std::string, std::string>> figures;
        std::istringstream lines(out.str());
        for (std::string line; std::getline(lines, line);)
            figures.emplace_back(line.substr(0, line.find('=')), line.substr(line.find('=') + 1));
        return figures;
    }
    std::ostringstream out, err;
};

// What a command line must print: "block:F" the NAME=VALUE block of F alone, "head:F" the line
// naming F before its block (a blank line first unless it opens the output), "header" the table's
// header, "row:F" or "row:F|CELL" the table's row of F alone (CELL its FILE field when quoted).
struct CallCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> printed;
    std::string errors;
    std::vector<std::string> written = {};  // files that must exist after the run
};

void PrintTo(const CallCase& c, std::ostream* os) { *os << c.name; }

class DayRunCalls : public DayRun, public testing::WithParamInterface<CallCase> {
protected:
    std::string Expected(const std::vector<std::string>& printed) {
        std::string expected;
        for (const std::string& item : printed) {
            const std::string what = item.substr(0, item.find(':')), file = item.substr(item.find(':') + 1);
            if (what == "head") {
                expected += (expected.empty() ? "" : "\n") + ("==> " + file + " <==\n");
            } else if (what == "block") {
                for (const auto& [name, value] : Alone(file)) expected += name + "=" + value + "\n";
            } else if (what == "header") {
                expected += "FILE";
                for (const auto& figure : Alone("order.SAV")) expected += "," + figure.first;
                expected += "\r\n";
            } else {
                const size_t bar = file.find('|');
                expected += bar == std::string::npos ? file : file.substr(bar + 1);
                for (const auto& figure : Alone(file.substr(0, bar))) expected += "," + figure.second;
                expected += "\r\n";
            }
        }
        return expected;
    }
};

TEST_P(DayRunCalls, StatusPrintedAndWritten) {
    const CallCase& c = GetParam();
    const std::string expected = Expected(c.printed);
    ResetOrderModelForTests();
    EXPECT_EQ(Run(c.args), c.status) << err.str();
    EXPECT_EQ(out.str(), expected);
    EXPECT_EQ(err.str(), c.errors);
    for (const std::string& file : c.written) EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
    if (c.written.empty()) {
        EXPECT_TRUE(std::filesystem::is_empty("out"));
    }
}

const std::string kBroken = U8(u8"broken.SAV:3: 本の種類が０から４ではありません。");
const std::string kMissing = U8(u8"missing.SAV: ファイルまたはフォルダが見つかりません。");
const std::string kToday = "--today=2026-12-07";

INSTANTIATE_TEST_SUITE_P(
    ShopCommandLines, DayRunCalls,
    testing::Values(
        CallCase{"OneOrderAsEver", {"totals", kToday, "order.SAV"}, 0, {"block:order.SAV"}, ""},
        CallCase{"OneOrderAsATable", {"totals", "--csv", kToday, "order.SAV"}, 0, {"header", "row:order.SAV"}, ""},
        CallCase{"TwoOrdersNamedBlocks",
                 {"totals", kToday, "order.SAV", "b.SAV"},
                 0,
                 {"head:order.SAV", "block:order.SAV", "head:b.SAV", "block:b.SAV"},
                 ""},
        CallCase{"BadOrdersNamedAndSkipped",
                 {"totals", "--csv", "broken.SAV", kToday, "order.SAV", "missing.SAV", "orders", "b.SAV"},
                 1,
                 {"header", "row:order.SAV", "row:b.SAV"},
                 "kalvoro totals: " + kBroken + "\nkalvoro totals: " + kMissing +
                     "\nkalvoro totals: orders: is a folder, not an order file\n"},
        CallCase{"OnlyBadOrders", {"totals", "broken.SAV", "missing.SAV"}, 1, {},
                 "kalvoro totals: " + kBroken + "\nkalvoro totals: " + kMissing + "\n"},
        CallCase{"AFileNameQuoted", {"totals", "--csv", kToday, "a,\"q\".SAV"}, 0,
                 {"header", "row:a,\"q\".SAV|\"a,\"\"q\"\".SAV\""}, ""},
        CallCase{"SameOrderTwiceTwoRows", {"totals", "--csv", kToday, "b.SAV", "b.SAV"}, 0,
                 {"header", "row:b.SAV", "row:b.SAV"}, ""},
        CallCase{"StatementsOfSeveralOrdersApart",
                 {"statements", "--out", "out", "order.SAV", "b.SAV", "missing.SAV"},
                 1,
                 {},
                 "kalvoro statements: " + kMissing + "\n",
                 {U8(u8"out/order/明細書.TXT"), U8(u8"out/order/見積書.TXT"), U8(u8"out/b/見積書.TXT")}},
        CallCase{"StatementsOfOneOrderAsEver", {"statements", "--out", "out", "b.SAV"}, 0, {}, "",
                 {U8(u8"out/明細書.TXT"), U8(u8"out/見積書.TXT")}},
        CallCase{"StatementsClashRefusedBeforeAnything",
                 {"statements", "--out", "out", "order.SAV", "b.SAV", "sub/order.TXT", "b.SAV"},
                 2,
                 {},
                 "kalvoro statements: order.SAV and sub/order.TXT would both write to out/order; nothing written\n"
                 "kalvoro statements: b.SAV and b.SAV would both write to out/b; nothing written\n"},
        CallCase{"NoOrder", {"totals", "--csv"}, 2, {},
                 "kalvoro totals: ORDER is required (see kalvoro totals --help)\n"},
        CallCase{"CsvIsForTotalsOnly", {"statements", "--csv", "--out", "out", "b.SAV"}, 2, {},
                 "kalvoro statements: The following argument was not expected: --csv (see kalvoro statements --help)\n"},
        CallCase{"ABadDayPricesNothing", {"totals", "--csv", "--today", "2026-02-29", "b.SAV"}, 2, {},
                 "kalvoro totals: --today 2026-02-29: not a date of the calendar (YYYY-MM-DD)\n"}),
    [](const testing::TestParamInfo<CallCase>& info) { return info.param.name; });

TEST_F(DayRun, EachCommandHasItsOwnHelp) {
    for (const char* command : {"totals", "statements", "estimate"}) {
        EXPECT_EQ(Run({command, "--help"}), 0) << command;
        EXPECT_NE(out.str().find(std::string("kalvoro ") + command), std::string::npos) << out.str();
        EXPECT_NE(out.str().find("--today"), std::string::npos) << out.str();
        EXPECT_EQ(out.str().find("--csv") != std::string::npos, std::string(command) == "totals") << out.str();
        EXPECT_EQ(err.str(), "");
    }
}

// Random orders of every kind, with coupons, gifts, compensation and the lines a shop's file may
// start with.
std::string RandomOrder(std::mt19937& random) {
    auto pick = [&random](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    std::string file;
    if (pick(0, 3) == 0) file += "お客様氏名:山田\r\n前受額:" + std::to_string(pick(0, 5000)) + "\r\n";
    const int coupons = pick(0, 10);
    file += "割引券:" + std::to_string(coupons) + "\r\n";
    for (int i = 0; i < coupons; ++i)
        file += pick(0, 9) == 0 ? "9912310342\r\n" : "261231" + std::to_string(pick(10, 99)) + std::to_string(pick(3, 4)) + std::to_string(pick(1, 9)) + "\r\n";
    const int most[kKindCount] = {20, 45, 4, 3, 5};
    for (int k = 0; k < kKindCount; ++k) {
        const int titles = pick(0, 2) == 0 ? pick(0, most[k]) : 0;
        for (int t = 0; t < titles; ++t) {
            file += std::to_string(k) + std::to_string(pick(1, 2)) + std::to_string(pick(1, 3)) + (pick(0, 9) ? "" : "1") + ",";
            for (int f = 0; f < 4; ++f) file += std::to_string(pick(0, 3) == 0);
            file += "," + std::to_string(pick(50, 600)) + "," + std::to_string(pick(0, 1)) + ",t" + std::to_string(t) + "\r\n";
        }
    }
    return file;
}

// The table's rows by FILE, from a run's output.
std::vector<std::pair<std::string, std::string>> Rows(const std::string& table) {
    std::vector<std::pair<std::string, std::string>> rows;
    for (size_t at = table.find("\r\n") + 2, end; (end = table.find("\r\n", at)) != std::string::npos; at = end + 2) {
        const std::string row = table.substr(at, end - at);
        rows.emplace_back(row.substr(0, row.find(',')), row.substr(row.find(',')));
    }
    return rows;
}

// The row of an order priced by a process of its own, as nothing before it could touch it.
std::string RowOfItsOwnProcess(const std::string& order, const std::string& day) {
    const std::string command = std::string("'") + KALVORO_PROGRAM + "' totals --csv --today " + day + " " + order;
    FILE* pipe = popen(command.c_str(), "r");
    std::string table;
    char buf[4096];
    for (size_t n; pipe && (n = fread(buf, 1, sizeof buf, pipe)) > 0;) table.append(buf, n);
    if (pipe) pclose(pipe);
    const auto rows = Rows(table);
    return rows.size() == 1 ? rows[0].second : "no row: " + table;
}

TEST_F(DayRun, EveryOrderIsPricedAsIfAlone) {
    std::mt19937 random(34);
    constexpr int kOrders = 8;
    for (int i = 0; i < kOrders; ++i) PutFileBytes("r" + std::to_string(i) + ".SAV", RandomOrder(random));
    std::map<std::pair<std::string, std::string>, std::string> alone;
    // Days in and out of the special-discount months, the runs alternating between them in one process.
    const char* days[] = {"2026-12-08", "2027-01-15", "2026-05-31", "2026-06-01"};
    for (int sequence = 0; sequence < 8; ++sequence) {
        const std::string day = days[sequence % 4];
        std::vector<std::string> args = {"totals", "--csv", "--today", day};
        for (int n = 0; n < 12; ++n) args.push_back("r" + std::to_string(std::uniform_int_distribution<int>(0, kOrders - 1)(random)) + ".SAV");
        ASSERT_EQ(Run(args), 0) << err.str();
        const auto rows = Rows(out.str());
        ASSERT_EQ(rows.size(), args.size() - 4);
        for (const auto& [order, row] : rows) {
            auto [it, added] = alone.try_emplace({order, day});
            if (added) it->second = RowOfItsOwnProcess(order, day);
            EXPECT_EQ(row, it->second) << order << " on " << day << " in sequence " << sequence;
        }
    }
}

}  // namespace
