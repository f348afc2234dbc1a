#include "runtime/files/error_record.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <ctime>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <vector>

#include "runtime/files/whole_file.h"
#include "tests/support/full_disk.h"
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

std::string ReadAll(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    std::stringstream all;
    all << in.rdbuf();
    return all.str();
}

// The error reporter records only once it is given the writer, as the window layer's start gives it.
class ErrorRecord : public testing::Test {
protected:
    void SetUp() override { rt::KeepErrorRecords(); }
    void TearDown() override { rt::SetErrorRecorder({}); }
};

TEST_F(ErrorRecord, WritesTheLastErrorInTheStateFolder) {
    const char* was = std::getenv("XDG_STATE_HOME");
    ASSERT_NE(was, nullptr);
    const std::string before = was;
    auto dir = std::filesystem::current_path() / "another-state";
    setenv("XDG_STATE_HOME", dir.c_str(), 1);
    rt::RuntimeError e = Catch(11);
    const std::time_t from = std::time(nullptr);
    bool recorded = rt::RecordLastError(e);
    const std::time_t to = std::time(nullptr);
    setenv("XDG_STATE_HOME", before.c_str(), 1);
    ASSERT_TRUE(recorded);
    std::string text = ReadAll(dir / "kalvoro" / "last-error");
    EXPECT_NE(text.find("MODL=Kalvoro\n"), std::string::npos);
    EXPECT_NE(text.find("CODE=11\n"), std::string::npos);
    EXPECT_NE(text.find("LINE=" + std::to_string(e.line) + "\n"), std::string::npos);
    EXPECT_NE(text.find("RTL=V6.30 L10 U002+1\n"), std::string::npos);
    EXPECT_NE(text.find("MODE=\xE7\x8B\xAC\xE7\xAB\x8B\xE5\x9E\x8B\n"), std::string::npos);
    // The time of the error as the clock gives it, local time, to the second.
    std::tm when{};
    ASSERT_NE(text.find("TIME="), std::string::npos);
    std::istringstream(text.substr(text.find("TIME=") + 5)) >> std::get_time(&when, "%Y/%m/%d %H:%M:%S");
    when.tm_isdst = -1;
    const std::time_t recordedAt = std::mktime(&when);
    EXPECT_GE(recordedAt, from);
    EXPECT_LE(recordedAt, to);
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

TEST_F(ErrorRecord, ATestsRuntimeErrorIsRecordedInTheTestsOwnHomeNotTheUsers) {
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

TEST_F(ErrorRecord, TheFolderFollowsTheStateHomeAndFallsBackToTheHome) {
    const std::string state = std::getenv("XDG_STATE_HOME");
    setenv("XDG_STATE_HOME", "", 1);
    const std::filesystem::path fallback = rt::LastErrorPath();
    unsetenv("XDG_STATE_HOME");
    const std::string home = std::getenv("HOME");
    unsetenv("HOME");
    const std::filesystem::path none = rt::LastErrorPath();
    rt::RuntimeError e;
    e.code = 9;
    const std::string help = rt::ErrorHelpText(e, rt::LastErrorPath().string());
    setenv("HOME", home.c_str(), 1);
    setenv("XDG_STATE_HOME", state.c_str(), 1);
    EXPECT_EQ(fallback, std::filesystem::path(home) / ".local/state/kalvoro/last-error");
    EXPECT_TRUE(none.empty());
    // Nowhere to keep a record: Help does not point to one.
    EXPECT_NE(help.find("エラーの記録はファイルに残せませんでした。"), std::string::npos);
}

TEST_F(ErrorRecord, ThePresenterGetsTheReportAndTheHelpNamingTheRecord) {
    std::vector<rt::ErrorReportTexts> presented;
    rt::SetErrorPresenter([&](const rt::ErrorReportTexts& texts) { presented.push_back(texts); });
    const rt::RuntimeError e = Catch(63);
    EXPECT_EQ(rt::EndWithRuntimeError(e), 1);
    rt::SetErrorPresenter({});
    ASSERT_EQ(presented.size(), 1u);
    EXPECT_EQ(presented[0].report, rt::ErrorReportText(e));
    EXPECT_EQ(presented[0].help, rt::ErrorHelpText(e, rt::LastErrorPath().string()));
    EXPECT_NE(presented[0].help.find(rt::LastErrorPath().string()), std::string::npos);
}

// The error record against a failing disk: the report is shown all the same, its Help says the
// record could not be kept, and the previous record stays whole with nothing beside it.
struct RecordCase {
    const char* what;
    void (*install)(rt::FileCalls&);
};

class ErrorRecordFailures : public ErrorRecord, public testing::WithParamInterface<RecordCase> {};

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
    EXPECT_EQ(presented[0].help, rt::ErrorHelpText(e, ""));
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
TEST_F(ErrorRecord, FollowsTheStateFolderWhateverHappenedToIt) {
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
    const std::string help = rt::ErrorHelpText(e, rt::LastErrorPath().string());
    setenv("XDG_STATE_HOME", was.c_str(), 1);
    EXPECT_NE(ReadAll(odd / "kalvoro" / "last-error").find("CODE=57\n"), std::string::npos);
    EXPECT_NE(help.find("$XDG_STATE_HOME/kalvoro/last-error"), std::string::npos);
}

}  // namespace
