// A day's orders in one run: the command lines the shop gives, with what each prints, writes and
// ends with; and every order priced as the program started for it alone prices it.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <sstream>

#include "app/batch/batch_commands.h"
#include "app/fee/order_model.h"
#include "app/screens/main_routine.h"
#include "runtime/window/window.h"
#include "tests/batch/batch_run.h"
#include "tests/support/file_bytes.h"

namespace {

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// What the program prints on standard output when started in a process of its own.
std::string OwnProcess(const std::vector<std::string>& args) {
    std::string command = std::string("'") + KALVORO_PROGRAM + "'", printed;
    for (const std::string& arg : args) command += " '" + arg + "'";
    FILE* pipe = popen((command + " 2>/dev/null").c_str(), "r");
    char buf[4096];
    for (size_t n; pipe && (n = fread(buf, 1, sizeof buf, pipe)) > 0;) printed.append(buf, n);
    if (pipe) pclose(pipe);
    return printed;
}

// Line `n` (0-based) of a table, its CR LF included.
std::string TableLine(const std::string& table, int n) {
    size_t at = 0;
    for (int i = 0; i < n && at != std::string::npos; ++i) at = table.find("\r\n", at) + 2;
    return table.substr(at, table.find("\r\n", at) + 2 - at);
}

const std::string kToday = "--today=2026-12-07";

// What a command line must print: "named:F" F's block after a line naming F (and an empty line
// unless it opens the output), "header" the table's header, "row:F" F's row, "row:F|CELL" F's
// figures under another FILE field; each as the program alone prints it.
struct CallCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> printed;
    std::string errors;
    std::vector<std::string> written = {};  // files the run must write; none written otherwise
};

class DayRun : public BatchRun, public testing::WithParamInterface<CallCase> {
protected:
    void SetUp() override {
        BatchRun::SetUp();
        PutFileBytes("order.SAV",
                     "割引券:1\r\n2612310035\r\n013,0001,156,0,本一\r\n011,0000,156,0,本二\r\n403,0000,156,0,写真\r\n");
        PutFileBytes("b.SAV", "割引券:0\r\n012,1000,200,1,別の本\r\n");
        PutFileBytes("broken.SAV", "割引券:0\r\n013,0000,156,0,a\r\n913,0000,156,0,b\r\n");
        PutFileBytes("a,\"q\".SAV", FileBytes("order.SAV"));
        for (const char* folder : {"sub", "orders", "out"}) std::filesystem::create_directory(folder);
        PutFileBytes("sub/order.TXT", FileBytes("b.SAV"));
    }
};

TEST_P(DayRun, StatusPrintedAndWritten) {
    const CallCase& c = GetParam();
    std::string expected;
    for (const std::string& item : c.printed) {
        const std::string what = item.substr(0, item.find(':')), file = item.substr(item.find(':') + 1);
        const std::string order = file.substr(0, file.find('|'));
        if (what == "named")
            expected += (expected.empty() ? "==> " : "\n==> ") + file + " <==\n" + OwnProcess({"totals", kToday, file});
        if (what == "header") expected += TableLine(OwnProcess({"totals", "--csv", "b.SAV"}), 0);
        const std::string row = what == "row" ? TableLine(OwnProcess({"totals", "--csv", kToday, order}), 1) : "";
        expected += order == file ? row : file.substr(file.find('|') + 1) + row.substr(order.size());
    }
    EXPECT_EQ(Run(c.args), c.status) << err.str();
    EXPECT_EQ(out.str(), expected);
    EXPECT_EQ(err.str(), c.errors);
    for (const std::string& file : c.written) EXPECT_TRUE(std::filesystem::is_regular_file(file)) << file;
    EXPECT_TRUE(!c.written.empty() || std::filesystem::is_empty("out")) << "nothing to write, but written";
}

const std::string kBroken = U8(u8"broken.SAV:3: 本の種類が０から４ではありません。\n");
const std::string kMissing = U8(u8"missing.SAV: ファイルまたはフォルダが見つかりません。\n");

