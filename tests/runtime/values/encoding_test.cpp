// The characters whose code page 932 bytes the conversion tables of different systems map apart
// (the wave dash, the parallel sign, the minus, the not, cent and pound signs), the characters it
// has twice, and the bytes that are no character: every build of the program must turn the same
// bytes into the same characters and back, or a file read on one system would be written back
// other on another.
#include <gtest/gtest.h>

#include "runtime/values/encoding.h"

namespace {

struct Mapping {
    const char* sjis;
    const char8_t* utf8;          // nullptr: no character
    const char* back = nullptr;   // the code page's own bytes for a character it has twice
};

std::string Bytes(const char8_t* utf8) { return reinterpret_cast<const char*>(utf8); }

class SameOnEverySystem : public ::testing::TestWithParam<Mapping> {};

TEST_P(SameOnEverySystem, BytesBecomeTheseCharactersAndBack) {
    const Mapping m = GetParam();
    const std::optional<std::string> utf8 = rt::SjisToUtf8(m.sjis);
    if (!m.utf8) {
        EXPECT_FALSE(utf8);
        return;
    }
    ASSERT_TRUE(utf8);
    EXPECT_EQ(*utf8, Bytes(m.utf8));
    EXPECT_EQ(rt::Utf8ToSjis(Bytes(m.utf8)), std::string(m.back ? m.back : m.sjis));
}

INSTANTIATE_TEST_SUITE_P(Cp932, SameOnEverySystem,
                         ::testing::Values(Mapping{"\x81\x60", u8"～"}, Mapping{"\x81\x61", u8"∥"},
                                           Mapping{"\x81\x7C", u8"－"}, Mapping{"\x81\xCA", u8"￢"},
                                           Mapping{"\x81\x91", u8"￠"}, Mapping{"\x81\x92", u8"￡"},
                                           Mapping{"\x87\x90", u8"≒", "\x81\xE0"},
                                           Mapping{"\xED\x40", u8"纊", "\xFA\x5C"},
                                           Mapping{"\xA1", u8"｡"}, Mapping{"\xDF", u8"ﾟ"},
                                           Mapping{"\x80", nullptr}, Mapping{"\xA0", nullptr},
                                           Mapping{"\xFD", nullptr}, Mapping{"\x81\x7F", nullptr}));

}  // namespace
