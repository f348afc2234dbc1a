// The replacing writer on Windows under failures at every step of the replace, and its sweep of
// the temporaries that killed writers left.
#include <windows.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <utility>

#include <gtest/gtest.h>

#include "runtime/files/file_calls_win32.h"
#include "runtime/files/whole_file.h"

namespace {

namespace fs = std::filesystem;

const std::string kOld = "old content\r\n";
const std::string kNew = std::string("new \x82\xA0 content\r\n") + std::string(100000, 'n');

std::string Contents(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Put(const fs::path& p, const std::string& bytes) { std::ofstream(p, std::ios::binary) << bytes; }

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

std::string Utf8(const fs::path& p) {
    const std::u8string s = p.u8string();
    return {s.begin(), s.end()};
}

// Injected failures: each counts its calls, so a test can let the first ones through.
int g_calls = 0;
int g_failAt = 0;  // the 1-based call that fails

bool FailsNow() { return ++g_calls >= g_failAt; }

BOOL Fail(DWORD error) {
    SetLastError(error);
    return FALSE;
}

HANDLE WINAPI FailingCreate(LPCWSTR, DWORD, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD, HANDLE) {
    SetLastError(ERROR_TOO_MANY_OPEN_FILES);
    return INVALID_HANDLE_VALUE;
}
// Short writes until the disk fills.
BOOL WINAPI FullDiskWrite(HANDLE file, LPCVOID data, DWORD size, LPDWORD written, LPOVERLAPPED overlapped) {
    if (FailsNow()) return Fail(ERROR_DISK_FULL);
    return WriteFile(file, data, size < 1000 ? size : 1000, written, overlapped);
}
BOOL WINAPI FailingFlush(HANDLE) { return Fail(ERROR_IO_DEVICE); }
BOOL WINAPI FailingClose(HANDLE file) {
    CloseHandle(file);
    return Fail(ERROR_IO_DEVICE);
}
BOOL WINAPI FailingReplace(LPCWSTR, LPCWSTR, LPCWSTR, DWORD, LPVOID, LPVOID) { return Fail(ERROR_SHARING_VIOLATION); }
BOOL WINAPI FailingMove(LPCWSTR, LPCWSTR, DWORD) { return Fail(ERROR_DISK_FULL); }

struct InjectedCase {
    const char* what;
    bool oldFile;  // whether there is a file to replace
    int failAt;
    int code;
    void (*install)(rt::FileCalls&);
};

class FileReplacingFailures : public testing::TestWithParam<InjectedCase> {};

TEST_P(FileReplacingFailures, LeaveTheOldFileAndNoTemporary) {
    const InjectedCase& c = GetParam();
    const fs::path folder = fs::current_path() / (std::string("inject-") + c.what);
    fs::create_directory(folder);
    const fs::path target = folder / "order.SAV";
    if (c.oldFile) Put(target, kOld);

    g_calls = 0;
    g_failAt = c.failAt;
    rt::FileCalls calls = rt::SystemFileCalls();
    c.install(calls);
    rt::FileResult r;
    {
        rt::ScopedFileCalls scoped(calls);
        r = rt::WriteSystemFileReplacing(Utf8(target), Text("order.SAV"), kNew);
    }
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, c.code);
    EXPECT_FALSE(r.reason.empty());
    EXPECT_EQ(Names(folder), c.oldFile ? std::set<std::string>{"order.SAV"} : std::set<std::string>{});
    if (c.oldFile) {
        EXPECT_EQ(Contents(target), kOld);
    }
    EXPECT_EQ(rt::CurrentFileCalls().writeFile, rt::SystemFileCalls().writeFile);
}

INSTANTIATE_TEST_SUITE_P(
    Injected, FileReplacingFailures,
    testing::Values(
        InjectedCase{"create", true, 0, 66, [](rt::FileCalls& c) { c.createFile = FailingCreate; }},
        InjectedCase{"full_disk_at_once", true, 1, 67, [](rt::FileCalls& c) { c.writeFile = FullDiskWrite; }},
        InjectedCase{"full_disk_midway", true, 5, 67, [](rt::FileCalls& c) { c.writeFile = FullDiskWrite; }},
        InjectedCase{"flush", true, 0, 27, [](rt::FileCalls& c) { c.flushFileBuffers = FailingFlush; }},
        InjectedCase{"close", true, 0, 27, [](rt::FileCalls& c) { c.closeHandle = FailingClose; }},
        InjectedCase{"replace", true, 0, 75, [](rt::FileCalls& c) { c.replaceFile = FailingReplace; }},
        InjectedCase{"move", false, 0, 67, [](rt::FileCalls& c) { c.moveFileEx = FailingMove; }}),
    [](const testing::TestParamInfo<InjectedCase>& info) { return std::string(info.param.what); });

// A killed writer's temporary goes at the target's next write, and the other ones stay: a live
// writer's, which holds its handle, and another target's.
TEST(FileReplacing, SweepsOnlyTheTargetsUnheldTemporaries) {
    const fs::path folder = fs::current_path() / "sweep";
    fs::create_directory(folder);
    const fs::path killed = folder / ".order.SAV.0123456789ab.kvtmp";
    const fs::path live = folder / ".order.SAV.0123456789ac.kvtmp";
    const fs::path other = folder / ".other.SAV.0123456789ab.kvtmp";
    Put(killed, "half");
    Put(other, "half");
    const HANDLE writer = CreateFileW(live.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW, 0, nullptr);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);

    const fs::path target = folder / "order.SAV";
    ASSERT_TRUE(rt::WriteSystemFileReplacing(Utf8(target), Text("order.SAV"), kNew).ok);
    EXPECT_EQ(Names(folder), (std::set<std::string>{"order.SAV", live.filename().string(), other.filename().string()}));
    EXPECT_EQ(Contents(target), kNew);

    CloseHandle(writer);
    rt::RemoveLeftoverTemporaries(Utf8(folder), "order");
    EXPECT_EQ(Names(folder), (std::set<std::string>{"order.SAV", other.filename().string()}));
}

// The reader's refusals as the messages shared with POSIX read them: the errno and the code.
TEST(FileReading, RefusesAsOnPosix) {
    const fs::path folder = fs::current_path() / "reading";
    fs::create_directory(folder);
    const fs::path file = folder / "order.SAV";
    Put(file, kOld);
    std::string bytes;
    rt::FileResult r = rt::ReadSystemFile(Utf8(file), Text("order.SAV"), bytes, kOld.size());
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(bytes, kOld);
    r = rt::ReadSystemFile(Utf8(file), Text("order.SAV"), bytes, kOld.size() - 1);
    EXPECT_EQ(r.err, EFBIG);
    r = rt::ReadSystemFile(Utf8(folder), Text("reading"), bytes);
    EXPECT_EQ(std::make_pair(r.err, r.code), std::make_pair(EISDIR, 75));
    r = rt::ReadSystemFile(Utf8(folder / "none.SAV"), Text("none.SAV"), bytes);
    EXPECT_EQ(std::make_pair(r.err, r.code), std::make_pair(ENOENT, 63));
    EXPECT_EQ(r.reason.find_first_not_of(" !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ"
                                         "[\\]^_`abcdefghijklmnopqrstuvwxyz{|}~"),
              std::string::npos)
        << r.reason;
}

}  // namespace
