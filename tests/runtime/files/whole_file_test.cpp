#include "runtime/files/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "runtime/values/encoding.h"

namespace {

namespace fs = std::filesystem;

const std::string kOld = "old content\r\n";
const std::string kNew = std::string("new \x82\xA0 content\r\n") + std::string(100000, 'n');

std::string Contents(const fs::path& p) {
    std::string out;
    if (std::FILE* f = std::fopen(p.c_str(), "rb")) {
        char buf[4096];
        size_t n;
        while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
        std::fclose(f);
    }
    return out;
}

void Put(const fs::path& p, const std::string& bytes) {
    std::FILE* f = std::fopen(p.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::set<std::string> Names(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& e : fs::directory_iterator(folder)) names.insert(e.path().filename().string());
    return names;
}

// Injected failures: each counts its calls, so a test can let the first ones through.
int g_calls = 0;
int g_failAt = 0;  // the 1-based call that fails

bool FailsNow() { return ++g_calls == g_failAt; }

ssize_t FullDiskWrite(int fd, const void* data, size_t size) {
    if (FailsNow() || g_calls > g_failAt) {
        errno = ENOSPC;
        return -1;
    }
    return ::write(fd, data, size < 1000 ? size : 1000);  // short writes until the disk fills
}
int FailingFsync(int fd) {
    if (FailsNow()) {
        errno = EIO;
        return -1;
    }
    return ::fsync(fd);
}
int FailingClose(int fd) {
    ::close(fd);
    if (FailsNow()) {
        errno = EDQUOT;
        return -1;
    }
    return 0;
}
int FailingRename(int, const char*, int, const char*) {
    errno = EACCES;
    return -1;
}
int FailingOpen(int, const char*, int, mode_t) {
    errno = EMFILE;
    return -1;
}

struct InjectedCase {
    const char* what;
    int failAt;
    int code;
    void (*install)(rt::FileCalls&);
};

class FileReplacingFailures : public testing::TestWithParam<InjectedCase> {};

TEST_P(FileReplacingFailures, LeaveTheOldFileAndNoTemporary) {
    const InjectedCase& c = GetParam();
    fs::path folder = fs::current_path() / (std::string("inject-") + c.what);
    fs::create_directory(folder);
    fs::path target = folder / "order.kvo";
    Put(target, kOld);

    g_calls = 0;
    g_failAt = c.failAt;
    rt::FileCalls calls = rt::SystemFileCalls();
    c.install(calls);
    rt::FileResult r;
    {
        rt::ScopedFileCalls scoped(calls);
        r = rt::WriteFileReplacing(Text(target.string()), kNew);
    }
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, c.code);
    EXPECT_FALSE(r.reason.empty());
    EXPECT_EQ(r.path.bytes(), target.string());
    EXPECT_EQ(Contents(target), kOld);
    EXPECT_EQ(Names(folder), std::set<std::string>{"order.kvo"});
    EXPECT_EQ(rt::CurrentFileCalls().write, rt::SystemFileCalls().write);
}

INSTANTIATE_TEST_SUITE_P(
    Injected, FileReplacingFailures,
    testing::Values(
        InjectedCase{"full-disk-at-once", 1, 67, [](rt::FileCalls& c) { c.write = FullDiskWrite; }},
        InjectedCase{"full-disk-midway", 5, 67, [](rt::FileCalls& c) { c.write = FullDiskWrite; }},
        InjectedCase{"fsync", 1, 27, [](rt::FileCalls& c) { c.fsync = FailingFsync; }},
        InjectedCase{"close", 1, 67, [](rt::FileCalls& c) { c.close = FailingClose; }},
        InjectedCase{"rename", 0, 75, [](rt::FileCalls& c) { c.renameat = FailingRename; }},
        InjectedCase{"open", 0, 66, [](rt::FileCalls& c) { c.openat = FailingOpen; }}),
    [](const testing::TestParamInfo<InjectedCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (ch == '-') ch = '_';
        return name;
    });

// Killed at a moment of a replacing write, in a child process: the old file stays whole, and what
// the write left is gone once the folder is written to again. Unnamed until complete, a write
// killed before its rename leaves nothing at all.
struct KillCase {
    const char* what;
    bool unnamed;  // whether the file system makes files without a name
    void (*install)(rt::FileCalls&);
    bool leavesATemporary;  // until the next write to the folder
};

[[noreturn]] void Die() {
    ::raise(SIGKILL);
    for (;;) ::pause();
}
ssize_t DyingWrite(int fd, const void* data, size_t size) {
    if (++g_calls == 3) Die();
    return ::write(fd, data, size < 1000 ? size : 1000);
}
int NoUnnamedFiles(int folder, const char* path, int flags, mode_t mode) {
    if ((flags & O_TMPFILE) == O_TMPFILE) {
        errno = EOPNOTSUPP;
        return -1;
    }
    return ::openat(folder, path, flags, mode);
}

class KilledWhileReplacing : public testing::TestWithParam<KillCase> {};

TEST_P(KilledWhileReplacing, LeavesTheOldFileWholeAndNoTemporaryOnceTheFolderIsWrittenAgain) {
    const KillCase& c = GetParam();
    const fs::path folder = fs::current_path() / (std::string("killed-") + c.what);
    fs::create_directory(folder);
    if (const int fd = ::open(folder.c_str(), O_TMPFILE | O_WRONLY, 0600); c.unnamed && fd < 0) {
        GTEST_SKIP() << "this file system makes no unnamed files";
    } else if (fd >= 0) {
        ::close(fd);
    }
    Put(folder / "order.kvo", kOld);
    const pid_t child = ::fork();
    if (child == 0) {
        g_calls = 0;
        rt::FileCalls calls = rt::SystemFileCalls();
        if (!c.unnamed) calls.openat = NoUnnamedFiles;
        c.install(calls);
        rt::ScopedFileCalls scoped(calls);
        rt::WriteFileReplacing(Text((folder / "order.kvo").string()), kNew);
        ::_exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the write ended before it was killed";
    EXPECT_EQ(Contents(folder / "order.kvo"), kOld);
    EXPECT_EQ(Names(folder).size(), c.leavesATemporary ? 2u : 1u);
    ASSERT_TRUE(rt::WriteFileReplacing(Text((folder / "other.kvo").string()), kOld).ok);
    EXPECT_EQ(Names(folder), (std::set<std::string>{"order.kvo", "other.kvo"}));
}

INSTANTIATE_TEST_SUITE_P(
    Killed, KilledWhileReplacing,
    testing::Values(
        KillCase{"unnamed_write", true, [](rt::FileCalls& c) { c.write = DyingWrite; }, false},
        KillCase{"unnamed_link", true, [](rt::FileCalls& c) { c.linkat = [](int, const char*, int, const char*, int) -> int { Die(); }; }, false},
        KillCase{"unnamed_rename", true, [](rt::FileCalls& c) { c.renameat = [](int, const char*, int, const char*) -> int { Die(); }; }, true},
        KillCase{"named_write", false, [](rt::FileCalls& c) { c.write = DyingWrite; }, true},
        KillCase{"named_rename", false, [](rt::FileCalls& c) { c.renameat = [](int, const char*, int, const char*) -> int { Die(); }; }, true}),
    [](const testing::TestParamInfo<KillCase>& info) { return std::string(info.param.what); });

TEST(FileReplacing, FolderSyncFailureIsReportedAfterTheRename) {
    fs::path folder = fs::current_path() / "inject-folder-sync";
    fs::create_directory(folder);
    fs::path target = folder / "order.kvo";
    Put(target, kOld);
    g_calls = 0;
    g_failAt = 2;  // the file's sync passes, the folder's fails
    rt::FileCalls calls = rt::SystemFileCalls();
    calls.fsync = FailingFsync;
    rt::ScopedFileCalls scoped(calls);
    rt::FileResult r = rt::WriteFileReplacing(Text(target.string()), kNew);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, 27);
    EXPECT_EQ(Contents(target), kNew);
    EXPECT_EQ(Names(folder), std::set<std::string>{"order.kvo"});
}

TEST(FileReplacing, WritesNewAndReplacesKeepingPermissions) {
    fs::create_directory("replace");
    rt::FileResult r = rt::WriteFileReplacing("replace/a.txt", kOld);
    ASSERT_TRUE(r.ok) << r.reason;
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(Contents("replace/a.txt"), kOld);
    ASSERT_EQ(chmod("replace/a.txt", 0640), 0);
    r = rt::WriteFileReplacing("replace/a.txt", kNew);
    ASSERT_TRUE(r.ok) << r.reason;
    EXPECT_EQ(Contents("replace/a.txt"), kNew);
    struct stat st;
    ASSERT_EQ(stat("replace/a.txt", &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(Names("replace"), std::set<std::string>{"a.txt"});
}

std::string g_renamedFrom;
int RecordingRename(int fromFolder, const char* from, int toFolder, const char* to) {
    g_renamedFrom = from;
    return ::renameat(fromFolder, from, toFolder, to);
}

// A name as long as the system takes is made and replaced like any other: the temporary file's
// name borrows as much of its start as fits, in whole characters, and stays recognisably ours.
TEST(FileReplacing, ANameAsLongAsTheSystemTakes) {
    std::string kanji;  // 84 kanji and three letters: 255 bytes in UTF-8
    for (int i = 0; i < 84; ++i) kanji += "資";
    // In letters the temporary name reaches the system's limit to the byte.
    for (const std::string& name : {kanji + "abc", std::string(255, 'a')}) {
        fs::remove_all("long-name");
        fs::create_directory("long-name");
        rt::FileCalls calls = rt::SystemFileCalls();
        calls.renameat = RecordingRename;
        rt::ScopedFileCalls scoped(calls);
        for (const std::string& bytes : {kOld, kNew}) {
            rt::FileResult r = rt::WriteFileReplacing(Text("long-name/" + name), bytes);
            ASSERT_TRUE(r.ok) << r.reason;
        }
        const std::string utf8 = *rt::SjisToUtf8(name);
        EXPECT_EQ(Contents(fs::path("long-name") / utf8), kNew);
        EXPECT_EQ(Names("long-name"), std::set<std::string>{utf8});

        const std::string& temp = g_renamedFrom;
        ASSERT_GT(temp.size(), 20u);
        EXPECT_LE(temp.size(), 255u);
        EXPECT_GT(temp.size() + 3, 255u) << "one more character of the name would not fit";
        EXPECT_EQ(temp.front(), '.');
        EXPECT_EQ(temp.substr(temp.size() - 6), ".kvtmp");
        const std::string borrowed = temp.substr(1, temp.size() - 20);
        EXPECT_EQ(utf8.rfind(borrowed, 0), 0u) << temp;
        EXPECT_TRUE(rt::Utf8ToSjis(borrowed)) << "no character cut in two: " << temp;
    }
}

TEST(FileReplacing, RefusesAFolderAndBadNames) {
    fs::create_directory("a-folder");
    rt::FileResult r = rt::WriteFileReplacing("a-folder", kNew);
    EXPECT_EQ(r.code, 75);
    EXPECT_EQ(rt::WriteFileReplacing("no-such-folder/a.txt", kNew).code, 63);
    r = rt::WriteFileReplacing("a*.txt", kNew);
    EXPECT_EQ(r.code, 55);
    EXPECT_EQ(r.path.bytes(), "a*.txt");
    EXPECT_FALSE(fs::exists("a*.txt"));
}

TEST(FileReading, EveryByteComesBackUnchanged) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    Put("all-bytes.bin", all);
    std::string bytes = "stale";
    rt::FileResult r = rt::ReadWholeFile("all-bytes.bin", bytes);
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(bytes, all);
}

TEST(FileReading, MissingFileAndFolderFail) {
    std::string bytes = "kept";
    rt::FileResult r = rt::ReadWholeFile("missing.txt", bytes);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.code, 63);
    EXPECT_EQ(r.reason, "No such file or directory");
    EXPECT_EQ(r.path.bytes(), "missing.txt");
    EXPECT_EQ(bytes, "kept");
    fs::create_directory("read-folder");
    r = rt::ReadWholeFile("read-folder", bytes);
    EXPECT_EQ(r.code, 75);
    EXPECT_EQ(r.reason, "Is a directory");
}

}  // namespace
