#include "runtime/error.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/encoding.h"

namespace {

rt::RuntimeError Catch(int code) {
    try {
        RaiseError(code);
    } catch (const rt::RuntimeError& e) {
        return e;
    }
    return {};
}

TEST(ErrorReport, FirstLineNamesModuleLineAndCode) {
    rt::RuntimeError e;
    const unsigned failingLine = __LINE__ + 2;
    try {
        RaiseError(9);
    } catch (const rt::RuntimeError& caught) {
        e = caught;
    }
    EXPECT_EQ(e.module, "Kalvoro");
    EXPECT_EQ(e.line, failingLine);
    std::string report = rt::ErrorReportText(e);
    std::string head = "\r\nKalvoro [" + std::to_string(e.line) + "行]:エラー[9]";
    EXPECT_EQ(report.substr(0, head.size()), head);
    EXPECT_EQ(report[head.size()], '\n');  // the explanation follows on its own line
    EXPECT_EQ(*rt::SjisToUtf8(report.substr(0, head.size())),
              "\r\nKalvoro [" + std::to_string(e.line) + "\xE8\xA1\x8C]:\xE3\x82\xA8\xE3\x83\xA9\xE3\x83\xBC[9]");
}

TEST(ErrorReport, RecordsTheLastErrorInTheStateFolder) {
    auto dir = std::filesystem::temp_directory_path() / "kalvoro-error-test";
    std::filesystem::remove_all(dir);
    setenv("XDG_STATE_HOME", dir.c_str(), 1);
    rt::RuntimeError e = Catch(11);
    ASSERT_TRUE(rt::RecordLastError(e));
    std::ifstream in(dir / "kalvoro" / "last-error", std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    std::string text = all.str();
    EXPECT_NE(text.find("MODL=Kalvoro\n"), std::string::npos);
    EXPECT_NE(text.find("CODE=11\n"), std::string::npos);
    EXPECT_NE(text.find("LINE=" + std::to_string(e.line) + "\n"), std::string::npos);
    EXPECT_NE(text.find("RTL=V6.30 L10 U002+1\n"), std::string::npos);
    EXPECT_NE(text.find("MODE=\xE7\x8B\xAC\xE7\xAB\x8B\xE5\x9E\x8B\n"), std::string::npos);
    EXPECT_NE(text.find("TIME="), std::string::npos);
    unsetenv("XDG_STATE_HOME");
    std::filesystem::remove_all(dir);
}

TEST(Encoding, RoundTripAndRefusals) {
    std::string sjis = "漢字ｶﾅ\\";
    auto utf8 = rt::SjisToUtf8(sjis);
    ASSERT_TRUE(utf8);
    EXPECT_EQ(rt::Utf8ToSjis(*utf8), sjis);
    EXPECT_FALSE(rt::Utf8ToSjis("\xF0\x9F\x98\x80"));  // an emoji has no Shift-JIS form
    EXPECT_FALSE(rt::SjisToUtf8("\x82"));              // a dangling lead byte
    EXPECT_EQ(rt::SjisToUtf8Lossy("A\x82"), "A\xEF\xBF\xBD");
}

}  // namespace
