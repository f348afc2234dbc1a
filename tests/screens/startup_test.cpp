// The start-up step on the real forms: caption, forms loaded hidden, fonts, limits and the
// controls the customer does not use.
#include <gtest/gtest.h>

#include <cstdlib>

#include "app/fee/order_model.h"
#include "app/forms/controls.h"
#include "app/screens/main_routine.h"
#include "runtime/backends/headless.h"

namespace {

class StartUpScreens : public testing::Test {
protected:
    void SetUp() override {
        ResetOrderModel();
        setenv("KALVORO_TODAY", "2027-05-01", 1);
        rt::SetRoutineTable(ApplicationRoutines());
        rt::SetPlatform(&p);
        rt::StartWindowLayer(p);
        開始_SETSUB();
    }
    void TearDown() override {
        unsetenv("KALVORO_TODAY");
        rt::ResetWindowLayer();
        rt::SetPlatform(nullptr);
    }
    const rt::HeadlessPlatform::Window& W(const Obj& o) { return p.Get(rt::WindowOf(o)); }
    rt::HeadlessPlatform p;
};

TEST_F(StartUpScreens, MainFormShownOthersHiddenCaptionSet) {
    EXPECT_EQ(GetText(MAINFORM), Text("Kalvoro総合画面 Ｖｅｒ.5.0 20160415"));
    EXPECT_TRUE(W(MAINFORM).visible);
    for (Obj* f : {&FORM2, &FORM3, &FORM4, &FORM5}) EXPECT_FALSE(W(*f).visible);
    EXPECT_EQ(rt::WindowOf(MAINFORM), rt::WindowOf(Obj{kMainWindow}));
    EXPECT_EQ(SPECIAL_PERIOD, 1);  // 1 May
}

TEST_F(StartUpScreens, ControlsTheCustomerDoesNotUseAreHidden) {
    for (Obj* o : {&CHECK6, &TEXT49, &TEXT50, &TEXT51, &TEXT52, &TEXT53, &TEXT54, &TEXT55, &EDIT4, &EDIT5, &EDIT7,
                   &CHECK8})
        EXPECT_FALSE(W(*o).visible);
    EXPECT_TRUE(W(BUTTON5).visible);
    EXPECT_FALSE(W(BUTTON6).visible);  // created hidden by its form
}

TEST_F(StartUpScreens, FontsAreSetInPixels) {
    EXPECT_EQ(W(TEXT1).font.size, 14);
    EXPECT_EQ(W(TEXT1).font.unit, rt::FontUnit::Pixels);
    EXPECT_EQ(W(BUTTON21).font.size, 14);
    for (Obj* o : {&TEXT11, &TEXT12, &TEXT13, &TEXT14, &TEXT37, &TEXT38}) EXPECT_EQ(W(*o).font.size, 22);
    EXPECT_EQ(W(TEXT56).font.size, 20);
    EXPECT_EQ(W(TEXT47).font.size, 16);
    EXPECT_EQ(W(LIST1).font.face, std::string("ＭＳ 明朝"));
    EXPECT_EQ(W(EDIT6).font.face, std::string("ＭＳ 明朝"));
    EXPECT_EQ(W(COMBO1).font.face, std::string("ＭＳ ゴシック"));
    EXPECT_EQ(W(TEXT1).font.face, std::string("ＭＳ Ｐゴシック"));
}

TEST_F(StartUpScreens, LimitsOfTheCouponBoxAndTheResolutionBar) {
    EXPECT_EQ(W(COMBO1).maxLength, 10);
    EXPECT_EQ(W(COMBO1).ime, 2);
    EXPECT_EQ(W(HSCROLL1).scrollMin, 50);
    EXPECT_EQ(W(HSCROLL1).scrollMax, 600);
}

}  // namespace
