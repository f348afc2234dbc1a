#include "runtime/files/file_names.h"

#include <cerrno>

#include <gtest/gtest.h>

#include "tests/support/long_paths.h"

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
    ASSERT_EQ(rt::MakeSystemPath("資料.txt", path), 0);
    EXPECT_EQ(path, longpaths::CurrentFolder() + "/" + reinterpret_cast<const char*>(u8"資料.txt"));
    ASSERT_EQ(rt::MakeSystemPath("/tmp/a", path), 0);
    EXPECT_EQ(path, "/tmp/a");
}

TEST(FileNames, RefusedAsTheSystemRefusesThem) {
    std::string path = "kept";
    EXPECT_EQ(rt::MakeSystemPath("", path), EINVAL);
    EXPECT_EQ(rt::MakeSystemPath("a*", path), EINVAL);
    EXPECT_EQ(rt::MakeSystemPath("a?", path), EINVAL);
    EXPECT_EQ(rt::MakeSystemPath(Text("a\0b", 3), path), EINVAL);
    EXPECT_EQ(rt::MakeSystemPath("\x81", path), EILSEQ);  // a lead byte without its trail
    EXPECT_EQ(path, "kept");
}

// A name is judged by the UTF-8 path the system is given, absolute, against the system's own
// limits: 4,095 bytes in all and 255 in each name, a folder's or the file's. How long the
// program's Shift-JIS is counts for nothing.
struct LengthCase {
    const char* what;
    std::string (*name)();  // Shift-JIS
    int err;
};

class NameLengths : public testing::TestWithParam<LengthCase> {};

TEST_P(NameLengths, JudgedByTheSystemPath) {
    std::string path;
    EXPECT_EQ(rt::MakeSystemPath(Text(GetParam().name()), path), GetParam().err);
}

std::string Kanji(int count) {
    std::string s;
    for (int i = 0; i < count; ++i) s += "資";  // two bytes here, three in UTF-8
    return s;
}

INSTANTIATE_TEST_SUITE_P(
    Limits, NameLengths,
    testing::Values(LengthCase{"Name255", [] { return std::string(255, 'n'); }, 0},
                    LengthCase{"Name256", [] { return std::string(256, 'n'); }, ENAMETOOLONG},
                    LengthCase{"FolderName256", [] { return "d/" + std::string(256, 'n') + "/f"; }, ENAMETOOLONG},
                    LengthCase{"Kanji85", [] { return Kanji(85); }, 0},                // 170 bytes, 255 in UTF-8
                    LengthCase{"Kanji86", [] { return Kanji(86); }, ENAMETOOLONG},     // 172 bytes, 258 in UTF-8
                    LengthCase{"Path261", [] { return longpaths::Filling(261); }, 0},  // an old limit, not the system's
                    LengthCase{"Absolute4095", [] { return "/" + longpaths::Filling(4094); }, 0},
                    LengthCase{"Absolute4096", [] { return "/" + longpaths::Filling(4095); }, ENAMETOOLONG}),
    [](const testing::TestParamInfo<LengthCase>& info) { return std::string(info.param.what); });

}  // namespace
