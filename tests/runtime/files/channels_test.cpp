#include "runtime/files/channels.h"

#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/expect_error.h"

namespace {

namespace fs = std::filesystem;

void Put(const std::string& name, const std::string& bytes) {
    std::FILE* f = std::fopen(name.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

class ChannelTest : public testing::Test {
protected:
    void TearDown() override { rt::CloseAllChannels(); }

    // A file of its own for each test, opened for input on channel 1.
    static void OpenWith(const std::string& bytes) {
        std::string name = std::string("in-") + testing::UnitTest::GetInstance()->current_test_info()->name();
        for (char& c : name)
            if (c == '/') c = '_';
        Put(name, bytes);
        ChannelOpen(Text(name), 1, 1);
    }
};

struct LineCase {
    const char* what;
    std::string bytes;
    std::vector<std::string> lines;
    int errorAfter;  // raised by the read after the last line
};

class ChannelLineInput : public ChannelTest, public testing::WithParamInterface<LineCase> {};

TEST_P(ChannelLineInput, ReadsTheLinesThenFails) {
    OpenWith(GetParam().bytes);
    for (const std::string& expected : GetParam().lines) EXPECT_EQ(LineInput(1).bytes(), expected);
    EXPECT_RT_ERROR(LineInput(1), GetParam().errorAfter);
}

const std::string kLongest(32767, 'x');

INSTANTIATE_TEST_SUITE_P(
    Lines, ChannelLineInput,
    testing::Values(
        LineCase{"crlf", "ab\r\ncd\r\n", {"ab", "cd"}, 54},
        LineCase{"lone_cr", "ab\rcd", {"ab", "cd"}, 54},
        LineCase{"lone_lf_kept", "ab\ncd\n", {"ab\ncd\n"}, 54},
        LineCase{"lf_then_crlf", "\n\r\n", {"\n"}, 54},
        LineCase{"nul_dropped", std::string("a\0b\r\n\0", 6), {"ab", ""}, 54},
        LineCase{"final_ctrl_z", "ab\x1A", {"ab"}, 54},
        LineCase{"ctrl_z_after_line_end", "ab\r\n\x1A", {"ab", ""}, 54},
        LineCase{"ctrl_z_not_last_kept", "a\x1A" "b\r\n", {"a\x1A" "b"}, 54},
        LineCase{"two_ctrl_z", "\x1A\x1A", {"\x1A"}, 54},
        LineCase{"empty_lines", "\r\n\r\n", {"", ""}, 54},
        LineCase{"no_final_line_end", "ab\r\ncd", {"ab", "cd"}, 54},
        LineCase{"longest_line", kLongest + "\r\n", {kLongest}, 54},
        LineCase{"longest_line_at_end", kLongest, {kLongest}, 54},
        LineCase{"one_byte_too_long", kLongest + "x\r\n", {}, 15},
        LineCase{"empty_file", "", {}, 54}),
    [](const testing::TestParamInfo<LineCase>& info) { return std::string(info.param.what); });

struct FieldCase {
    const char* what;
    std::string bytes;
    std::vector<std::string> fields;
    int errorAfter;
};

class ChannelFieldInput : public ChannelTest, public testing::WithParamInterface<FieldCase> {};

TEST_P(ChannelFieldInput, ReadsTextFieldsThenFails) {
    OpenWith(GetParam().bytes);
    for (const std::string& expected : GetParam().fields) {
        Text field("unset");
        FieldInput(1, {field});
        EXPECT_EQ(field.bytes(), expected);
    }
    Text field;
    EXPECT_RT_ERROR(FieldInput(1, {field}), GetParam().errorAfter);
}

INSTANTIATE_TEST_SUITE_P(
    TextFields, ChannelFieldInput,
    testing::Values(
        FieldCase{"commas", "a,b,c\r\n", {"a", "b", "c"}, 54},
        FieldCase{"colon_ends", "12:30", {"12", "30"}, 54},
        FieldCase{"quoted", "\"x,y:z\",w\r\n", {"x,y:z", "w"}, 54},
        FieldCase{"after_quote_skipped", "\"ab\" junk,c", {"ab", "c"}, 54},
        FieldCase{"unclosed_quote", "\"ab,c", {"ab,c"}, 54},
        FieldCase{"leading_blanks_skipped", "  lead,  trail  \r\n", {"lead", "trail  "}, 54},
        FieldCase{"quote_after_blanks", "  \"a,b\"", {"a,b"}, 54},
        FieldCase{"quote_inside_is_a_byte", "a\"b,c", {"a\"b", "c"}, 54},
        FieldCase{"line_end_ends", "a\r\nb\rc", {"a", "b", "c"}, 54},
        FieldCase{"empty_fields", ",\r\n", {"", ""}, 54},
        FieldCase{"lone_lf_kept", "a\nb,c", {"a\nb", "c"}, 54},
        FieldCase{"final_ctrl_z", "a,b\x1A", {"a", "b"}, 54},
        FieldCase{"ctrl_z_not_last", "a\x1A" "b", {"a\x1A" "b"}, 54},
        FieldCase{"shift_jis", "\x95\x5C,\x83\x5C", {"\x95\x5C", "\x83\x5C"}, 54},
        FieldCase{"empty_file", "", {}, 54}),
    [](const testing::TestParamInfo<FieldCase>& info) { return std::string(info.param.what); });

struct NumberCase {
    const char* what;
    std::string bytes;
    std::vector<double> values;
    int errorAfter;
};

class ChannelNumberInput : public ChannelTest, public testing::WithParamInterface<NumberCase> {};

TEST_P(ChannelNumberInput, ReadsNumbersThenFails) {
    OpenWith(GetParam().bytes);
    for (double expected : GetParam().values) {
        Double value = -99;
        FieldInput(1, {value});
        EXPECT_EQ(value, expected);
    }
    Double value;
    EXPECT_RT_ERROR(FieldInput(1, {value}), GetParam().errorAfter);
}

INSTANTIATE_TEST_SUITE_P(
    NumberFields, ChannelNumberInput,
    testing::Values(
        NumberCase{"plain", "12,5\r\n", {12, 5}, 54},
        NumberCase{"blank_after", "12 ,5", {12, 5}, 54},
        NumberCase{"blank_inside_ends", "12 34,5", {12, 5}, 54},
        NumberCase{"exponent", " -1.5E2\r\n7", {-150, 7}, 54},
        NumberCase{"not_a_number", "x,2", {0, 2}, 54},
        NumberCase{"empty_before_comma", ",5", {}, 58},
        NumberCase{"blanks_before_comma", "  ,5", {}, 58},
        NumberCase{"empty_before_line_end", "1,\r\n", {1, 0}, 54},
        NumberCase{"quoted_empty", "\"\",5", {0, 5}, 54},
        NumberCase{"final_ctrl_z", "3\x1A", {3}, 54},
        NumberCase{"too_large", "1E400", {}, 6}),
    [](const testing::TestParamInfo<NumberCase>& info) { return std::string(info.param.what); });

TEST_F(ChannelTest, FieldInputFillsEachKindOfVariable) {
    OpenWith("\"田中\",2.5,1.5,-7\r\n");
    Text name;
    Int16 rounded;
    Single single = 0;
    Double dbl = 0;
    FieldInput(1, {name, rounded, single, dbl});
    EXPECT_EQ(name.bytes(), "\x93\x63\x92\x86");
    EXPECT_EQ(static_cast<int>(rounded), 2);  // ties to even, as every Int16 store
    EXPECT_EQ(single, 1.5f);
    EXPECT_EQ(dbl, -7);
    EXPECT_EQ(AtEnd(1), -1);
}

TEST_F(ChannelTest, FieldInputIntoInt16OutOfRangeOverflows) {
    OpenWith("32768");
    Int16 v;
    EXPECT_RT_ERROR(FieldInput(1, {v}), 6);
}

TEST_F(ChannelTest, AtEndBeforeAFinalCtrlZ) {
    OpenWith("a\r\n\x1A");
    EXPECT_EQ(AtEnd(1), 0);
    EXPECT_EQ(LineInput(1).bytes(), "a");
    EXPECT_EQ(AtEnd(1), -1);
}

}  // namespace
