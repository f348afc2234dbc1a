// Titles imported from files as other programs write them: every line end, UTF-8 with and
// without a byte-order mark, characters Shift-JIS lacks counted in a notice, and a heading line
// that opens with a comma.
#include <gtest/gtest.h>

#include <cstring>

#include "app/fee/order_model.h"
#include "app/screens/import_screen.h"
#include "runtime/values/encoding.h"
#include "tests/screens/screen_fixture.h"
#include "tests/support/file_bytes.h"

namespace {

std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

class ImportFiles : public Screens {
protected:
    // The comics a file makes, of the fields chosen (0 and 1: a title and its volume), the
    // heading line ticked.
    std::vector<std::string> Import(const std::string& bytes, const std::vector<int>& fields = {0, 1}) {
        PutFileBytes("titles.CSV", bytes);
        Click(BUTTON5);
        platform.QueueFileChoice(std::string("titles.CSV"));
        for (const Obj* step : {&BUTTON10, &BUTTON17, &BUTTON19}) {
            if (step == &BUTTON17) for (int f : fields) platform.UserToggle(rt::WindowOf(LIST2), f);
            platform.QueueAnswer(rt::Answer::Ok);  // a notice, if there is one
            Click(*step);
            インポート_SUB();  // the step an import button leaves to the wait loop
            platform.ForgetQueued();
        }
        std::vector<std::string> titles;
        for (int i = 0; i < TITLE_COUNT(0); ++i) titles.push_back(TITLE_NAME(i, 0).bytes());
        return titles;
    }
};

// A file of three lines with one kind of line end: in Shift-JIS or UTF-8, the last line ended
// or not, or in UTF-8 after a byte-order mark.
enum class Form { ShiftJis, ShiftJisLastLineOpen, Utf8, Utf8LastLineOpen, Utf8Marked };
class ImportLineEnds : public ImportFiles, public testing::WithParamInterface<std::tuple<const char*, Form>> {};

TEST_P(ImportLineEnds, GiveTheTitlesOfTheShiftJisFile) {
    const auto [end, form] = GetParam();
    const bool utf8 = form >= Form::Utf8;
    std::string file = form == Form::Utf8Marked ? "\xEF\xBB\xBF" : "";
    for (const char* line : {"書名,巻", "ワンピース,1", "ナルト,2"})
        file += (utf8 ? *rt::SjisToUtf8(line) : line) + std::string(end);
    if (form == Form::ShiftJisLastLineOpen || form == Form::Utf8LastLineOpen) file.resize(file.size() - strlen(end));
    EXPECT_EQ(Import(file), (std::vector<std::string>{"ワンピース［１］", "ナルト［２］"}));
    EXPECT_TRUE(messages.empty()) << "no character was replaced";
}

INSTANTIATE_TEST_SUITE_P(Files, ImportLineEnds,
                         testing::Combine(testing::Values("\r\n", "\n", "\r"),
                                          testing::Values(Form::ShiftJis, Form::ShiftJisLastLineOpen, Form::Utf8,
                                                          Form::Utf8LastLineOpen, Form::Utf8Marked)));

TEST_F(ImportFiles, CharactersShiftJisLacksAreCountedByTheTitlesHoldingThem) {
    // "é", "☃" and "😀" have no Shift-JIS form; "本当？" has a question mark of its own, and the
    // third field is not chosen.
    const std::string file = U8(u8"書名,巻,備考\nCafé,1,x\n本当？,2,☃\n雪,☃,\n😀😀,4\n");
    EXPECT_EQ(Import(file),
              (std::vector<std::string>{"Ｃａｆ？［１］", "本当？［２］", "雪［？］", "？？［４］"}));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("タイトルが３冊あります。"), std::string::npos) << messages[0];
}

TEST_F(ImportFiles, AHeadingThatOpensWithACommaOffersItsLastField) {
    EXPECT_EQ(Import(",書名,巻\r\n,ワンピース,1\r\n", {2}), std::vector<std::string>{"１"});
}

}  // namespace
