// What a screen reader is told after each action of a customer: the figures of the screen in
// front that the action changed, each once, and nothing when none changed.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/screens/screen_fixture.h"

namespace {

class SpokenFigures;

struct Told {
    const char* action;
    std::function<void(SpokenFigures&)> before;  // brings the screen the action is taken on
    std::function<void(SpokenFigures&)> act;
    std::vector<const Obj*> figures;  // what is heard, in this order, with their texts as shown
};

class SpokenFigures : public Screens, public testing::WithParamInterface<Told> {
public:
    using Screens::Click;
    using Screens::Select;
    using Screens::Type;
    rt::HeadlessPlatform& Platform() { return platform; }
};

void OnTitleScreen(SpokenFigures& s) {
    s.Click(BUTTON5);
    s.Select(LIST1, 0);
    s.Type(EDIT1, "本");
}

const Told kTold[] = {
    {"a course on the title screen", OnTitleScreen, [](SpokenFigures& s) { s.Click(RADIO3); },
     {&TEXT38}},
    {"trimming ticked on the title screen", OnTitleScreen,
     [](SpokenFigures& s) { s.Click(CHECK4); }, {&TEXT38}},
    {"the same course again changes nothing", OnTitleScreen,
     [](SpokenFigures& s) { s.Click(RADIO5); }, {}},
    {"back on the list: its window is announced, not its subtotal", OnTitleScreen,
     [](SpokenFigures& s) { s.Click(BUTTON14); }, {}},
    {"back on the main screen after a title: the grand total it changed",
     [](SpokenFigures& s) {
         OnTitleScreen(s);
         s.Click(RADIO3);
         s.Click(BUTTON14);
     },
     [](SpokenFigures& s) { s.Click(BUTTON11); }, {&TEXT12}},
    {"back on the main screen with nothing changed: nothing",
     [](SpokenFigures& s) { s.Click(BUTTON5); }, [](SpokenFigures& s) { s.Click(BUTTON11); }, {}},
    {"a coupon registered: its discount, then the grand total",
     [](SpokenFigures& s) {
         OnTitleScreen(s);
         s.Click(BUTTON14);
         s.Click(BUTTON11);
         s.Type(COMBO1, "2612310035");
     },
     [](SpokenFigures& s) { s.Click(BUTTON15); }, {&TEXT10, &TEXT12}},
    {"a coupon on an empty order: the grand total stays 0 yen, written half-width now",
     [](SpokenFigures& s) { s.Type(COMBO1, "2612310035"); }, [](SpokenFigures& s) { s.Click(BUTTON15); },
     {&TEXT10}},
    {"a coupon only typed", nullptr, [](SpokenFigures& s) { s.Type(COMBO1, "2612310035"); },
     {}},
    {"an expired coupon refused", [](SpokenFigures& s) { s.Type(COMBO1, "2512310035"); },
     [](SpokenFigures& s) {
         s.Platform().QueueAnswer(rt::Answer::Ok);
         s.Click(BUTTON15);
     },
     {}},
};

TEST_P(SpokenFigures, AfterAnActionTheChangedFiguresOfTheScreenInFront) {
    const Told& row = GetParam();
    if (row.before) row.before(*this);
    const size_t earlier = platform.SpokenFigures().size();
    row.act(*this);
    std::vector<std::vector<std::string>> heard(platform.SpokenFigures().begin() + static_cast<long>(earlier),
                                                platform.SpokenFigures().end());
    std::vector<std::vector<std::string>> expected;
    if (!row.figures.empty()) {
        expected.emplace_back();
        for (const Obj* f : row.figures) expected.back().push_back(Shown(*f));
    }
    EXPECT_EQ(heard, expected) << row.action;
}

INSTANTIATE_TEST_SUITE_P(EachScreen, SpokenFigures, testing::ValuesIn(kTold),
                         [](const testing::TestParamInfo<Told>& info) { return "row" + std::to_string(info.index); });

}  // namespace
