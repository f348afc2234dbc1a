#include "runtime/backends/qt/qt_text.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QRawFont>

#include "runtime/backends/qt/qt_fonts.h"
#include "tests/qt/qt_test_support.h"

namespace rt::qt {
namespace {

using kvtest::Q;

struct YenCase {
    const char* sjis;
    const char8_t* shown;
};

class YenSign : public ::testing::TestWithParam<YenCase> {};

// 0x5C alone is the yen sign; as the trail byte of ソ (83 5C) or 表 (95 5C) it is not.
TEST_P(YenSign, ShowsSingleByte5CAsYenAndGivesTheSameBytesBack) {
    const YenCase& c = GetParam();
    const QString shown = FromSjis(c.sjis);
    EXPECT_EQ(shown, Q(c.shown));
    EXPECT_EQ(ToSjis(shown), std::string(c.sjis));
}

INSTANTIATE_TEST_SUITE_P(Texts, YenSign,
                         ::testing::Values(YenCase{"\x5C" "1400", u8"¥1400"}, YenCase{"ソ", u8"ソ"},
                                           YenCase{"表示価格", u8"表示価格"},
                                           YenCase{"差引小計 \x5C" "980", u8"差引小計 ¥980"},
                                           YenCase{"ｱｲｳ\x5C", u8"ｱｲｳ¥"}));

TEST(SjisText, LineEndsBecomeNewlinesOnlyWhereAsked) {
    EXPECT_EQ(FromSjis("a\r\nb", LineEnds::CrLf), QStringLiteral("a\nb"));
    EXPECT_EQ(FromSjis("a\r\nb"), QStringLiteral("a\r\nb"));
    EXPECT_EQ(ToSjis(QStringLiteral("a\nb"), LineEnds::CrLf), "a\r\nb");
    // A text that already has CR LF does not get a second CR.
    EXPECT_EQ(ToSjis(QStringLiteral("a\r\nb"), LineEnds::CrLf), "a\r\nb");
}

TEST(SjisText, WhatDoesNotConvertStaysVisible) {
    EXPECT_EQ(ToSjis(Q(u8"価格€10")), "価格?10");
    EXPECT_EQ(ToSjis(Q(u8"a😀b")), "a?b");  // one '?' for the pair of surrogates
    EXPECT_EQ(FromSjis("a\x81"), QStringLiteral("a?"));
    EXPECT_EQ(FromSjis(std::string("ab\0cd", 5)), QStringLiteral("ab"));  // texts end at a NUL
}

// The work-fee details cut a title at 20 bytes, sometimes after the lead byte of a character.
// That byte is drawn in the statement's own face, one half-width column wide, so its row keeps
// its height and the columns after it stay in place.
TEST(SjisText, ALoneLeadByteIsOneColumnOfTheStatementsOwnFace) {
    const QFont statement = MakeFont(FontSpec{"ＭＳ 明朝", 14, FontUnit::Pixels}, FontUse::ByteColumns);
    const QFontMetrics metrics(statement);
    for (const char* cut : {"\x83", "\x96", "\xE0", "\xFC"}) {
        const std::string row = std::string("ワンピース　第一巻か") + cut + "  \x5C" "1,400";
        const QString shown = FromSjis(row);
        ASSERT_EQ(shown.size(), 10 + 1 + 2 + 6);
        const QChar lone = shown.at(10);
        EXPECT_TRUE(QRawFont::fromFont(statement).supportsCharacter(lone)) << "drawn from another face";
        EXPECT_EQ(metrics.horizontalAdvance(lone), metrics.horizontalAdvance(u'a'));
        EXPECT_EQ(ToSjis(shown).size(), row.size()) << "one byte, one column";
    }
}

TEST(SjisPath, ConvertsWhatRoundTripsAndRefusesTheRest) {
    EXPECT_EQ(PathToSjis(Q(u8"/tmp/メール添付用.TXT")), std::optional<std::string>("/tmp/メール添付用.TXT"));
    EXPECT_EQ(PathToSjis(QStringLiteral("/tmp/a\\b")), std::optional<std::string>("/tmp/a\x5C" "b"));
    // U+00A5 would come back as a backslash: another file.
    EXPECT_EQ(PathToSjis(Q(u8"/tmp/¥100.txt")), std::nullopt);
    EXPECT_EQ(PathToSjis(Q(u8"/tmp/€.txt")), std::nullopt);
    // A path keeps its backslash (no yen sign) on the way in.
    EXPECT_EQ(PathFromSjis("/tmp/a\x5C" "b"), QStringLiteral("/tmp/a\\b"));
}

TEST(SjisOffsets, CountBytesAsTheProgramDoes) {
    const QString text = Q(u8"aあ¥ｱ\nい");
    EXPECT_EQ(SjisLength(text), 1 + 2 + 1 + 1 + 1 + 2);
    EXPECT_EQ(SjisLength(text, LineEnds::CrLf), 1 + 2 + 1 + 1 + 2 + 2);
    EXPECT_EQ(SjisOffsetOf(text, 2, LineEnds::AsIs), 3);
    EXPECT_EQ(IndexOfSjisOffset(text, 3, LineEnds::AsIs), 2);
    EXPECT_EQ(IndexOfSjisOffset(text, 7, LineEnds::CrLf), 5);
    // An offset in the middle of a double-byte character stands after it.
    EXPECT_EQ(IndexOfSjisOffset(text, 2, LineEnds::AsIs), 2);
    EXPECT_EQ(IndexOfSjisOffset(text, 100, LineEnds::AsIs), text.size());
}

}  // namespace
}  // namespace rt::qt
