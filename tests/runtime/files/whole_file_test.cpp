#include "runtime/files/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <set>

#include <gtest/gtest.h>

#include "runtime/files/file_calls_posix.h"
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
        InjectedCase{"rename", 0, 75, [](rt::FileCalls& c) { c.renameat = FailingRename; }},
        InjectedCase{"open", 0, 66, [](rt::FileCalls& c) { c.openat = FailingOpen; }}),
    [](const testing::TestParamInfo<InjectedCase>& info) {
        std::string name = info.param.what;
        for (char& ch : name)
            if (ch == '-') ch = '_';
        return name;
    });

// Killed in a child process while it replaces a file, without unnamed files and with them: the
// old file stays whole, and what the write left is gone after the next write to the folder.
[[noreturn]] void Die() {
    ::raise(SIGKILL);
    std::abort();
}
ssize_t DyingWrite(int fd, const void* data, size_t size) {
    if (++g_calls == 3) Die();
    return ::write(fd, data, size < 1000 ? size : 1000);
}
int DyingRename(int, const char*, int, const char*) { Die(); }
int NoUnnamedFiles(int folder, const char* path, int flags, mode_t mode) {
    if ((flags & O_TMPFILE) == O_TMPFILE) return errno = EOPNOTSUPP, -1;
    return ::openat(folder, path, flags, mode);
}

TEST(FileReplacing, AWriteKilledHalfWayLeavesTheOldFileWholeAndNoTemporaryAfterTheNext) {
    fs::create_directory("killed");
    const int unnamed = ::open("killed", O_TMPFILE | O_WRONLY, 0600);
    if (unnamed >= 0) ::close(unnamed);
    // Unnamed until complete, a write killed before its rename leaves nothing at all.
    struct {
        bool named, atRename;
        size_t left;
    } const cases[] = {{true, false, 1}, {true, true, 1}, {false, false, 0}, {false, true, 1}};
    for (const auto& [named, atRename, left] : cases) {
        if (!named && unnamed < 0) continue;
        fs::remove("killed/other.kvo");
        Put("killed/order.kvo", kOld);
        if (::fork() == 0) {
            g_calls = 0;
            rt::FileCalls calls = rt::SystemFileCalls();
            if (named) calls.openat = NoUnnamedFiles;
            if (atRename) calls.renameat = DyingRename;
            else calls.write = DyingWrite;
            rt::ScopedFileCalls scoped(calls);
            rt::WriteFileReplacing("killed/order.kvo", kNew);
            ::_exit(0);
        }
        int status = 0;
        ::wait(&status);
        ASSERT_TRUE(WIFSIGNALED(status)) << named << atRename;
        EXPECT_EQ(Contents("killed/order.kvo"), kOld);
        EXPECT_EQ(Names("killed").size(), 1u + left) << named << atRename;
        // Another file's write leaves it to the write of its own file, or to a sweep of its name
        // (as a start sweeps the files of runs that write each name once).
        ASSERT_TRUE(rt::WriteFileReplacing("killed/other.kvo", kOld).ok);
        rt::RemoveLeftoverTemporaries("killed", "ot");
        EXPECT_EQ(Names("killed").size(), 2u + left) << named << atRename;
        if (atRename) rt::RemoveLeftoverTemporaries("killed", "or");
        else ASSERT_TRUE(rt::WriteFileReplacing("killed/order.kvo", kOld).ok);
        EXPECT_EQ(Names("killed"), (std::set<std::string>{"order.kvo", "other.kvo"}));
    }
}

// After the rename the new bytes are in place; a failure still to come is reported all the same,
// since what it failed to do may cost them: the folder's sync, or closing the file (after the
// rename, so that the finished file stays locked while it has its temporary name).
TEST(FileReplacing, FailuresAfterTheRenameAreReported) {
    const InjectedCase cases[] = {{"folder-sync", 2, 27, [](rt::FileCalls& c) { c.fsync = FailingFsync; }},
                                  {"close", 1, 67, [](rt::FileCalls& c) { c.close = FailingClose; }}};
    for (const InjectedCase& c : cases) {
        const fs::path folder = fs::current_path() / (std::string("after-") + c.what), target = folder / "order.kvo";
        fs::create_directory(folder);
        Put(target, kOld);
        g_calls = 0;
        g_failAt = c.failAt;
        rt::FileCalls calls = rt::SystemFileCalls();
        c.install(calls);
        rt::ScopedFileCalls scoped(calls);
        const rt::FileResult r = rt::WriteFileReplacing(Text(target.string()), kNew);
        EXPECT_EQ(std::pair(r.ok, r.code), std::pair(false, c.code)) << c.what;
        EXPECT_EQ(Contents(target), kNew);
        EXPECT_EQ(Names(folder), std::set<std::string>{"order.kvo"});
    }
}

// Another writer's temporary of the target, locked while it writes, is no leftover, nor is one of
// another file; once unlocked, it goes at the next write, here one that may not link its unnamed
// file (a sandbox) and falls back on a named temporary, locked until renamed. The locks are those
// of open file descriptions, as NFS keeps them: a writer's (exclusive, the file open for writing)
// is seen from a read-only open in the same process.
bool OfdLock(int fd, short type) {
    struct flock lock {};
    lock.l_type = type;
    return ::fcntl(fd, F_OFD_SETLK, &lock) == 0;
}
bool g_lockedAtRename = false;
int LockCheckingRename(int fromFolder, const char* from, int toFolder, const char* to) {
    const int fd = ::openat(fromFolder, from, O_RDONLY);
    g_lockedAtRename = fd >= 0 && !OfdLock(fd, F_RDLCK) && errno == EAGAIN;
    if (fd >= 0) ::close(fd);
    return ::renameat(fromFolder, from, toFolder, to);
}

TEST(FileReplacing, TheSweepTakesOnlyTheTargetsOwnUnlockedLeftoversAndARefusedLinkFallsBack) {
    fs::create_directory("sweep");
    const std::string live = "sweep/.order.kvo.0123456789ab.kvtmp", lookAlike = ".other.kvo.0123456789ab.kvtmp";
    for (const std::string& name : {live, "sweep/" + lookAlike}) Put(name, "another writer's");
    const int held = ::open(live.c_str(), O_WRONLY);
    ASSERT_TRUE(OfdLock(held, F_WRLCK));
    rt::FileCalls calls = rt::SystemFileCalls();
    calls.renameat = LockCheckingRename;
    rt::ScopedFileCalls scoped(calls);
    for (const std::string& bytes : {kOld, kNew}) {
        g_lockedAtRename = false;
        const rt::FileResult r = rt::WriteFileReplacing("sweep/order.kvo", bytes);
        ASSERT_TRUE(r.ok) << r.reason;
        EXPECT_TRUE(g_lockedAtRename) << "the finished file is locked until it is renamed";
        EXPECT_EQ(Names("sweep").size(), bytes == kOld ? 3u : 2u);
        if (bytes == kOld) ::close(held);
        rt::CurrentFileCalls().linkat = [](int, const char*, int, const char*, int) { return errno = EPERM, -1; };
    }
    EXPECT_EQ(Contents("sweep/order.kvo"), kNew);
    EXPECT_EQ(Names("sweep"), (std::set<std::string>{"order.kvo", lookAlike}));
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
    fs::create_directory("long-name");
    // 255 bytes in UTF-8: two letters, 78 kanji, 19 letters. The temporary name's room for it
    // ends inside a kanji, and one byte more would end after it.
    std::string name = "ab";
    for (int i = 0; i < 78; ++i) name += "資";
    name += std::string(19, 'c');
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
