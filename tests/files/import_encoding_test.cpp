// How an import file is told UTF-8: the UTF-8 rule at the first and last valid sequence of each
// length and the invalid ones just beyond, and lines valid in both encodings.
#include "app/files/import_encoding.h"

#include <gtest/gtest.h>

namespace {

TEST(ImportEncoding, Utf8OnlyWhereShiftJisCannotBe) {
    // A title no Shift-JIS file can hold ("ワンピース" in UTF-8), so the sequence alone decides.
    const std::string_view onlyUtf8 = "\xE3\x83\xAF\xE3\x83\xB3\xE3\x83\x94\xE3\x83\xBC\xE3\x82\xB9";
    const std::pair<const char*, bool> sequences[] = {
        {"\xC2\x80", true}, {"\xC1\xBF", false}, {"\xDF\xBF", true}, {"\xE0\xA0\x80", true}, {"\xE0\x9F\xBF", false},
        {"\xED\x9F\xBF", true}, {"\xED\xA0\x80", false}, {"\xEF\xBF\xBF", true}, {"\xF0\x90\x80\x80", true},
        {"\xF0\x8F\xBF\xBF", false}, {"\xF4\x8F\xBF\xBF", true}, {"\xF4\x90\x80\x80", false}, {"\xE3\x81", false}};
    for (const auto& [bytes, utf8] : sequences)
        EXPECT_EQ(EncodingOfImportLines(false, {bytes, onlyUtf8}), utf8 ? ImportEncoding::Utf8 : ImportEncoding::ShiftJis)
            << testing::PrintToString(std::string(bytes));

    // Shift-JIS half-width "ﾅｵ" and ASCII are valid in both encodings: Shift-JIS unless marked.
    const std::vector<std::string_view> both = {"\xC5\xB5", "AKIRA"};
    EXPECT_EQ(EncodingOfImportLines(false, both), ImportEncoding::ShiftJis);
    EXPECT_EQ(EncodingOfImportLines(true, both), ImportEncoding::Utf8);
    // UTF-8 "日本" is valid Shift-JIS too, but only as rare kanji between half-width katakana.
    EXPECT_EQ(EncodingOfImportLines(false, {"\xE6\x97\xA5\xE6\x9C\xAC", "AKIRA"}), ImportEncoding::Utf8);
    // The mark goes whole: no byte of it is left before the first field.
    std::string marked = "\xEF\xBB\xBF\xE9\xA1\x8C";
    EXPECT_TRUE(StripUtf8ByteOrderMark(marked));
    EXPECT_EQ(marked, "\xE9\xA1\x8C");
}

}  // namespace
