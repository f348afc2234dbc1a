// Order files as they reach the shop after a mail program, a webmail or an editor has handled
// them: each reads as the order it was saved as, through the reader, a drop and `kalvoro totals`,
// or is refused with its line and reason, never priced as another order.
#include <gtest/gtest.h>

#include <filesystem>
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
const std::string kOneTitle = "割引券:0\r\n030,0000,400,0,本\r\n";
const std::string kNotAnOrder = "申込みデータのファイルではありません（「割引券」で始まる行がありません）。";
const std::string kMixed = "行の終わりにCR LFとLFだけのものが混ざっていて、この行を正しく読み取れません。";

std::string Replaced(std::string s, const std::string& from, const std::string& to, size_t at = 0) {
    for (at = s.find(from, at); at != std::string::npos; at = s.find(from, at + to.size())) s.replace(at, from.size(), to);
    return s;
}
std::string Lf(const std::string& s, size_t from = 0) { return Replaced(s, "\r\n", "\n", from); }
std::string Utf8(const std::string& s) { return *rt::SjisToUtf8(s); }

struct Travelled {
    const char* name;
    std::string bytes;  // as it arrived; empty for a folder
    std::string saved;  // as it was saved, the order it must give; empty when refused with `reason`
    int line = 0;
    std::string reason = {};
};

class TravellingOrder : public testing::TestWithParam<Travelled> {
protected:
    void SetUp() override {
        ResetOrderModel();
        rt::SetRoutineTable(ApplicationRoutines());
    }
    void TearDown() override { unsetenv("KALVORO_TODAY"); }
    // What `kalvoro totals` prints, its status, and what it says on standard error.
    static std::string Totals(const std::string& file, std::string& err) {
        std::ostringstream out, errors;
        const int status = RunBatchCommand({"totals", file, "--today", "2026-12-07"}, out, errors);
        err = errors.str();
        return std::to_string(status) + "\n" + out.str();
    }
};

TEST_P(TravellingOrder, ReadsAsTheSavedOrderOrIsRefusedWithItsLine) {
    const Travelled& t = GetParam();
    const std::string file = std::string(t.name) + ".SAV";
    t.bytes.empty() ? (void)std::filesystem::create_directory(file) : PutFileBytes(file, t.bytes);
    const OrderFileRead read = ReadOrderFile(file);
    std::string err, savedErr;
    const std::string figures = Totals(file, err);
    if (t.saved.empty()) {
        ASSERT_FALSE(read.content);
        EXPECT_EQ(read.problem.line, t.line);
        EXPECT_EQ(read.problem.reason, Text(t.reason));
        EXPECT_EQ(figures, "1\n");
        EXPECT_EQ(err, "kalvoro totals: " + file + (t.line > 0 ? ":" + std::to_string(t.line) : "") + ": " +
                           (t.bytes.empty() ? "is a folder, not an order file" : Utf8(t.reason)) + "\n");
        return;
    }
    ASSERT_TRUE(read.content) << read.problem.line << ": " << Utf8(read.problem.reason.bytes());
    EXPECT_TRUE(StartsLikeOrderFile(t.bytes.substr(0, kOrderFileStartBytes))) << "a drop takes it";
    TakeOverOrder(*read.content);
    EXPECT_EQ(OrderFileBytes(), t.saved);
    PutFileBytes("saved.SAV", t.saved);
    EXPECT_EQ(figures, Totals("saved.SAV", savedErr));
    EXPECT_EQ(err, read.fromUtf8 ? "kalvoro: " + file + ": read as UTF-8 and converted to Shift-JIS\n" : "");
    EXPECT_EQ(read.fromUtf8, std::string_view(t.name).starts_with("Utf8"));
}

INSTANTIATE_TEST_SUITE_P(
    Files, TravellingOrder,
    testing::Values(
        Travelled{"CrLf", kSaved, kSaved}, Travelled{"Lf", Lf(kSaved), kSaved},
        // The first lines as saved, the rest after an editor: the titles after the first LF count.
        Travelled{"Mixed", Lf(kSaved, kSaved.find("030")), kSaved},
        Travelled{"CrAlone", Replaced(kSaved, "\r\n", "\r"), kSaved},
        Travelled{"LfNoLastLineEnd", Lf(kSaved).substr(0, Lf(kSaved).size() - 1), kSaved},
        Travelled{"Utf8", Utf8(kSaved), kSaved}, Travelled{"Utf8MarkLf", "\xEF\xBB\xBF" + Lf(Utf8(kSaved)), kSaved},
        // The older count lines: the count is the number after the colon, half-width blanks around it.
        Travelled{"FullWidthColon", Replaced(kSaved, ":", "："), kSaved},
        Travelled{"BlanksAroundColon", Lf(Replaced(kSaved, ":", "  :  ")), kSaved},
        Travelled{"FullWidthBlank", Replaced(kSaved, ":", "　:"), "", 1, kNotAnOrder},
        Travelled{"ACustomersNote", "お客様氏名:山田\r\n割引券番号：2612310035\r\n", "", 2, kNotAnOrder},
        Travelled{"NoCouponLine", "030,0000,400,0,本\n", "", 1, kNotAnOrder},
        // LF alone only within: read as the program's own, the titles after it would be lost.
        Travelled{"LfWithin", Replaced(kSaved, "テスト本\r\n", "テスト本\n"), "", 3, kMixed},
        // In a coupon, as older versions wrote one: its own unless the LF as a line end also
        // gives an order (here one comic and one doujinshi, not two comics).
        Travelled{"OldLfCoupon", Replaced(kSaved, "2612310035", "26\n12310035"),
                  Replaced(kSaved, "2612310035", "\"26\n12310035\"")},
        Travelled{"LfBetweenCoupons", "割引券:2\r\nC1\nC2\r\n130,0000,400,0,上,下\r\n030,0000,400,0,本\r\n", "", 2, kMixed},
        Travelled{"BrokenLfLine", Lf(Replaced(kSaved, "0,二冊目", "二冊目")), "", 4, "欄が５つそろっていません。"},
        Travelled{"LfCouponsCut", "割引券:2\n2612310035\n", "", 3, "ファイルが途中で終わっています。"},
        // What a second conversion leaves, and an editor's empty lines at the end.
        Travelled{"CrCrLf", Replaced(kSaved, "\r\n", "\r\r\n"), kSaved},
        Travelled{"EmptyLinesAtEnd", kSaved + "\r\n\r\n", kSaved}, Travelled{"LfEmptyLineAtEnd", Lf(kSaved) + "\n", kSaved},
        Travelled{"EmptyLineAmongTitles", Replaced(kSaved, "テスト本\r\n", "テスト本\r\r\n"), "", 4,
                  "空の行です（行の終わりが二つ続いています）。タイトルの行の間に空の行は置けません。"},
        Travelled{"MarkThenShiftJis", "\xEF\xBB\xBF" + kSaved, "", 1,
                  "ファイルはUTF-8の印（BOM）で始まっていますが、この行はUTF-8として正しくありません。"},
        Travelled{"Utf8Unheld", Utf8(kOneTitle) + "030,0000,400,0,\xF0\x9F\x93\x9A" + Utf8("の本\n"), "", 3,
                  "タイトル「？の本」に、このプログラムで使えない文字（「？」の所）があります。"},
        Travelled{"AFolder", "", "", 0, "ファイルではなく、フォルダです。"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
