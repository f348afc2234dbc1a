// Writing through channels, the channel errors, and the file operations beside the channels.
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>

#include <gtest/gtest.h>

#include "runtime/files/channels.h"
#include "tests/support/expect_error.h"
#include "tests/support/long_paths.h"

namespace {

namespace fs = std::filesystem;

std::string Contents(const std::string& name) {
    std::string out;
    if (std::FILE* f = std::fopen(name.c_str(), "rb")) {
        int c;
        while ((c = std::fgetc(f)) != EOF) out += static_cast<char>(c);
        std::fclose(f);
    }
    return out;
}

void Touch(const std::string& name) {
    if (std::FILE* f = std::fopen(name.c_str(), "wb")) std::fclose(f);
}

class ChannelErrors : public testing::Test {
protected:
    void TearDown() override { rt::CloseAllChannels(); }
};

TEST_F(ChannelErrors, PrintItemSeparatorsGiveTheseBytes) {
    ChannelOpen("print.txt", 2, 1);
    PrintItem(1, "ab", 1);              // col 2 → 14
    PrintItem(1, "cd", 2);              // col 16
    PrintItem(1, "e", 1);               // col 17 → 28
    PrintItem(1, "f", 0);
    PrintItem(1, "", 1);                // col 0 → 14: a zone is never empty
    PrintItem(1, "12345678901234", 1);  // col 28 → 42
    PrintItem(1, "1234567890123", 1);   // col 55 → 56
    PrintItem(1, "\x8E\x9A", 0);
    PrintItem(1, "", 0);
    ChannelClose();
    EXPECT_EQ(Contents("print.txt"), "ab" + std::string(12, ' ') + "cde" + std::string(11, ' ') + "f\r\n" +
                                         std::string(14, ' ') + "12345678901234" + std::string(14, ' ') +
                                         "1234567890123 \x8E\x9A\r\n\r\n");
}

TEST_F(ChannelErrors, WrittenFileReadsBack) {
    ChannelOpen("round.txt", 2, 1);
    PrintItem(1, "\"a,b\"", 2);
    PrintItem(1, ",12", 0);
    ChannelClose({1});
    ChannelOpen("round.txt", 1, 1);
    Text text;
    Int16 n;
    FieldInput(1, {text, n});
    EXPECT_EQ(text.bytes(), "a,b");
    EXPECT_EQ(static_cast<int>(n), 12);
    EXPECT_EQ(AtEnd(1), -1);
}

TEST_F(ChannelErrors, ChannelNumbersOneTo255) {
    EXPECT_RT_ERROR(ChannelOpen("ch0.txt", 2, 0), 50);
    EXPECT_RT_ERROR(ChannelOpen("ch256.txt", 2, 256), 50);
    EXPECT_RT_ERROR(ChannelOpen("chm1.txt", 2, -1), 50);
    ChannelOpen("ch1.txt", 2, 1);
    ChannelOpen("ch255.txt", 2, 255);
    PrintItem(255, "x", 0);
    EXPECT_RT_ERROR(PrintItem(0, "x", 0), 50);
    EXPECT_RT_ERROR(PrintItem(256, "x", 0), 50);
    EXPECT_RT_ERROR(LineInput(256), 50);
    EXPECT_RT_ERROR(ChannelClose({256}), 50);
    ChannelClose({1, 255, 7});  // 7 is not open: passed over
    EXPECT_EQ(Contents("ch255.txt"), "x\r\n");
    EXPECT_FALSE(fs::exists("ch0.txt"));
    EXPECT_FALSE(fs::exists("ch256.txt"));
}

TEST_F(ChannelErrors, ModesAndTheirOperations) {
    EXPECT_RT_ERROR(ChannelOpen("m0.txt", 0, 1), 51);
    EXPECT_RT_ERROR(ChannelOpen("m3.txt", 3, 1), 51);
    ChannelOpen("out.txt", 2, 1);
    EXPECT_RT_ERROR(LineInput(1), 51);
    EXPECT_RT_ERROR(AtEnd(1), 51);
    Text t;
    EXPECT_RT_ERROR(FieldInput(1, {t}), 51);
    ChannelOpen("out.txt", 1, 2);
    EXPECT_RT_ERROR(PrintItem(2, "x", 0), 51);
}

TEST_F(ChannelErrors, OpenTwiceAndNotOpen) {
    ChannelOpen("twice.txt", 2, 1);
    EXPECT_RT_ERROR(ChannelOpen("other.txt", 2, 1), 52);
    EXPECT_RT_ERROR(LineInput(2), 57);
    EXPECT_RT_ERROR(PrintItem(3, "x", 0), 57);
    EXPECT_RT_ERROR(AtEnd(4), 57);
    ChannelClose();
    EXPECT_RT_ERROR(PrintItem(1, "x", 0), 57);
}

TEST_F(ChannelErrors, InputNeedsAFileOutputANewOne) {
    EXPECT_RT_ERROR(ChannelOpen("missing.txt", 1, 1), 63);
    EXPECT_RT_ERROR(ChannelOpen("no-folder/missing.txt", 1, 1), 63);
    EXPECT_RT_ERROR(ChannelOpen("no-folder/new.txt", 2, 1), 63);
    Touch("exists.txt");
    EXPECT_RT_ERROR(ChannelOpen("exists.txt", 2, 1), 64);
    fs::create_directory("folder-in");
    EXPECT_RT_ERROR(ChannelOpen("folder-in", 1, 1), 75);
    // Every failed open left the channel free.
    ChannelOpen("exists.txt", 1, 1);
}

TEST_F(ChannelErrors, NamesThatAreRefused) {
    EXPECT_RT_ERROR(ChannelOpen("a*.txt", 2, 1), 55);
    EXPECT_RT_ERROR(ChannelOpen("a?.txt", 2, 1), 55);
    EXPECT_RT_ERROR(ChannelOpen("", 2, 1), 55);
    EXPECT_RT_ERROR(ChannelOpen("\x81", 2, 1), 55);
    // The system's limits, a name of 255 bytes and a whole path of 4,095, still name a file: here
    // one in folders that do not exist, so "not found". One byte more cannot be given.
    EXPECT_RT_ERROR(ChannelOpen(Text("no-folder/" + std::string(255, 'f')), 1, 1), 63);
    EXPECT_RT_ERROR(ChannelOpen(Text("no-folder/" + std::string(256, 'f')), 1, 1), 55);
    const size_t relative = 4095 - longpaths::CurrentFolder().size() - 1;
    EXPECT_RT_ERROR(ChannelOpen(Text(longpaths::Filling(relative)), 1, 1), 63);
    EXPECT_RT_ERROR(ChannelOpen(Text(longpaths::Filling(relative + 1)), 1, 1), 55);
    EXPECT_EQ(FileExists(Text(longpaths::Filling(relative + 1))), 0);
}

TEST_F(ChannelErrors, ShiftJisNameIsUtf8OnDisk) {
    const Text name("資料の表.txt");
    ChannelOpen(name, 2, 1);
    PrintItem(1, "表", 0);
    ChannelClose();
    const char* utf8 = reinterpret_cast<const char*>(u8"資料の表.txt");
    EXPECT_EQ(Contents(utf8), "\x95\x5C\r\n");
    EXPECT_EQ(FileExists(name), -1);
    ChannelOpen(name, 1, 1);
    EXPECT_EQ(LineInput(1).bytes(), "\x95\x5C");
    ChannelClose();
    FileDelete(name);
    EXPECT_FALSE(fs::exists(utf8));
}

TEST_F(ChannelErrors, FileExistsOnlyForFiles) {
    Touch("there.txt");
    fs::create_directory("a-folder");
    EXPECT_EQ(FileExists("there.txt"), -1);
    EXPECT_EQ(FileExists("a-folder"), 0);
    EXPECT_EQ(FileExists("not-there.txt"), 0);
    EXPECT_RT_ERROR(FileExists("*.txt"), 55);
    EXPECT_RT_ERROR(FileExists("there.tx?"), 55);
}

TEST_F(ChannelErrors, FileDeleteRefusesAnOpenFile) {
    ChannelOpen("open-out.txt", 2, 1);
    EXPECT_RT_ERROR(FileDelete("open-out.txt"), 52);
    EXPECT_RT_ERROR(FileDelete("./open-out.txt"), 52);
    ChannelClose();
    ChannelOpen("open-out.txt", 1, 1);
    EXPECT_RT_ERROR(FileDelete("open-out.txt"), 52);
    ChannelClose({1});
    FileDelete("open-out.txt");
    EXPECT_FALSE(fs::exists("open-out.txt"));
    EXPECT_RT_ERROR(FileDelete("open-out.txt"), 63);
    EXPECT_RT_ERROR(FileDelete("*.txt"), 55);
    EXPECT_RT_ERROR(FileDelete(Text(std::string(261, 'a'))), 55);
}

TEST_F(ChannelErrors, CloseAllChannelsFreesThemForTheNextRun) {
    ChannelOpen("end.txt", 2, 1);
    PrintItem(1, "kept", 2);
    rt::CloseAllChannels();
    EXPECT_EQ(Contents("end.txt"), "kept");
    ChannelOpen("end.txt", 1, 1);
    EXPECT_EQ(LineInput(1).bytes(), "kept");
}

}  // namespace
