// A day's orders in one run: the command lines the shop gives, with what each prints, writes and
// ends with; and every order priced as the program started for it alone prices it.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <tuple>
#include <filesystem>
#include <random>
#include <sstream>

#include "app/batch/batch_commands.h"
#include "app/fee/order_model.h"
#include "app/screens/main_routine.h"
#include "runtime/values/text.h"
#include "runtime/window/window.h"
#include "tests/batch/batch_run.h"
#include "tests/support/file_bytes.h"

namespace {

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

// What the program prints on standard output when started in a process of its own, after
// `before` (a change of its environment); with `errors`, what it says on standard error too.
std::string OwnProcess(const std::vector<std::string>& args, const std::string& before = "", bool errors = false) {
    std::string command = before + " '" + KALVORO_PROGRAM + "'", printed;
    for (const std::string& arg : args) command += " '" + arg + "'";
    FILE* pipe = popen((command + (errors ? " 2>&1" : " 2>/dev/null")).c_str(), "r");
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
const std::string kHeader =
    "FILE,KIND_SUBTOTAL0,KIND_SUBTOTAL1,KIND_SUBTOTAL2,KIND_SUBTOTAL3,KIND_SUBTOTAL4,TITLE_COUNT0,TITLE_COUNT1,"
    "TITLE_COUNT2,TITLE_COUNT3,TITLE_COUNT4,WORK_FEE,MEDIA_FEE,RETURN_SHIPPING,SUBTOTAL,COUPON_DISCOUNT,"
    "SPECIAL_DISCOUNT,BOX_DISCOUNT,DISCOUNT_TOTAL,COMPENSATION_TOTAL,GRAND_TOTAL\r\n";
// The figures of order.SAV and b.SAV on 2026-12-07, after their FILE field.
const std::string kOrderFigures = ",2400,0,0,0,1400,2,0,0,0,1,3800,100,0,3900,500,0,0,500,0,3400\r\n";
const std::string kBFigures = ",1500,0,0,0,0,1,0,0,0,0,1500,50,0,1550,0,0,0,0,0,1550\r\n";
const std::string kNotUtf8 = "\x82\xA0.SAV";  // あ.SAV in Shift-JIS
const std::string kNotUtf8Shown = U8(u8"\uFFFD\uFFFD.SAV");

// What a command line must print: "named:F" F's block, as the program alone prints it for F,
// after a line naming F (and an empty line unless it opens the output); anything else as it
// stands.
struct CallCase {
    const char* name;
    std::vector<std::string> args;
    int status;
    std::vector<std::string> printed;
    std::string errors;
    std::vector<std::string> written = {};  // files the run must write; none written otherwise
    int fullAfter = -1;  // standard output takes only the first so many of the printed items
};

// Standard output on a disk that is full after `room` bytes.
class FillingDisk : public std::streambuf {
public:
    explicit FillingDisk(size_t room) : room_(room) {}
    std::string taken;

protected:
    std::streamsize xsputn(const char* s, std::streamsize n) override {
        const size_t fits = std::min(static_cast<size_t>(n), room_ - taken.size());
        taken.append(s, fits);
        if (fits < static_cast<size_t>(n)) errno = ENOSPC;
        return static_cast<std::streamsize>(fits);
    }
    int_type overflow(int_type c) override {
        const char byte = static_cast<char>(c);
        return xsputn(&byte, 1) == 1 ? c : traits_type::eof();
    }

private:
    size_t room_;
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
        for (const std::string& name : {U8(u8"café.SAV"), U8(u8"한국어.SAV"), kNotUtf8})
            PutFileBytes(name, FileBytes("b.SAV"));
        for (const char* name : {"=1+2.SAV", "-x.SAV", "+x.SAV", "@x.SAV", "\tx.SAV", "'x.SAV", "x=1.SAV"})
            PutFileBytes(name, FileBytes("b.SAV"));
        // A video named by mistake: a sparse file of 100 GB, which takes no room on the disk.
        PutFileBytes("huge.SAV", FileBytes("b.SAV"));
        std::filesystem::resize_file("huge.SAV", std::uintmax_t{100} << 30);
    }
};

TEST_P(DayRun, StatusPrintedAndWritten) {
    const CallCase& c = GetParam();
    std::string expected, room;
    for (size_t i = 0; i < c.printed.size(); ++i) {
        const std::string& item = c.printed[i];
        const std::string file = item.substr(item.find(':') + 1);
        if (item.starts_with("named:"))
            expected += (expected.empty() ? "==> " : "\n==> ") + file + " <==\n" + OwnProcess({"totals", kToday, file});
        else
            expected += item;
        if (static_cast<int>(i) + 1 == c.fullAfter) room = expected;
    }
    if (c.fullAfter < 0) {
        EXPECT_EQ(Run(c.args), c.status) << err.str();
        EXPECT_EQ(out.str(), expected);
    } else {
        FillingDisk disk(room.size());
        std::ostream full(&disk);
        err.str("");
        EXPECT_EQ(RunBatchCommand(c.args, full, err), c.status) << err.str();
        EXPECT_EQ(disk.taken, room);
    }
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
                 {kHeader, "order.SAV" + kOrderFigures, "b.SAV" + kBFigures, "b.SAV" + kBFigures},
                 "kalvoro totals: " + kBroken + "kalvoro totals: " + kMissing +
                     "kalvoro totals: orders: is a folder, not an order file\n"},
        CallCase{"AHugeFileRefusedUnread", {"totals", "--csv", kToday, "order.SAV", "huge.SAV", "b.SAV"}, 1,
                 {kHeader, "order.SAV" + kOrderFigures, "b.SAV" + kBFigures},
                 U8(u8"kalvoro totals: huge.SAV: ファイルが大きすぎます。\n")},
        CallCase{"NamesAsGiven", {"totals", "--csv", kToday, U8(u8"café.SAV"), U8(u8"한국어.SAV"), kNotUtf8, "\x82missing.SAV"}, 1,
                 {kHeader, U8(u8"café.SAV") + kBFigures, U8(u8"한국어.SAV") + kBFigures, kNotUtf8Shown + kBFigures},
                 U8(u8"kalvoro totals: \uFFFD") + kMissing},
        CallCase{"StatementsInFoldersOfAnyName", {"statements", "--out", "out", U8(u8"한국어.SAV"), kNotUtf8}, 0, {}, "",
                 {U8(u8"out/한국어/明細書.TXT"), "out/\x82\xA0/" + U8(u8"見積書.TXT")}},
        CallCase{"AFullDiskKeepsTheRowsWritten", {"totals", "--csv", kToday, "order.SAV", "b.SAV", "order.SAV", "missing.SAV"}, 1,
                 {kHeader, "order.SAV" + kOrderFigures, "b.SAV" + kBFigures},
                 U8(u8"kalvoro totals: standard output: ディスクがいっぱいです。\n"), {}, 2},
        CallCase{"AFullDiskAfterABlock", {"totals", kToday, "order.SAV", "b.SAV"}, 1, {"named:order.SAV", "named:b.SAV"},
                 U8(u8"kalvoro totals: standard output: ディスクがいっぱいです。\n"), {}, 1},
        CallCase{"OnlyBadOrders", {"totals", "broken.SAV", "missing.SAV"}, 1, {},
                 "kalvoro totals: " + kBroken + "kalvoro totals: " + kMissing},
        CallCase{"AFileNameQuoted", {"totals", "--csv", kToday, "a,\"q\".SAV"}, 0,
                 {kHeader, "\"a,\"\"q\"\".SAV\"" + kOrderFigures}, ""},
        CallCase{"FormulaLookingNamesDisarmed",
                 {"totals", "--csv", kToday, "--", "=1+2.SAV", "-x.SAV", "+x.SAV", "@x.SAV", "\tx.SAV", "'x.SAV", "x=1.SAV"}, 0,
                 {kHeader, "\"'=1+2.SAV\"" + kBFigures, "\"'-x.SAV\"" + kBFigures, "\"'+x.SAV\"" + kBFigures,
                  "\"'@x.SAV\"" + kBFigures, "\"'\tx.SAV\"" + kBFigures, "'x.SAV" + kBFigures, "x=1.SAV" + kBFigures},
                 ""},
        CallCase{"AByteOrderMarkBeforeTheTable", {"totals", "--csv", "--bom", kToday, "b.SAV"}, 0,
                 {"\xEF\xBB\xBF" + kHeader, "b.SAV" + kBFigures}, ""},
        CallCase{"AByteOrderMarkOnlyForTheTable", {"totals", "--bom", kToday, "b.SAV"}, 2, {},
                 "kalvoro totals: --bom requires --csv (see kalvoro totals --help)\n"},
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

// Without --today every order is priced for the day KALVORO_TODAY names, else the clock's, as if
// that day were given, and nothing is said about it.
TEST_F(DayRun, WithoutTodayTheDayOfKalvoroTodayOrOfTheClock) {
    std::string clock = TodayText().bytes();
    clock[4] = clock[7] = '-';
    for (const auto& [environment, day] : {std::pair<std::string, std::string>{"KALVORO_TODAY=2027-01-31", "2027-01-31"},
                                           {"env -u KALVORO_TODAY", clock}})
        EXPECT_EQ(OwnProcess({"totals", "--csv", "order.SAV", "b.SAV", "order.SAV"}, environment, true),
                  OwnProcess({"totals", "--csv", "--today=" + day, "order.SAV", "b.SAV", "order.SAV"}, "", true));
}

// Standard output on a full disk, or a pipe whose reader has gone (the signal that would end the
// program unheard left as it is by default), in a process of its own; no order after it is tried.
TEST_F(DayRun, OutputThatCannotBeWrittenFailsTheRun) {
    int ends[2];
    ASSERT_EQ(pipe(ends), 0);
    close(ends[0]);
    const std::string full = U8(u8"ディスクがいっぱいです。"), gone = "the program reading it has ended; nothing more written";
    for (const auto& [args, output, reason] : {std::tuple<std::string, std::string, std::string>{
                                                   "totals --csv " + kToday + " order.SAV b.SAV missing.SAV", "/dev/full", full},
                                               {"totals " + kToday + " order.SAV", "/dev/full", full},
                                               {"estimate " + kToday + " order.SAV b.SAV", "&" + std::to_string(ends[1]), gone},
                                               {"totals --csv " + kToday + " b.SAV", "&" + std::to_string(ends[1]), gone}}) {
        const int status = std::system(("'" KALVORO_PROGRAM "' " + args + " >" + output + " 2>errors.txt").c_str());
        EXPECT_EQ(WEXITSTATUS(status), 1) << args << " > " << output;
        EXPECT_EQ(FileBytes("errors.txt"), "kalvoro " + args.substr(0, args.find(' ')) + ": standard output: " + reason + "\n");
    }
    close(ends[1]);
}

}  // namespace