INSTANTIATE_TEST_SUITE_P(
    ShopCommandLines, DayRun,
    testing::Values(
        CallCase{"TwoOrdersNamedBlocks", {"totals", kToday, "order.SAV", "b.SAV"}, 0, {"named:order.SAV", "named:b.SAV"}, ""},
        CallCase{"BadOrdersNamedAndSkipped",
                 {"totals", "--csv", "broken.SAV", kToday, "order.SAV", "missing.SAV", "orders", "b.SAV", "b.SAV"}, 1,
                 {"header", "row:order.SAV", "row:b.SAV", "row:b.SAV"},
                 "kalvoro totals: " + kBroken + "kalvoro totals: " + kMissing +
                     "kalvoro totals: orders: is a folder, not an order file\n"},
        CallCase{"OnlyBadOrders", {"totals", "broken.SAV", "missing.SAV"}, 1, {},
                 "kalvoro totals: " + kBroken + "kalvoro totals: " + kMissing},
        CallCase{"AFileNameQuoted", {"totals", "--csv", kToday, "a,\"q\".SAV"}, 0,
                 {"header", "row:order.SAV|\"a,\"\"q\"\".SAV\""}, ""},
        CallCase{"StatementsOfSeveralOrdersApart", {"statements", "--out", "out", "order.SAV", "b.SAV", "missing.SAV"},
                 1, {}, "kalvoro statements: " + kMissing,
                 {U8(u8"out/order/明細書.TXT"), U8(u8"out/order/見積書.TXT"), U8(u8"out/b/見積書.TXT")}},
        CallCase{"StatementsClashRefusedBeforeAnything",
                 {"statements", "--out", "out", "order.SAV", "b.SAV", "sub/order.TXT", "b.SAV"}, 2, {},
                 "kalvoro statements: order.SAV and sub/order.TXT would both write to out/order; nothing written\n"
                 "kalvoro statements: b.SAV and b.SAV would both write to out/b; nothing written\n"},
        CallCase{"NoOrder", {"totals", "--csv"}, 2, {}, "kalvoro totals: ORDER is required (see kalvoro totals --help)\n"},
        CallCase{"CsvIsForTotalsOnly", {"statements", "--csv", "--out", "out", "b.SAV"}, 2, {},
                 "kalvoro statements: The following argument was not expected: --csv (see kalvoro statements --help)\n"},
        CallCase{"ABadDayPricesNothing", {"totals", "--csv", "--today", "2026-02-29", "b.SAV"}, 2, {},
                 "kalvoro totals: --today 2026-02-29: not a date of the calendar (YYYY-MM-DD)\n"}),
    [](const testing::TestParamInfo<CallCase>& info) { return info.param.name; });

// Random orders of every kind, with coupons (the one that stops the special discount among them),
// gifts, compensation and the customer's lines a shop's file may start with.
std::string RandomOrder(std::mt19937& random) {
    auto pick = [&random](int low, int high) { return std::to_string(std::uniform_int_distribution<int>(low, high)(random)); };
    std::string file = pick(0, 3) == "0" ? "お客様氏名:山田\r\n前受額:" + pick(0, 5000) + "\r\n" : "";
    const std::string coupons = pick(0, 10);
    file += "割引券:" + coupons + "\r\n";
    for (int i = 0; i < std::stoi(coupons); ++i) file += (pick(0, 9) == "0" ? "9912310342" : "261231" + pick(10, 99) + pick(3, 4) + pick(1, 9)) + "\r\n";
    const int most[kKindCount] = {20, 45, 4, 3, 5};
    for (int k = 0; k < kKindCount; ++k) {
        for (int t = 0, titles = pick(0, 2) == "0" ? std::stoi(pick(0, most[k])) : 0; t < titles; ++t) {
            file += std::to_string(k) + pick(1, 2) + pick(1, 3) + (pick(0, 9) == "0" ? "1," : ",");
            for (int f = 0; f < 4; ++f) file += pick(0, 3) == "0" ? "1" : "0";
            file += "," + pick(50, 600) + "," + pick(0, 1) + ",t" + std::to_string(t) + "\r\n";
        }
    }
    return file;
}

// Runs of random sequences alternate between days in and out of the special-discount months, in
// one process; each row must be the one the program started for that order and day alone gives.
TEST_F(DayRun, EveryOrderIsPricedAsIfAlone) {
    std::mt19937 random(34);
    for (int i = 0; i < 8; ++i) PutFileBytes("r" + std::to_string(i) + ".SAV", RandomOrder(random));
    const char* days[] = {"2026-12-08", "2027-01-15", "2026-05-31", "2026-06-01"};
    for (int sequence = 0; sequence < 8; ++sequence) {
        std::vector<std::string> args = {"totals", "--csv", std::string("--today=") + days[sequence % 4]};
        for (int n = 0; n < 12; ++n) args.push_back("r" + std::to_string(random() % 8) + ".SAV");
        ASSERT_EQ(Run(args), 0) << err.str();
        for (size_t n = 3; n < args.size(); ++n) {
            const std::string alone = TableLine(OwnProcess({"totals", "--csv", args[2], args[n]}), 1);
            EXPECT_EQ(TableLine(out.str(), static_cast<int>(n) - 2), alone) << args[n] << " in sequence " << sequence;
        }
    }
}

}  // namespace
