#include "runtime/values/text.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/support/expect_error.h"

namespace {

TEST(ByteOperations, CutAtByteBoundariesEvenInsideACharacter) {
    Text abc("ABC");
    EXPECT_EQ(TextMid(abc, 4), Text());
    EXPECT_EQ(TextMid(abc, 2, 10), Text("BC"));
    EXPECT_EQ(TextMid(abc, 3, 0), Text());
    EXPECT_EQ(TextLeft(abc, 5), abc);
    EXPECT_EQ(TextRight(abc, 2), Text("BC"));
    EXPECT_EQ(TextRight(abc, 9), abc);
    // "漢字" is four bytes; byte operations may return half a character.
    Text kanji("漢字");
    EXPECT_EQ(TextLength(kanji), 4);
    EXPECT_EQ(TextLeft(kanji, 1).size(), 1u);
    EXPECT_EQ(TextMid(kanji, 2, 2).bytes(), std::string({kanji.bytes()[1], kanji.bytes()[2]}));
}

TEST(ByteOperations, ArgumentErrors) {
    Text abc("ABC");
    EXPECT_RT_ERROR(TextMid(abc, 0), 5);
    EXPECT_RT_ERROR(TextMid(abc, 1, -1), 5);
    EXPECT_RT_ERROR(TextLeft(abc, -1), 5);
    EXPECT_RT_ERROR(TextRight(abc, -1), 5);
    EXPECT_RT_ERROR(TextRepeat(-1, 32), 5);
    EXPECT_RT_ERROR(TextRepeat(3, 256), 5);
    EXPECT_RT_ERROR(TextFromCodes({65, 256}), 5);
    EXPECT_RT_ERROR(TextFind(0, abc, Text("A")), 5);
}

TEST(ByteOperations, MidStoreNeverChangesTheLength) {
    Text v("ABCDE");
    TextMidStore(v, 2, 10, Text("xy"));
    EXPECT_EQ(v, Text("AxyDE"));
    TextMidStore(v, 4, 5, Text("1234"));
    EXPECT_EQ(v, Text("Axy12"));
    TextMidStore(v, 1, 1, Text("ZZ"));
    EXPECT_EQ(v, Text("Zxy12"));
    TextMidStore(v, 9, 0, Text("Q"));  // count 0: nothing, not even the position check
    EXPECT_EQ(v, Text("Zxy12"));
    EXPECT_RT_ERROR(TextMidStore(v, 6, 1, Text("Q")), 5);
    EXPECT_RT_ERROR(TextMidStore(v, 0, 1, Text("Q")), 5);
    EXPECT_RT_ERROR(TextMidStore(v, 1, -1, Text("Q")), 5);
}

TEST(ByteOperations, FindIsByteWise) {
    Text hay("ABCABC");
    EXPECT_EQ(TextFind(1, hay, Text("C")), 3);
    EXPECT_EQ(TextFind(4, hay, Text("C")), 6);
    EXPECT_EQ(TextFind(3, hay, Text()), 3);
    EXPECT_EQ(TextFind(7, hay, Text()), 0);
    EXPECT_EQ(TextFind(1, Text(), Text()), 0);
    EXPECT_EQ(TextFind(1, Text("AB"), Text("ABC")), 0);
    EXPECT_EQ(TextFind(1, hay, Text("X")), 0);
    // "ソ" ends in the byte 0x5C; a byte-wise search finds a backslash inside it.
    EXPECT_EQ(TextFind(1, Text("ソ"), Text("\\")), 2);
}

TEST(ByteOperations, CompareIsUnsignedAndPrefixIsSmaller) {
    EXPECT_LT(TextCompare(Text("AB"), Text("ABC")), 0);
    EXPECT_GT(TextCompare(Text("B"), Text("ABC")), 0);
    EXPECT_EQ(TextCompare(Text(), Text()), 0);
    EXPECT_GT(TextCompare(Text("\x81"), Text("\x7F")), 0);  // bytes are unsigned
    EXPECT_TRUE(Text("AB") < Text("ABC"));
    EXPECT_EQ(TextRepeat(3, 0), Text(std::string(3, '\0')));  // NUL is an ordinary byte
    EXPECT_EQ(TextFromCodes({27}).size(), 1u);
}

TEST(CharacterOperations, DoubleByteCharactersCountOnce) {
    Text mixed("Aあｱ漢");  // 1 + 2 + 1 + 2 bytes
    EXPECT_EQ(CharCount(mixed, 0), 4);
    EXPECT_EQ(CharCount(mixed, 1), 2);
    EXPECT_EQ(CharCount(mixed, 2), 2);
    EXPECT_RT_ERROR(CharCount(mixed, 3), 5);
    EXPECT_EQ(CharMid(mixed, 2, 1), Text("あ"));
    EXPECT_EQ(CharMid(mixed, 2, 2), Text("あｱ"));
    EXPECT_EQ(CharMid(mixed, 4, 9), Text("漢"));
    EXPECT_EQ(CharMid(mixed, 5, 1), Text());
    EXPECT_EQ(CharMid(mixed, 1, 0), Text());
    EXPECT_RT_ERROR(CharMid(mixed, 0, 1), 5);
    EXPECT_RT_ERROR(CharMid(mixed, 1, -1), 5);
    // A lead byte at the very end is a character of its own.
    Text dangling("A\x82");
    EXPECT_EQ(CharCount(dangling, 0), 2);
    EXPECT_EQ(CharMid(dangling, 2, 1), Text("\x82"));
}

TEST(CharacterOperations, JisChar) {
    EXPECT_EQ(JisChar(0x2422), Text("あ"));
    EXPECT_EQ(JisChar(0x3441), Text("漢"));
    EXPECT_EQ(JisChar(0x2121), Text("　"));
    EXPECT_EQ(JisChar(0x2140), Text("＼"));
    EXPECT_EQ(JisChar(0x2020), Text());
    EXPECT_EQ(JisChar(0x217F), Text());
    EXPECT_EQ(JisChar(0x41), Text());
}

struct WideCase {
    const char* in;
    const char* out;
};
class FullWidth : public testing::TestWithParam<WideCase> {};

TEST_P(FullWidth, Converts) { EXPECT_EQ(ToFullWidth(Text(GetParam().in)), Text(GetParam().out)) << GetParam().out; }

INSTANTIATE_TEST_SUITE_P(
    Cases, FullWidth,
    testing::Values(WideCase{"A1 ", "Ａ１　"}, WideCase{"12.5E+06", "１２．５Ｅ＋０６"},
                    WideCase{"\\~", "￥￣"}, WideCase{"\x7F", "　"}, WideCase{"ｶﾞ", "ガ"}, WideCase{"ﾊﾟ", "パ"},
                    WideCase{"ﾋﾟﾌﾟﾍﾟ", "ピプペ"}, WideCase{"ﾎﾟｽﾄ", "ポスト"},
                    WideCase{"ﾊﾞ", "バ"}, WideCase{"ﾄﾞ", "ド"}, WideCase{"ｱﾞ", "ア゛"}, WideCase{"ｶﾟ", "カ゜"},
                    WideCase{"ﾞ", "゛"}, WideCase{"ﾟ", "゜"}, WideCase{"\xA0ｦﾝ", "　ヲン"},
                    WideCase{"漢字", "漢字"}, WideCase{"ソ", "ソ"}, WideCase{"", ""},
                    // Control bytes, 0x80, 0xFD–0xFF and a dangling lead byte become "■".
                    WideCase{"\t\x80\xFD\xFF", "■■■■"}, WideCase{"A\x82", "Ａ■"},
                    // A mark after a double-byte character is not folded in, whatever its trail
                    // byte (B6 to C4 and CA to CE are those of ｶ..ﾄ and ﾊ..ﾎ).
                    WideCase{"カﾞ", "カ゛"}, WideCase{"宛ﾞ", "宛゛"}, WideCase{"じﾞ", "じ゛"},
                    WideCase{"ぬﾟ", "ぬ゜"}, WideCase{"Ωﾞｶﾞ", "Ω゛ガ"}, WideCase{"ｱカﾞ", "アカ゛"}));

TEST(FullWidth, EveryAsciiAndKanaByteBecomesOneDoubleByteCharacter) {
    std::string all;
    for (int c = 0x20; c <= 0x7E; ++c) all += static_cast<char>(c);
    for (int c = 0xA0; c <= 0xDD; ++c) all += static_cast<char>(c);
    Text wide = ToFullWidth(Text(all));
    EXPECT_EQ(wide.size(), 2 * all.size());
    EXPECT_EQ(CharCount(wide, 2), static_cast<Int32>(all.size()));
}

TEST(TodayText, OverrideAndFormat) {
    setenv("KALVORO_TODAY", "2027-01-31", 1);
    EXPECT_EQ(TodayText(), Text("2027/01/31"));
    setenv("KALVORO_TODAY", "999-5-1", 1);
    EXPECT_EQ(TodayText(), Text("0999/05/01"));
    unsetenv("KALVORO_TODAY");
    Text now = TodayText();
    ASSERT_EQ(now.size(), 10u);
    EXPECT_EQ(now.at(4), '/');
    EXPECT_EQ(now.at(7), '/');
}

TEST(TodayText, ADayTheCalendarLacksGivesWayToTheClock) {
    unsetenv("KALVORO_TODAY");
    const Text clock = TodayText();
    for (const char* impossible : {"2026-02-29", "2026-04-31", "2026-13-01", "2024-01-011", "20240-01-01", "2024-011-01"}) {
        setenv("KALVORO_TODAY", impossible, 1);
        EXPECT_EQ(TodayText(), clock) << impossible;
    }
    setenv("KALVORO_TODAY", "2028-02-29", 1);
    EXPECT_EQ(TodayText(), Text("2028/02/29"));
    unsetenv("KALVORO_TODAY");
}

}  // namespace
