// Order files as they reach the shop after a mail program, a webmail or an editor has handled
// them: each reads as the order it was saved as, through the reader, a drop and `kalvoro totals`,
// or is refused with its line and reason, never priced as another order.
#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <sstream>

#include "app/batch/batch_commands.h"
#include "app/fee/order_model.h"
#include "app/files/order_file.h"
#include "app/screens/main_routine.h"
#include "runtime/values/encoding.h"
#include "runtime/window/window.h"
#include "tests/support/file_bytes.h"

namespace {

// Three comics and a coupon, as the program saves them.
const std::string kSaved = "割引券:1\r\n2612310035\r\n030,0000,400,0,テスト本\r\n030,0000,400,0,二冊目\r\n030,0001,156,0,三冊目\r\n";

std::string Replaced(std::string s, const std::string& from, const std::string& to, size_t from_at = 0) {
    for (size_t at = s.find(from, from_at); at != std::string::npos; at = s.find(from, at + to.size()))
        s.replace(at, from.size(), to);
    return s;
}
std::string Lf(const std::string& s, size_t from_at = 0) { return Replaced(s, "\r\n", "\n", from_at); }
std::string Utf8(const std::string& s) { return *rt::SjisToUtf8(s); }

struct Travelled {
    const char* name;
    std::string bytes;    // the file as it arrived; empty for a folder of that name
    std::string saved;    // the file as it was saved, whose order it must give; empty when refused
    int line = 0;         // when refused: the line named, and the reason
    std::string reason;
    bool fromUtf8 = false;
};

class TravellingOrder : public testing::TestWithParam<Travelled> {
protected:
    void SetUp() override {
        ResetOrderModelForTests();
        rt::SetRoutineTable(ApplicationRoutines());
    }
    void TearDown() override { unsetenv("KALVORO_TODAY"); }
    // The figures `kalvoro totals` prints for the file, or the line it gives on standard error.
    std::pair<int, std::string> Totals(const std::string& name, std::string& err) {
        std::ostringstream out, errors;
        testing::internal::CaptureStderr();
        const int status = RunBatchCommand({"totals", name, "--today", "2026-12-07"}, out, errors);
        err = errors.str() + testing::internal::GetCapturedStderr();
        return {status, out.str()};
    }
};

bool SameOrder(const OrderFileContent& a, const OrderFileContent& b) {
    if (a.coupons != b.coupons || a.titles.size() != b.titles.size()) return false;
    for (size_t i = 0; i < a.titles.size(); ++i) {
        const OrderFileTitle &x = a.titles[i], &y = b.titles[i];
        if (x.name != y.name || x.kind != y.kind || x.bookType != y.bookType || x.course != y.course ||
            x.compensate != y.compensate || x.trim != y.trim || x.dpi != y.dpi || x.gift != y.gift)
            return false;
    }
    return true;
}

TEST_P(TravellingOrder, ReadsAsTheSavedOrderOrIsRefusedWithItsLine) {
    const Travelled& t = GetParam();
    const std::string file = std::string(t.name) + ".SAV";
    if (t.bytes.empty()) {
        std::filesystem::create_directory(file);
    } else {
        PutFileBytes(file, t.bytes);
    }
    const OrderFileRead read = ReadOrderFile(file);
    std::string err;
    const auto [status, figures] = Totals(file, err);
    if (t.saved.empty()) {
        ASSERT_FALSE(read.content);
        EXPECT_EQ(read.problem.line, t.line);
        EXPECT_EQ(read.problem.reason, Text(t.reason));
        EXPECT_EQ(status, 1);
        EXPECT_EQ(figures, "");
        const std::string line = t.line > 0 ? ":" + std::to_string(t.line) : "";
        // Whoever names a folder is told it is one, in the terminal's words.
        const std::string reason = t.bytes.empty() ? "is a folder, not an order file" : Utf8(t.reason);
        EXPECT_EQ(err, "kalvoro totals: " + file + line + ": " + reason + "\n");
        return;
    }
    ASSERT_TRUE(read.content) << read.problem.line << ": " << Utf8(read.problem.reason.bytes());
    EXPECT_EQ(read.fromUtf8, t.fromUtf8);
    // A drop on the main screen takes it for an order file too.
    EXPECT_TRUE(StartsLikeOrderFile(t.bytes.substr(0, kOrderFileStartBytes)));

    const OrderFileRead original = ParseOrderFile(t.saved);
    ASSERT_TRUE(original.content);
    EXPECT_TRUE(SameOrder(*read.content, *original.content));
    PutFileBytes("saved.SAV", t.saved);
    std::string savedErr;
    const auto [savedStatus, savedFigures] = Totals("saved.SAV", savedErr);
    ASSERT_EQ(savedStatus, 0);
    EXPECT_EQ(status, 0) << err;
    EXPECT_EQ(figures, savedFigures);
    EXPECT_EQ(err, t.fromUtf8 ? "kalvoro: " + file + ": read as UTF-8 and converted to Shift-JIS\n" : "");
}

const char* const kNotAnOrder = "申込みデータのファイルではありません（「割引券」で始まる行がありません）。";

INSTANTIATE_TEST_SUITE_P(
    Files, TravellingOrder,
    testing::Values(
        Travelled{"CrLf", kSaved, kSaved},
        Travelled{"Lf", Lf(kSaved), kSaved},
        // The first lines as saved, the rest after an editor: the titles after the first LF count.
        Travelled{"Mixed", Lf(kSaved, kSaved.find("030")), kSaved},
        Travelled{"CrAlone", Replaced(kSaved, "\r\n", "\r"), kSaved},
        Travelled{"LfWithoutTheLastLineEnd", Lf(kSaved).substr(0, Lf(kSaved).size() - 1), kSaved},
        Travelled{"Utf8", Utf8(kSaved), kSaved, 0, "", true},
        Travelled{"Utf8WithTheMarkAndLf", "\xEF\xBB\xBF" + Lf(Utf8(kSaved)), kSaved, 0, "", true},
        // The older prefixes: the count is read from the eighth byte, as it always was.
        Travelled{"FullWidthColon", "割引券：0\r\n030,0000,400,0,本\r\n", "割引券:0\r\n030,0000,400,0,本\r\n"},
        Travelled{"BlankBeforeTheColon", "割引券 :0\n030,0000,400,0,本\n", "割引券:0\r\n030,0000,400,0,本\r\n"},
        Travelled{"NoCouponLine", "030,0000,400,0,本\n", "", 1, kNotAnOrder},
        Travelled{"BrokenLineInAnLfFile", Lf(Replaced(kSaved, "0,二冊目", "二冊目")), "", 4, "欄が５つそろっていません。"},
        Travelled{"Utf8WithACharacterShiftJisLacks",
                  Utf8("割引券:0\n030,0000,400,0,本\n") + "030,0000,400,0,\xF0\x9F\x93\x9A" + Utf8("の本\n"), "", 3,
                  "タイトル「？の本」に、このプログラムで使えない文字（「？」の所）があります。"},
        Travelled{"AFolder", "", "", 0, "ファイルではなく、フォルダです。"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
