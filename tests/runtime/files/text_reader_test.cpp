#include "runtime/files/text_reader.h"

#include <gtest/gtest.h>

#include <cfenv>
#include <string>

namespace {

using rt::ReadStatus;
using rt::TextReader;

// The line rules are tested through the channels (channels_test.cpp); these are what only the
// non-raising reader shows: its statuses, where it stands after a failure and its line numbers.

TEST(TextReader, LineNumbersFollowTheLineEnds) {
    TextReader reader("one\r\ntwo\rthree\nstill three\r\n");
    Text line;
    EXPECT_EQ(reader.line(), 1);
    ASSERT_EQ(reader.Line(line), ReadStatus::Ok);
    EXPECT_EQ(reader.line(), 2);
    EXPECT_EQ(reader.lineOfLastRead(), 1);
    ASSERT_EQ(reader.Line(line), ReadStatus::Ok);
    ASSERT_EQ(reader.Line(line), ReadStatus::Ok);
    EXPECT_EQ(line.bytes(), "three\nstill three");
    EXPECT_EQ(reader.lineOfLastRead(), 3);
    EXPECT_EQ(reader.line(), 4);
    EXPECT_EQ(reader.Line(line), ReadStatus::PastEnd);
    EXPECT_EQ(reader.line(), 4);
}

TEST(TextReader, FieldsOfOneLineKeepItsNumberUntilTheLineEnds) {
    TextReader reader("a,b\r\nc");
    Text field;
    ASSERT_EQ(reader.Field(field), ReadStatus::Ok);
    EXPECT_EQ(reader.line(), 1);
    ASSERT_EQ(reader.Field(field), ReadStatus::Ok);
    EXPECT_EQ(field.bytes(), "b");
    EXPECT_EQ(reader.line(), 2);
    EXPECT_EQ(reader.lineOfLastRead(), 1);
}

TEST(TextReader, QuotedFieldAcrossALineEndCountsIt) {
    TextReader reader("\"a\r\nb\",c");
    Text field;
    ASSERT_EQ(reader.Field(field), ReadStatus::Ok);
    EXPECT_EQ(field.bytes(), "a\r\nb");
    EXPECT_EQ(reader.line(), 2);
    // A dropped NUL before the quote, among the blanks or not, still leaves it opening the field.
    using namespace std::string_literals;
    for (const std::string& lead : {"\0"s, " \0 "s}) {
        TextReader quoted(lead + "\"a,b\",c");
        ASSERT_EQ(quoted.Field(field), ReadStatus::Ok);
        EXPECT_EQ(field.bytes(), "a,b") << lead.size();
    }
}

TEST(TextReader, TooLongLineConsumesNothing) {
    TextReader reader(std::string(32768, 'x') + "\r\nnext");
    Text line("kept");
    EXPECT_EQ(reader.Line(line), ReadStatus::LineTooLong);
    EXPECT_EQ(line.bytes(), "kept");
    EXPECT_EQ(reader.line(), 1);
    EXPECT_EQ(reader.Line(line), ReadStatus::LineTooLong);
}

TEST(TextReader, DroppedNulBytesDoNotCountTowardsTheLimit) {
    TextReader reader(std::string(32767, 'x') + std::string(3, '\0'));
    Text line;
    ASSERT_EQ(reader.Line(line), ReadStatus::Ok);
    EXPECT_EQ(line.size(), 32767u);
}

TEST(TextReader, EmptyNumberBeforeACommaOnly) {
    TextReader reader(" ,:\r\n");
    double value = 7;
    EXPECT_EQ(reader.NumberField(value), ReadStatus::EmptyNumber);
    EXPECT_EQ(reader.NumberField(value), ReadStatus::Ok);  // before a colon: 0
    EXPECT_EQ(value, 0);
    EXPECT_EQ(reader.NumberField(value), ReadStatus::Ok);  // before the line end: 0
    EXPECT_EQ(reader.NumberField(value), ReadStatus::PastEnd);
}

// Beyond a Double, and beyond what the conversion holds at all: the overflow it raised is not left
// for the program's next store, which would end the program with error 6.
TEST(TextReader, NumberBeyondADoubleIsAStatusNotTheEnd) {
    std::feclearexcept(FE_ALL_EXCEPT);
    TextReader reader("1E999,1E5000,2");
    double value = 0;
    EXPECT_EQ(reader.NumberField(value), ReadStatus::Overflow);
    EXPECT_EQ(reader.NumberField(value), ReadStatus::Overflow);
    EXPECT_EQ(std::fetestexcept(FE_OVERFLOW), 0);
    EXPECT_EQ(reader.NumberField(value), ReadStatus::Ok);
    EXPECT_EQ(value, 2);
}

TEST(TextReader, AtEndWithAFinalCtrlZ) {
    EXPECT_TRUE(TextReader("").AtEnd());
    EXPECT_TRUE(TextReader("\x1A").AtEnd());
    EXPECT_FALSE(TextReader("\x1A\x1A").AtEnd());
    EXPECT_FALSE(TextReader("\x1A" "a").AtEnd());
    EXPECT_FALSE(TextReader(" ").AtEnd());
}

}  // namespace
