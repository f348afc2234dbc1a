// Reading a script line: the UTF-8 check at its boundaries, and where a text argument starts.
#include "runtime/driver/script_line.h"

#include <gtest/gtest.h>

namespace {

struct Bytes {
    const char* bytes;
    bool utf8;
};
class Utf8Check : public testing::TestWithParam<Bytes> {};

TEST_P(Utf8Check, AcceptsWellFormedUtf8Only) {
    EXPECT_EQ(rt::IsUtf8(GetParam().bytes), GetParam().utf8) << testing::PrintToString(std::string(GetParam().bytes));
}

INSTANTIATE_TEST_SUITE_P(Boundaries, Utf8Check,
                         testing::Values(Bytes{"plain ASCII", true}, Bytes{"\xC2\x80", true},
                                         Bytes{"\xC1\xBF", false},                                   // overlong
                                         Bytes{"\xE0\xA0\x80", true}, Bytes{"\xE0\x9F\xBF", false},  // overlong
                                         Bytes{"\xED\x9F\xBF", true}, Bytes{"\xED\xA0\x80", false},  // a surrogate
                                         Bytes{"\xF0\x90\x80\x80", true}, Bytes{"\xF0\x8F\xBF\xBF", false},  // overlong
                                         Bytes{"\xF4\x8F\xBF\xBF", true},
                                         Bytes{"\xF4\x90\x80\x80", false},                  // past U+10FFFF
                                         Bytes{"\xE3\x81", false},                          // cut short
                                         Bytes{"\x80", false}, Bytes{"\x82\xA0", false}));  // Shift-JIS

TEST(ScriptLine, TextStartsAfterOneBlankAndKeepsTheRest) {
    rt::ScriptLine line("  type\tF.C  a  b ");
    ASSERT_EQ(line.Size(), 4u);
    EXPECT_EQ(line.Word(1), "F.C");
    EXPECT_EQ(line.RestAfter(1), " a  b ");
    EXPECT_EQ(line.From(2), "a  b");
    EXPECT_EQ(rt::ScriptLine("type F.C").RestAfter(1), std::nullopt);
    EXPECT_TRUE(rt::ScriptLine(" \t ").IsBlankOrComment());
    EXPECT_TRUE(rt::ScriptLine("\t#x").IsBlankOrComment());
}

}  // namespace
