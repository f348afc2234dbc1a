// The standard controls' own behaviour that the program depends on, as the headless back end
// keeps it.
#include "runtime/backends/headless.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using rt::ControlKind;
using rt::HeadlessPlatform;
namespace st = rt::style;

class Controls : public testing::Test {
protected:
    rt::WinHandle Make(ControlKind kind, uint32_t style, rt::Rect r = {}) {
        rt::WindowSpec s;
        s.kind = kind;
        s.parent = form;
        s.style = 0x40000000 | st::kVisible | style;
        rt::WinHandle w = p.Create(s);
        p.SetGeometry(w, r);
        return w;
    }
    HeadlessPlatform p;
    rt::WinHandle form = p.Create({});
};

TEST_F(Controls, OptionButtonsAreGroupedByTheGroupBoxAroundThem) {
    // As on the title screen: book type and course are siblings in two separate boxes.
    auto r1 = Make(ControlKind::OptionButton, st::kBsAutoRadioButton, {216, 72, 96, 16});
    auto r2 = Make(ControlKind::OptionButton, st::kBsAutoRadioButton, {216, 104, 96, 16});
    Make(ControlKind::GroupBox, st::kBsGroupBox, {200, 48, 120, 80});
    auto r3 = Make(ControlKind::OptionButton, st::kBsAutoRadioButton, {448, 72, 104, 16});
    auto r5 = Make(ControlKind::OptionButton, st::kBsAutoRadioButton, {448, 104, 160, 16});
    Make(ControlKind::GroupBox, st::kBsGroupBox, {432, 48, 184, 88});
    p.SetCheck(r1, 1);
    p.SetCheck(r5, 1);
    p.UserClick(r2);
    EXPECT_EQ(p.GetCheck(r1), 0);
    EXPECT_EQ(p.GetCheck(r2), 1);
    EXPECT_EQ(p.GetCheck(r5), 1);
    p.UserClick(r3);
    EXPECT_EQ(p.GetCheck(r5), 0);
    EXPECT_EQ(p.GetCheck(r2), 1);
}

TEST_F(Controls, AutoCheckBoxTogglesAndPlainButtonsDoNot) {
    auto c = Make(ControlKind::CheckBox, st::kBsAutoCheckBox);
    p.UserClick(c);
    EXPECT_EQ(p.GetCheck(c), 1);
    p.UserClick(c);
    EXPECT_EQ(p.GetCheck(c), 0);
    p.SetCheck(c, 2);
    p.UserClick(c);
    EXPECT_EQ(p.GetCheck(c), 0);
}

struct TypeCase {
    uint32_t style;
    int maxLength;
    const char* typed;
    const char* kept;
};
class Typing : public Controls, public testing::WithParamInterface<TypeCase> {};

TEST_P(Typing, KeepsDigitsOnlyAndTheLimit) {
    auto e = Make(ControlKind::Edit, GetParam().style);
    p.SetMaxLength(e, GetParam().maxLength);
    p.UserType(e, GetParam().typed);
    EXPECT_EQ(p.GetText(e), GetParam().kept);
}

INSTANTIATE_TEST_SUITE_P(Cases, Typing,
                         testing::Values(TypeCase{st::kEsNumber, 5, "12a3", "123"},
                                         TypeCase{st::kEsNumber, 5, "1234567", "12345"},
                                         TypeCase{st::kEsNumber, 3, "１２3", "3"},
                                         TypeCase{0, 3, "ab漢", "ab"},  // a character is never split
                                         TypeCase{0, 4, "ab漢", "ab漢"}, TypeCase{0, 0, "", ""}));

TEST_F(Controls, ListsKeepSelectionRulesAndSortedInsertion) {
    auto multi = Make(ControlKind::ListBox, st::kLbsMultipleSel);
    for (const char* s : {"a", "b", "c"}) p.ListAdd(multi, s);
    p.UserToggle(multi, 0);
    p.UserToggle(multi, 2);
    EXPECT_TRUE(p.ListIsSelected(multi, 0));
    EXPECT_FALSE(p.ListIsSelected(multi, 1));
    p.UserToggle(multi, 0);
    EXPECT_FALSE(p.ListIsSelected(multi, 0));
    auto sorted = Make(ControlKind::ListBox, st::kLbsSort);
    for (const char* s : {"b", "c", "a"}) p.ListAdd(sorted, s);
    EXPECT_EQ(p.ListItem(sorted, 0), "a");
    EXPECT_EQ(p.ListItem(sorted, 2), "c");
    auto combo = Make(ControlKind::ComboBox, st::kCbsDropDown);
    p.ListAdd(combo, "x");
    p.UserSelect(combo, 0);
    EXPECT_EQ(p.GetText(combo), "x");  // the edit field takes the chosen item
}

TEST(ErrorReports, AreKeptAndToldWithoutTakingAQueuedAnswer) {
    HeadlessPlatform p;
    std::vector<std::string> told;
    p.SetErrorReportObserver([&](const HeadlessPlatform::ShownReport& r) { told.push_back(r.caption + "|" + r.help); });
    p.QueueAnswer(rt::Answer::Yes);
    p.ErrorReport(0, "KALVORO.EXE", "report", "help");
    p.ErrorReport(0, "KALVORO.EXE", "second", "more help");
    ASSERT_EQ(p.ErrorReports().size(), 2u);
    EXPECT_EQ(p.ErrorReports()[0].report, "report");
    EXPECT_EQ(p.ErrorReports()[1].help, "more help");
    EXPECT_EQ(told, (std::vector<std::string>{"KALVORO.EXE|help", "KALVORO.EXE|more help"}));
    EXPECT_EQ(p.QueuedAnswers(), 1u);
}

}  // namespace
