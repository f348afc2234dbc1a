// A customer's journeys through the real screens, run alike on the headless back end and, in
// the Qt test program, on real widgets: what the mouse and keyboard do there must reach the same
// routines and leave the same figures.
#include <gtest/gtest.h>

#include "app/forms/controls.h"
#include "tests/screens/program_run.h"
#include "tests/support/user_input.h"

namespace {

class ScreenJourney : public testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        input = GetParam().make();
        StartProgramForTest(input->platform());
        Run();
    }
    void TearDown() override { EndProgramForTest(); }

    void Run() {
        input->Settle();
        RunQueuedRoutines();
        input->Settle();
    }
    void Click(const Obj& o) {
        input->Click(rt::WindowOf(o));
        Run();
    }
    void Type(const Obj& o, const std::string& sjis) {
        input->Type(rt::WindowOf(o), sjis);
        Run();
    }
    void Select(const Obj& o, int index) {
        input->Select(rt::WindowOf(o), index);
        Run();
    }
    void Scroll(const Obj& o, rt::ScrollAction action) {
        input->Scroll(rt::WindowOf(o), action);
        Run();
    }
    std::string Shown(const Obj& o) { return input->platform().GetText(rt::WindowOf(o)); }
    bool Visible(const Obj& o) { return input->platform().IsVisible(rt::WindowOf(o)); }

    std::unique_ptr<UserInput> input;
};

TEST_P(ScreenJourney, AComicWithOptionsIsPricedAndReachesTheMainScreen) {
    Click(BUTTON5);
    ASSERT_TRUE(Visible(FORM2));
    Select(LIST1, 0);
    ASSERT_TRUE(Visible(FORM3));
    Type(EDIT1, "ワンピース　１");
    Click(CHECK4);
    EXPECT_EQ(Shown(TEXT34), "+800");
    Scroll(HSCROLL1, rt::ScrollAction::PageRight);
    Scroll(HSCROLL1, rt::ScrollAction::LineRight);
    EXPECT_EQ(Shown(TEXT36), "167 dpi (A4なら約1952×1376ピクセル)");
    EXPECT_EQ(Shown(TEXT38), "２,６００");
    Click(BUTTON14);
    ASSERT_TRUE(Visible(FORM2));
    EXPECT_EQ(Shown(TEXT14), "２,６００円");
    Click(BUTTON11);
    ASSERT_TRUE(Visible(MAINFORM));
    EXPECT_EQ(Shown(TEXT2), "２,６００円");
    EXPECT_EQ(Shown(TEXT6), "５００円");
    EXPECT_EQ(Shown(TEXT12), "３,１５０円");
    EXPECT_EQ(TITLE_NAME(0, kComic), Text("ワンピース　１"));
    EXPECT_EQ(TITLE_DPI(0, kComic), 167);
}

TEST_P(ScreenJourney, ACouponIsRegisteredReplacedAndRemoved) {
    Type(COMBO1, "2612310035");
    Click(BUTTON15);
    Type(COMBO1, "2612310042");
    Click(BUTTON15);
    EXPECT_EQ(Shown(TEXT10), "2500円");
    Select(COMBO1, 0);
    Type(COMBO1, "2612310031");
    Click(BUTTON15);
    EXPECT_EQ(COUPON_NO(0), Text("2612310031"));
    EXPECT_EQ(Shown(TEXT10), "2100円");
    Select(COMBO1, 1);
    Type(COMBO1, "");
    Click(BUTTON15);
    EXPECT_EQ(COUPON_COUNT, 1);
    EXPECT_EQ(Shown(TEXT10), "100円");
    EXPECT_EQ(Shown(COMBO1), "");
}

INSTANTIATE_TEST_SUITE_P(Backends, ScreenJourney, testing::ValuesIn(Backends()),
                         [](const auto& info) { return info.param.name; });

}  // namespace
