// What an edit box accepts from the user: the byte limit, digits only, code page 932.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QComboBox>
#include <QGuiApplication>
#include <QLineEdit>
#include <QTest>

#include "runtime/backends/qt/qt_widgets.h"
#include "tests/qt/qt_test_support.h"

namespace rt::qt {
namespace {

using kvtest::Q;

struct InputCase {
    const char8_t* before;
    const char8_t* after;
    InputRules rules;
    const char8_t* expected;  // nullptr: refused
    int caret;
};

class AcceptsInput : public ::testing::TestWithParam<InputCase> {};

TEST_P(AcceptsInput, AsTheOriginalEditBox) {
    const InputCase& c = GetParam();
    const auto accepted = AcceptInput(Q(c.before), Q(c.after), c.rules);
    if (!c.expected) {
        EXPECT_FALSE(accepted.has_value());
        return;
    }
    ASSERT_TRUE(accepted.has_value());
    EXPECT_EQ(accepted->text, Q(c.expected));
    EXPECT_EQ(accepted->insertEnd, c.caret);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AcceptsInput,
    ::testing::Values(
        // Digits-only boxes (ES_NUMBER)
        InputCase{u8"12", u8"123", {0, true}, u8"123", 3},
        InputCase{u8"12", u8"12a", {0, true}, nullptr, 0},
        InputCase{u8"12", u8"1２2", {0, true}, nullptr, 0},  // full-width digits are not digits
        // A text the program put there does not stop the user from typing digits.
        InputCase{u8"abc", u8"abc1", {0, true}, u8"abc1", 4},
        // Byte limits: a full-width character takes two bytes.
        InputCase{u8"12345", u8"123456", {6, true}, u8"123456", 6},
        InputCase{u8"123456", u8"1234567", {6, true}, nullptr, 0},
        InputCase{u8"ああ", u8"あああ", {5, false}, nullptr, 0},
        InputCase{u8"ああ", u8"ああa", {5, false}, u8"ああa", 3},
        // A paste is cut to what fits, never in the middle of a character.
        InputCase{u8"ab", u8"aXYZb", {4, false}, u8"aXYb", 3},
        InputCase{u8"a", u8"aあい", {4, false}, u8"aあ", 2},
        // Deleting is fine even above the limit (the program's text may be longer).
        InputCase{u8"1234567", u8"123456", {3, false}, u8"123456", 6},
        // Characters code page 932 lacks are dropped, the yen sign is not; with nothing left
        // the change is refused.
        InputCase{u8"a", u8"a€", {0, false}, nullptr, 0},
        InputCase{u8"a", u8"a😀", {0, false}, nullptr, 0},
        InputCase{u8"a", u8"a¥", {0, false}, u8"a¥", 2}));

TEST(AcceptsInput, MultiLineBoxesCountLineBreaksAsTwoBytes) {
    const auto accepted = AcceptInput(QStringLiteral("ab"), QStringLiteral("ab\n"), {3, false}, LineEnds::CrLf);
    EXPECT_FALSE(accepted.has_value());
    EXPECT_TRUE(AcceptInput(QStringLiteral("ab"), QStringLiteral("ab\n"), {4, true}, LineEnds::CrLf).has_value());
}

// A paste (Ctrl+V) into the boxes of a form. EDIT1 takes a title, limited here to six bytes or
// not at all; EDIT2 takes five digits; COMBO1 ten bytes. The caret is after the paste; −1: refused.
struct PasteCase {
    const char* box;
    int titleLimit;
    const char8_t* before;
    const char8_t* clipboard;
    const char8_t* expected;
    int caret;
};
void PrintTo(const PasteCase& c, std::ostream* os) {
    *os << c.box << " " << reinterpret_cast<const char*>(c.clipboard);
}

class Pasting : public kvtest::FormFixture, public ::testing::WithParamInterface<PasteCase> {};

TEST_P(Pasting, KeepsWhatCouldBeTypedUpToTheLimit) {
    const PasteCase& c = GetParam();
    const rt::WinHandle box = Named(c.box);
    auto* edit = box == combo1 ? static_cast<QComboBox*>(W(box))->lineEdit() : static_cast<QLineEdit*>(W(box));
    Show();
    if (box == edit1) platform.SetMaxLength(box, c.titleLimit);
    platform.SetText(box, ToSjis(Q(c.before)));
    platform.SetFocus(box);
    edit->end(false);
    sink.events.clear();
    QGuiApplication::clipboard()->setText(Q(c.clipboard));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(edit->text(), Q(c.expected));
    if (c.caret < 0) {
        EXPECT_TRUE(sink.events.empty());
        return;
    }
    EXPECT_EQ(edit->cursorPosition(), c.caret);
    const std::string change = box == combo1 ? "ComboEdited " : "EditChanged ";
    EXPECT_EQ(sink.events, std::vector<std::string>{change + c.box});
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Pasting,
    ::testing::Values(PasteCase{"EDIT1", 0, u8"本", u8"ワ😀ン€１巻¥5鷗𠮷", u8"本ワン１巻¥5", 7},
                      PasteCase{"EDIT1", 0, u8"本", u8"😀€鷗", u8"本", -1},
                      PasteCase{"EDIT2", 0, u8"1", u8"2a２-3", u8"123", 3},
                      PasteCase{"EDIT2", 0, u8"12", u8"x34567", u8"12345", 5},
                      PasteCase{"EDIT1", 6, u8"abcd", u8"ef", u8"abcdef", 6},
                      PasteCase{"EDIT1", 6, u8"abcd", u8"efg", u8"abcdef", 6},
                      PasteCase{"EDIT1", 6, u8"abc", u8"あい", u8"abcあ", 4},
                      PasteCase{"EDIT1", 6, u8"abcde", u8"あ", u8"abcde", -1},
                      PasteCase{"EDIT1", 6, u8"ab", u8"😀cあ€d", u8"abcあd", 5},
                      PasteCase{"COMBO1", 0, u8"25123", u8"１2😀345", u8"25123１234", 9}));

}  // namespace
}  // namespace rt::qt
