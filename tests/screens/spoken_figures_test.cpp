// What a screen reader is told after each action of a customer: the figures of the screen in
// front that the action changed, each once, and nothing when none changed.
#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <vector>

#include "tests/screens/screen_fixture.h"

namespace {

// A click; with `typed`, that typed (in a list: its first line chosen); with no control, OK
// given to the next message box.
struct Step {
    const Obj* on;
    const char* typed = nullptr;
};
struct Told {
    const char* action;
    bool onTitleScreen;               // the steps start on a new comic's title screen, named
    std::vector<Step> steps;          // the last is the action heard
    std::vector<const Obj*> figures;  // what is heard, in this order, with their texts as shown
};

const Told kTold[] = {
    {"a course on the title screen", true, {{&RADIO3}}, {&TEXT38}},
    {"trimming ticked on the title screen", true, {{&CHECK4}}, {&TEXT38}},
    {"the same course again changes nothing", true, {{&RADIO5}}, {}},
    {"back on the list: its window is announced, not its subtotal", true, {{&BUTTON14}}, {}},
    {"back on the main screen after a title: the grand total it changed", true,
     {{&RADIO3}, {&BUTTON14}, {&BUTTON11}}, {&TEXT12}},
    {"back on the main screen with nothing changed: nothing", false, {{&BUTTON5}, {&BUTTON11}}, {}},
    {"a coupon registered: its discount, then the grand total", true,
     {{&BUTTON14}, {&BUTTON11}, {&COMBO1, "2612310035"}, {&BUTTON15}}, {&TEXT10, &TEXT12}},
    {"a coupon on an empty order: the grand total stays 0 yen, written half-width now", false,
     {{&COMBO1, "2612310035"}, {&BUTTON15}}, {&TEXT10}},
    {"a coupon only typed", false, {{&COMBO1, "2612310035"}}, {}},
    {"an expired coupon refused", false, {{&COMBO1, "2512310035"}, {nullptr}, {&BUTTON15}}, {}},
    // The total of an order of 1,000 yen or more, written grouped by the refresh and plain by the
    // coupon's routine, is the same amount.
    {"an expired coupon refused on an order over 1,000 yen", true,
     {{&BUTTON14}, {&BUTTON11}, {&COMBO1, "2512310035"}, {nullptr}, {&BUTTON15}}, {}},
    {"back on the main screen after a refused coupon", true,
     {{&BUTTON14}, {&BUTTON11}, {&COMBO1, "2512310035"}, {nullptr}, {&BUTTON15}, {&BUTTON5}, {&BUTTON11}}, {}},
};

class SpokenFigures : public Screens, public testing::WithParamInterface<Told> {};

TEST_P(SpokenFigures, AfterAnActionTheChangedFiguresOfTheScreenInFront) {
    const Told& row = GetParam();
    std::vector<Step> steps = row.steps;
    if (row.onTitleScreen) steps.insert(steps.begin(), {{&BUTTON5}, {&LIST1, ""}, {&EDIT1, "本"}});
    size_t earlier = 0;
    for (const Step& s : steps) {
        earlier = platform.SpokenFigures().size();
        if (!s.on) platform.QueueAnswer(rt::Answer::Ok);
        else if (!s.typed) Click(*s.on);
        else if (s.on == &LIST1) Select(LIST1, 0);
        else Type(*s.on, s.typed);
    }
    const std::vector<std::vector<std::string>> heard(platform.SpokenFigures().begin() + static_cast<long>(earlier),
                                                      platform.SpokenFigures().end());
    std::vector<std::string> expected;
    for (const Obj* f : row.figures) expected.push_back(Shown(*f));
    EXPECT_EQ(heard, expected.empty() ? decltype(heard){} : decltype(heard){expected}) << row.action;
}

// A figure rewritten with the same amount, whatever its digits and however they are written, is
// not said again; another amount is.
TEST_F(Screens, AFigureIsSaidWhenItsAmountChanges) {
    const std::tuple<const char*, const char*, size_t> rewritten[] = {
        {"２９０円", "290円", 0}, {"１,２３４,５６７,８９０円", "1234567890円", 0}, {"１，０００円", "1,000円", 0},
        {"２９０円", "280円", 1}};
    for (const auto& [before, after, said] : rewritten) {
        SetText(TEXT12, before);
        SpeakChangedFigures();
        const size_t earlier = platform.SpokenFigures().size();
        SetText(TEXT12, after);
        SpeakChangedFigures();
        EXPECT_EQ(platform.SpokenFigures().size() - earlier, said) << before << " rewritten as " << after;
    }
}

INSTANTIATE_TEST_SUITE_P(EachScreen, SpokenFigures, testing::ValuesIn(kTold),
                         [](const testing::TestParamInfo<Told>& info) { return "row" + std::to_string(info.index); });

}  // namespace
