#include "runtime/values/error.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "tests/support/test_home.h"
#include "tests/support/full_disk.h"

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

    rt::SetErrorPresenter([](const rt::ErrorReportTexts&) {});  // the report is not what is tested here
    rt::EndWithRuntimeError(Catch(57));
    rt::SetErrorPresenter({});

    EXPECT_NE(ReadAll(ownRecord).find("CODE=57\n"), std::string::npos) << ownRecord;
    Seen after = Look(realRecord);
    EXPECT_EQ(after.exists, before.exists) << realRecord;
    EXPECT_EQ(after.written, before.written) << realRecord;
    EXPECT_EQ(after.content, before.content) << realRecord;
}

TEST(ErrorReport, TheExplanationUnderTheFirstLineIsKeptByteForByte) {
    rt::RuntimeError e;
    e.code = 11;
    e.module = "Kalvoro";
    e.line = 120;
    EXPECT_EQ(rt::ErrorReportText(e), "\r\nKalvoro [120\x8D\x73]:\x83\x47\x83\x89\x81\x5B[11]\n"
                                      "\x82\x4F\x82\xC5\x8F\x9C\x8E\x5A\x82\xB5\x82\xDC\x82\xB5\x82\xBD");
    e.code = 12345;  // a code we have no explanation for ends with the first line
    EXPECT_EQ(rt::ErrorReportText(e), "\r\nKalvoro [120行]:エラー[12345]");
}

// Every code the program can raise has both texts: a short one in the report and one in the
// customer's words behind Help.
class ErrorTexts : public testing::TestWithParam<int> {};

TEST_P(ErrorTexts, EachRaisedCodeHasItsOwnExplanationAndHelp) {
    rt::RuntimeError e;
    e.code = GetParam();
    const std::string help = rt::ErrorHelpText(e, rt::LastErrorRecord::Written);
    EXPECT_FALSE(rt::ErrorExplanation(e.code).empty());
    EXPECT_EQ(help.rfind("エラー[" + std::to_string(e.code) + "]について\r\n", 0), 0u);
    EXPECT_EQ(help.find("予期しないエラー"), std::string::npos) << "the general text, not the code's own";
    ASSERT_TRUE(rt::SjisToUtf8(help).has_value()) << "Help shows nothing Shift-JIS cannot hold";
}

INSTANTIATE_TEST_SUITE_P(RaisedCodes, ErrorTexts,
                         testing::Values(5, 6, 7, 9, 10, 11, 15, 27, 50, 51, 52, 54, 55, 57, 58, 63, 64, 66, 67, 72,
                                         73, 75, 1000, 1001, 1002, 1012, 1013, 1014, 1016, 1017));

TEST(ErrorHelp, SaysWhatTheCodeMeansAndWhereTheRecordIs) {
    rt::RuntimeError e;
    e.code = 67;
    const std::string help = rt::ErrorHelpText(e, rt::LastErrorRecord::Written);
    EXPECT_NE(help.find("ディスクに空きがありません。"), std::string::npos);
    EXPECT_NE(help.find("「OK」を押すと、プログラムを終了します。"), std::string::npos);
    const std::string record = (testhome::Root() / "state" / "kalvoro" / "last-error").string();
    EXPECT_EQ(rt::LastErrorPath().string(), record);
    EXPECT_EQ(help.substr(help.size() - record.size()), record) << "the path ends the help, on its own line";
    EXPECT_EQ(help.substr(help.size() - record.size() - 2, 2), "\r\n");
}

TEST(ErrorHelp, AnUnknownCodeGetsTheGeneralTextAndAnUnwrittenRecordIsNotNamed) {
    rt::RuntimeError e;
    e.code = 12345;
    const std::string help = rt::ErrorHelpText(e, rt::LastErrorRecord::NotWritten);
    EXPECT_EQ(help.rfind("エラー[12345]について\r\nプログラムの実行中に、予期しないエラーが起きました。", 0), 0u);
    EXPECT_EQ(help.find("last-error"), std::string::npos);
    EXPECT_NE(help.find("エラーの記録はファイルに残せませんでした。"), std::string::npos);
}

TEST(ErrorHelp, TheRecordsFolderFollowsTheStateHomeAndFallsBackToTheHome) {
    const std::string state = std::getenv("XDG_STATE_HOME");
    setenv("XDG_STATE_HOME", "", 1);
    const std::filesystem::path fallback = rt::LastErrorPath();
    unsetenv("XDG_STATE_HOME");
    const std::string home = std::getenv("HOME");
    unsetenv("HOME");
    const std::filesystem::path none = rt::LastErrorPath();
    rt::RuntimeError e;
    e.code = 9;
    const std::string help = rt::ErrorHelpText(e, rt::LastErrorRecord::Written);
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    EXPECT_EQ(fallback, std::filesystem::path(home) / ".local/state/kalvoro/last-error");
    EXPECT_TRUE(none.empty());
    // Nowhere to keep a record: Help does not point to one.
    EXPECT_NE(help.find("エラーの記録はファイルに残せませんでした。"), std::string::npos);
}

