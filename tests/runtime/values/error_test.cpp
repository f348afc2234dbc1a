#include "runtime/values/error.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "runtime/values/encoding.h"
#include "tests/support/test_home.h"

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

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

TEST(ErrorReport, RecordsTheLastErrorInTheStateFolder) {
    const char* was = std::getenv("XDG_STATE_HOME");
    ASSERT_NE(was, nullptr);
    const std::string before = was;
    auto dir = std::filesystem::current_path() / "another-state";
    setenv("XDG_STATE_HOME", dir.c_str(), 1);
    rt::RuntimeError e = Catch(11);
    bool recorded = rt::RecordLastError(e);
    setenv("XDG_STATE_HOME", before.c_str(), 1);
    ASSERT_TRUE(recorded);
    std::string text = ReadAll(dir / "kalvoro" / "last-error");
    EXPECT_NE(text.find("MODL=Kalvoro\n"), std::string::npos);
    EXPECT_NE(text.find("CODE=11\n"), std::string::npos);
    EXPECT_NE(text.find("LINE=" + std::to_string(e.line) + "\n"), std::string::npos);
    EXPECT_NE(text.find("RTL=V6.30 L10 U002+1\n"), std::string::npos);
    EXPECT_NE(text.find("MODE=\xE7\x8B\xAC\xE7\xAB\x8B\xE5\x9E\x8B\n"), std::string::npos);
    EXPECT_NE(text.find("TIME="), std::string::npos);
}

// What a file looked like, to tell whether anything wrote to it.
struct Seen {
    bool exists = false;
    std::filesystem::file_time_type written;
    std::string content;
};
Seen Look(const std::filesystem::path& p) {
    std::error_code ec;
    if (p.empty() || !std::filesystem::exists(p, ec)) return {};
    return {true, std::filesystem::last_write_time(p, ec), ReadAll(p)};
}

TEST(ErrorReport, ATestsRuntimeErrorIsRecordedInTheTestsOwnHomeNotTheUsers) {
    std::string realState = testhome::Original("XDG_STATE_HOME");
    if (realState.empty() && !testhome::Original("HOME").empty())
        realState = testhome::Original("HOME") + "/.local/state";
    std::filesystem::path realRecord;
    if (!realState.empty()) realRecord = std::filesystem::path(realState) / "kalvoro" / "last-error";
    std::filesystem::path ownRecord = testhome::Root() / "state" / "kalvoro" / "last-error";
    ASSERT_NE(realRecord, ownRecord);
    Seen before = Look(realRecord);

    rt::SetErrorPresenter([](const std::string&) {});  // the report is not what is tested here
    rt::EndWithRuntimeError(Catch(57));
    rt::SetErrorPresenter({});

    EXPECT_NE(ReadAll(ownRecord).find("CODE=57\n"), std::string::npos) << ownRecord;
    Seen after = Look(realRecord);
    EXPECT_EQ(after.exists, before.exists) << realRecord;
    EXPECT_EQ(after.written, before.written) << realRecord;
    EXPECT_EQ(after.content, before.content) << realRecord;
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
