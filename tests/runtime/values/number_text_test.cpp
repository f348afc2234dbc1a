#include "runtime/values/number_text.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "tests/support/expect_error.h"

namespace {

struct SingleCase {
    float value;
    const char* text;
};

class SingleToText : public testing::TestWithParam<SingleCase> {};

TEST_P(SingleToText, MatchesTheProgramsForm) {
    EXPECT_EQ(NumberToText(GetParam().value).bytes(), GetParam().text) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(
    FixedAndExponentForms, SingleToText,
    testing::Values(
        SingleCase{0.0f, " 0"}, SingleCase{-0.0f, " 0"}, SingleCase{5.0f, " 5"}, SingleCase{-3.0f, "-3"},
        SingleCase{12.5f, " 12.5"}, SingleCase{1200.0f, " 1200"}, SingleCase{0.05f, " .05"},
        SingleCase{-0.5f, "-.5"}, SingleCase{999999.0f, " 999999"}, SingleCase{1000000.0f, " 1E+06"},
        SingleCase{1234567.0f, " 1.23457E+06"}, SingleCase{22400.0f, " 22400"},
        // half up on the exact binary value: 1234565 is exact, so its 5 rounds up
        SingleCase{1234565.0f, " 1.23457E+06"}, SingleCase{1234564.0f, " 1.23456E+06"},
        // carries through 9s, up into a new leading digit
        SingleCase{999999.5f, " 1E+06"}, SingleCase{9999995.0f, " 1E+07"},
        SingleCase{199999.5f, " 200000"}, SingleCase{0.1f, " .1"}, SingleCase{0.3f, " .3"},
        SingleCase{1e-5f, " .00001"}, SingleCase{1.5e-5f, " .000015"}, SingleCase{1e-6f, " .000001"},
        SingleCase{1e-7f, " 1E-07"},
        SingleCase{1.25e-7f, " 1.25E-07"}, SingleCase{3.0e38f, " 3E+38"}, SingleCase{1e20f, " 1E+20"},
        SingleCase{123456.7f, " 123457"}, SingleCase{-1400.0f, "-1400"}));

TEST(NumberToText, SingleExponentUsesThreeDigitsOnlyWhenNeeded) {
    EXPECT_EQ(NumberToText(1e-10f).bytes(), " 1E-10");
    EXPECT_EQ(NumberToText(1.4e-45f).bytes(), " 1.4013E-45");
}

TEST(NumberToText, IntegersAreAlwaysExactAndFixed) {
    EXPECT_EQ(NumberToText(Int32{1234567}).bytes(), " 1234567");
    EXPECT_EQ(NumberToText(Int32{-2147483647 - 1}).bytes(), "-2147483648");
    EXPECT_EQ(NumberToText(Int16(5)).bytes(), " 5");
    EXPECT_EQ(NumberToText(Int16(-32768)).bytes(), "-32768");
    EXPECT_EQ(NumberToText(Int32{0}).bytes(), " 0");
}

TEST(NumberToText, DoubleKeepsFifteenDigitsAndWritesD) {
    EXPECT_EQ(NumberToText(0.1).bytes(), " .1");
    EXPECT_EQ(NumberToText(1234567.0).bytes(), " 1234567");
    EXPECT_EQ(NumberToText(123456789012345.0).bytes(), " 123456789012345");
    EXPECT_EQ(NumberToText(1234567890123456.0).bytes(), " 1.23456789012346D+015");
    EXPECT_EQ(NumberToText(1e15).bytes(), " 1D+015");
    EXPECT_EQ(NumberToText(-2.5e-20).bytes(), "-2.5D-020");
    EXPECT_EQ(NumberToText(1e300).bytes(), " 1D+300");
    EXPECT_EQ(NumberToText(1.0 / 3).bytes(), " .333333333333333");
    EXPECT_EQ(NumberToText(2.0 / 3).bytes(), " .666666666666667");
    EXPECT_EQ(NumberToText(0.1 + 0.2).bytes(), " .3");
}

TEST(NumberToText, NotANumberAndInfinity) {
    EXPECT_EQ(NumberToText(std::numeric_limits<double>::quiet_NaN()).bytes(), "nan");
    EXPECT_EQ(NumberToText(std::numeric_limits<float>::infinity()).bytes(), "inf");
}

struct ParseCase {
    const char* text;
    double value;
};

class TextToNumberCases : public testing::TestWithParam<ParseCase> {};

TEST_P(TextToNumberCases, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(TextToNumber(Text(GetParam().text)), GetParam().value) << GetParam().text;
}

INSTANTIATE_TEST_SUITE_P(
    Forms, TextToNumberCases,
    testing::Values(ParseCase{" 12", 12}, ParseCase{"12 34", 12}, ParseCase{"1,200", 1},
                    ParseCase{"１２", 0}, ParseCase{"-.5", -0.5}, ParseCase{"abc", 0}, ParseCase{"", 0},
                    ParseCase{"   ", 0}, ParseCase{"+7", 7}, ParseCase{"- 7", 0}, ParseCase{".5", 0.5},
                    ParseCase{".", 0}, ParseCase{"1.5.2", 1.5}, ParseCase{"1E3", 1000},
                    ParseCase{"2.5d2", 250}, ParseCase{"3e", 3}, ParseCase{"12:30", 12},
                    ParseCase{"&HFF", 255}, ParseCase{"&O17", 15}, ParseCase{"1400円", 1400},
                    ParseCase{"0012", 12}));

// Whole numbers are read without the C library up to 18 digits: bit for bit what it reads, on
// both sides of that length and of the double's 53-bit mantissa.
TEST(TextToNumber, WholeNumbersReadExactlyAsTheLibraryReadsThem) {
    for (const char* sign : {"", "-", "+"}) {
        for (size_t length = 1; length <= 20; ++length) {
            for (const std::string& digits : {std::string(length, '9'), "1" + std::string(length - 1, '0'),
                                              std::string(length, '0'), "9007199254740993" + std::string(length, '7')}) {
                const std::string text = sign + digits;
                const double expected = static_cast<double>(std::strtold(text.c_str(), nullptr));
                const double read = TextToNumber(Text(text));
                EXPECT_EQ(std::memcmp(&read, &expected, sizeof read), 0) << text;
            }
        }
    }
}

TEST(TextToNumber, TooLargeForADoubleIsAnOverflow) {
    EXPECT_RT_ERROR(TextToNumber(Text("1E400")), 6);
    EXPECT_DOUBLE_EQ(TextToNumber(Text("1E300")), 1e300);
}

}  // namespace