TEST(ErrorReport, ThePresenterGetsTheReportAndItsHelp) {
    std::vector<rt::ErrorReportTexts> presented;
    rt::SetErrorPresenter([&](const rt::ErrorReportTexts& texts) { presented.push_back(texts); });
    const rt::RuntimeError e = Catch(63);
    EXPECT_EQ(rt::EndWithRuntimeError(e), 1);
    rt::SetErrorPresenter({});
    ASSERT_EQ(presented.size(), 1u);
    EXPECT_EQ(presented[0].report, rt::ErrorReportText(e));
    EXPECT_EQ(presented[0].help, rt::ErrorHelpText(e, rt::LastErrorRecord::Written));
    EXPECT_NE(presented[0].help.find(rt::LastErrorPath().string()), std::string::npos);
}

// The error record against a failing disk: the report is shown all the same, its Help says the
// record could not be kept, and the previous record stays whole with nothing beside it.
struct RecordCase {
    const char* what;
    void (*install)(rt::FileCalls&);
};

class ErrorRecordFailures : public testing::TestWithParam<RecordCase> {};

TEST_P(ErrorRecordFailures, KeepThePreviousRecordAndSaySo) {
    const std::filesystem::path state = std::filesystem::current_path() / (std::string("state-") + GetParam().what);
    const std::filesystem::path folder = state / "kalvoro";
    std::filesystem::create_directories(folder);
    std::ofstream(folder / "last-error", std::ios::binary) << "CODE=9\n";
    const std::string was = std::getenv("XDG_STATE_HOME");
    setenv("XDG_STATE_HOME", state.c_str(), 1);

    std::vector<rt::ErrorReportTexts> presented;
    rt::SetErrorPresenter([&](const rt::ErrorReportTexts& texts) { presented.push_back(texts); });
    rt::FileCalls calls = rt::SystemFileCalls();
    GetParam().install(calls);
    const rt::RuntimeError e = Catch(57);
    {
        rt::ScopedFileCalls failing(calls);
        rt::EndWithRuntimeError(e);
    }
    rt::SetErrorPresenter({});
    setenv("XDG_STATE_HOME", was.c_str(), 1);

    ASSERT_EQ(presented.size(), 1u);
    EXPECT_EQ(presented[0].report, rt::ErrorReportText(e));
    EXPECT_EQ(presented[0].help, rt::ErrorHelpText(e, rt::LastErrorRecord::NotWritten));
    EXPECT_EQ(ReadAll(folder / "last-error"), "CODE=9\n");
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) names.push_back(entry.path().filename());
    EXPECT_EQ(names, std::vector<std::string>{"last-error"});
}

INSTANTIATE_TEST_SUITE_P(
    Injected, ErrorRecordFailures,
    testing::Values(RecordCase{"full-disk",
                               [](rt::FileCalls& c) { c.write = NoRoomLeft; }},
                    RecordCase{"read-only-folder",
                               [](rt::FileCalls& c) {
                                   c.openat = [](int, const char*, int, mode_t) {
                                       errno = EROFS;
                                       return -1;
                                   };
                               }},
                    RecordCase{"failing-rename",
                               [](rt::FileCalls& c) {
                                   c.renameat = [](int, const char*, int, const char*) {
                                       errno = EIO;
                                       return -1;
                                   };
                               }}),
    [](const testing::TestParamInfo<RecordCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (ch == '-') ch = '_';
        return name;
    });

// A state folder that is gone is made again; one that cannot be made (a file stands in its way)
// leaves the report without a record; one whose name Shift-JIS cannot hold still gets the record.
TEST(ErrorRecord, FollowsTheStateFolderWhateverHappenedToIt) {
    const std::string was = std::getenv("XDG_STATE_HOME");
    const std::filesystem::path here = std::filesystem::current_path();
    const rt::RuntimeError e = Catch(57);

    const std::filesystem::path gone = here / "state-gone";
    std::filesystem::create_directories(gone / "kalvoro");
    std::filesystem::remove_all(gone);
    setenv("XDG_STATE_HOME", gone.c_str(), 1);
    EXPECT_TRUE(rt::RecordLastError(e));
    EXPECT_NE(ReadAll(gone / "kalvoro" / "last-error").find("CODE=57\n"), std::string::npos);

    std::ofstream(here / "state-file", std::ios::binary) << "x";
    setenv("XDG_STATE_HOME", (here / "state-file").c_str(), 1);
    EXPECT_FALSE(rt::RecordLastError(e));

    const std::filesystem::path odd = here / "state-\xF0\x9F\x98\x80";  // an emoji
    setenv("XDG_STATE_HOME", odd.c_str(), 1);
    EXPECT_TRUE(rt::RecordLastError(e));
    const std::string help = rt::ErrorHelpText(e, rt::LastErrorRecord::Written);
    setenv("XDG_STATE_HOME", was.c_str(), 1);
    EXPECT_NE(ReadAll(odd / "kalvoro" / "last-error").find("CODE=57\n"), std::string::npos);
    EXPECT_NE(help.find("$XDG_STATE_HOME/kalvoro/last-error"), std::string::npos);
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
