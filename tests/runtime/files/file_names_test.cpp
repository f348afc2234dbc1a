#include "runtime/files/file_names.h"

#include <unistd.h>

#include <cerrno>

#include <gtest/gtest.h>

namespace {

struct SplitCase {
    const char* path;
    const char* folder;
    const char* name;
    const char* extension;
};

class SplitPathCases : public testing::TestWithParam<SplitCase> {};

TEST_P(SplitPathCases, FolderNameAndExtension) {
    const SplitCase& c = GetParam();
    PathParts parts = SplitPath(c.path);
    EXPECT_EQ(parts.drive.bytes(), "");
    EXPECT_EQ(parts.folder.bytes(), c.folder);
    EXPECT_EQ(parts.name.bytes(), c.name);
    EXPECT_EQ(parts.extension.bytes(), c.extension);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SplitPathCases,
    testing::Values(SplitCase{"/home/u/order.kvo", "/home/u/", "order", ".kvo"},
                    SplitCase{"order.kvo", "", "order", ".kvo"},
                    SplitCase{"/home/u/README", "/home/u/", "README", ""},
                    SplitCase{"/home/v1.2/README", "/home/v1.2/", "README", ""},
                    SplitCase{"/home/u/a.b.txt", "/home/u/", "a.b", ".txt"},
                    SplitCase{"/home/u/", "/home/u/", "", ""},
                    SplitCase{"/", "/", "", ""},
                    SplitCase{"", "", "", ""},
                    SplitCase{"/a/name.", "/a/", "name", "."},
                    // 表 and ソ end in 0x5C, the byte of a backslash; 資料 is a Shift-JIS folder
                    SplitCase{"/資料/表ソ.txt", "/資料/", "表ソ", ".txt"},
                    SplitCase{"資料.表", "", "資料", ".表"}));

TEST(SplitPath, SeparatorIsTheSlash) { EXPECT_EQ(rt::kFolderSeparator, '/'); }

struct ErrnoCase {
    int err;
    rt::FileStep step;
    int code;
};

class FileErrorCodes : public testing::TestWithParam<ErrnoCase> {};

TEST_P(FileErrorCodes, MapsTheSystemError) {
    EXPECT_EQ(rt::ErrorCodeFromErrno(GetParam().err, GetParam().step), GetParam().code) << GetParam().err;
}

constexpr auto kOpen = rt::FileStep::Opening;
constexpr auto kOther = rt::FileStep::Other;

INSTANTIATE_TEST_SUITE_P(
    Errnos, FileErrorCodes,
    testing::Values(ErrnoCase{ENOENT, kOpen, 63}, ErrnoCase{ENOTDIR, kOpen, 63}, ErrnoCase{EMFILE, kOpen, 66},
                    ErrnoCase{ENFILE, kOpen, 66}, ErrnoCase{EACCES, kOther, 75}, ErrnoCase{EPERM, kOther, 75},
                    ErrnoCase{EBUSY, kOther, 75}, ErrnoCase{ETXTBSY, kOther, 75}, ErrnoCase{EROFS, kOther, 73},
                    ErrnoCase{ENOSPC, kOther, 67}, ErrnoCase{EDQUOT, kOther, 67}, ErrnoCase{EEXIST, kOpen, 64},
                    ErrnoCase{ENAMETOOLONG, kOpen, 55}, ErrnoCase{EINVAL, kOther, 55},
                    ErrnoCase{EILSEQ, kOther, 55}, ErrnoCase{EISDIR, kOpen, 75}, ErrnoCase{EISDIR, kOther, 27},
                    ErrnoCase{EIO, kOther, 27}, ErrnoCase{EXDEV, kOther, 27}));

TEST(FileErrorCodes, ReasonIsEnglishText) {
    EXPECT_EQ(rt::SystemReason(ENOENT), "No such file or directory");
    EXPECT_EQ(rt::SystemReason(ENOSPC), "No space left on device");
}

TEST(FileNames, RelativeNamesAreMadeAbsoluteAndUtf8) {
    std::string path;
    ASSERT_EQ(rt::SystemPathOf("資料.txt", path), 0);
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    EXPECT_EQ(path, std::string(cwd) + "/" + reinterpret_cast<const char*>(u8"資料.txt"));
    ASSERT_EQ(rt::SystemPathOf("/tmp/a", path), 0);
    EXPECT_EQ(path, "/tmp/a");
}

TEST(FileNames, RefusedNames) {
    std::string path;
    EXPECT_EQ(rt::SystemPathOf(Text(std::string(260, 'a')), path), 0);
    EXPECT_EQ(rt::SystemPathOf(Text(std::string(261, 'a')), path), 55);
    EXPECT_EQ(rt::SystemPathOf("", path), 55);
    EXPECT_EQ(rt::SystemPathOf("a*", path), 55);
    EXPECT_EQ(rt::SystemPathOf("a?", path), 55);
    EXPECT_EQ(rt::SystemPathOf(Text("a\0b", 3), path), 55);
    EXPECT_EQ(rt::SystemPathOf("\x81", path), 55);  // a lead byte without its trail
}

}  // namespace
