// The five embedded forms as the window layer plays them: every control comes out with the
// kind, place, size, text, font, visibility, state and limits its resource gives.
#include <gtest/gtest.h>

#include "runtime/window/dialogs.h"
#include "runtime/forms/form_resource.h"
#include "runtime/backends/headless.h"
#include "runtime/window/window.h"
#include "tests/support/expect_error.h"
#include "tests/support/test_forms.h"
#include "tests/support/user_input.h"

namespace {

class PlayedForms : public testing::TestWithParam<std::tuple<Backend, const char*>> {
protected:
    void SetUp() override {
        input = std::get<0>(GetParam()).make();
        rt::SetRoutineTable({});
        rt::SetPlatform(&input->platform());
        rt::StartWindowLayer(input->platform());
    }
    void TearDown() override {
        rt::ResetWindowLayer();
        rt::SetPlatform(nullptr);
    }
    std::unique_ptr<UserInput> input;
};

TEST_P(PlayedForms, EveryControlAsItsResourceGivesIt) {
    std::string name = std::get<1>(GetParam());
    rt::Platform& p = input->platform();
    auto bytes = rt::FindFormResource(name);
    ASSERT_TRUE(bytes);
    rt::DecodeResult decoded = rt::DecodeForm(*bytes);
    ASSERT_TRUE(decoded.form);
    const rt::FormDescription& d = *decoded.form;

    Int32 handle = kMainWindow;
    if (name != "MAINFORM") {
        Obj form;
        FormLoad(form, Text(name), 0);
        handle = form.handle;
    }
    std::vector<rt::ControlInfo> ws = rt::FormWindows(handle);
    ASSERT_EQ(ws.size(), d.controls.size() + 1);
    EXPECT_EQ(p.GetText(ws[0].window), *d.form.text);
    EXPECT_EQ(p.Geometry(ws[0].window).width, d.form.geometry.width);
    EXPECT_EQ(p.Geometry(ws[0].window).height, d.form.geometry.height);
    EXPECT_EQ(p.IsVisible(ws[0].window), name == "MAINFORM");

    for (size_t i = 0; i < d.controls.size(); ++i) {
        const rt::WindowDescription& c = d.controls[i];
        rt::WinHandle w = ws[i + 1].window;
        SCOPED_TRACE(name + "." + c.name);
        EXPECT_EQ(ws[i + 1].name, c.name);
        EXPECT_EQ(ws[i + 1].kind, c.kind);
        EXPECT_EQ(p.Geometry(w), c.geometry);
        EXPECT_EQ(p.IsVisible(w), (c.style & rt::style::kVisible) != 0);
        EXPECT_TRUE(p.IsEnabled(w));
        if (c.text && c.kind != rt::ControlKind::ListBox && c.kind != rt::ControlKind::ComboBox) {
            EXPECT_EQ(p.GetText(w), *c.text);
        }
        rt::FontSpec font = p.Font(w);
        EXPECT_EQ(font.face, c.fontFace.value_or(""));
        EXPECT_EQ(font.size, c.fontSize.value_or(0));
        EXPECT_EQ(font.unit, rt::FontUnit::Points);
        if (c.maxLength) {
            EXPECT_EQ(p.MaxLength(w), *c.maxLength);
        }
        if (c.imeMode) {
            EXPECT_EQ(p.ImeMode(w), *c.imeMode);
        }
        if (c.scrollRange) {
            EXPECT_EQ(p.ScrollRange(w), (std::pair<int, int>{c.scrollRange->first, c.scrollRange->second}));
        }
        if (c.initialValue && (c.kind == rt::ControlKind::CheckBox || c.kind == rt::ControlKind::OptionButton)) {
            EXPECT_EQ(p.GetCheck(w), *c.initialValue);
        }
        if (c.items) {
            EXPECT_EQ(p.ListCount(w), 1);  // COMBO1's one sample number
        }
    }
}

INSTANTIATE_TEST_SUITE_P(FiveForms, PlayedForms,
                         testing::Combine(testing::ValuesIn(Backends()),
                                          testing::Values("MAINFORM", "FORM2", "FORM3", "FORM4", "FORM5")));

using namespace testforms;

class PlayerFailures : public testing::Test {
protected:
    void SetUp() override {
        Register(Form("MAINFORM", {}));
        rt::SetPlatform(&p);
        rt::StartWindowLayer(p);
        p.SetMessageObserver([this](const std::string& title, const std::string& text, rt::MessageButtons,
                                    rt::MessageIcon, std::optional<rt::Answer>) { shown.push_back(title + "|" + text); });
    }
    void TearDown() override {
        rt::ResetWindowLayer();
        rt::SetPlatform(nullptr);
    }
    rt::HeadlessPlatform p;
    std::vector<std::string> shown;
};

TEST_F(PlayerFailures, ARejectedRecordIsShownThenTheFormFailsWith1014) {
    std::vector<uint8_t> bytes = rt::EncodeForm(Form("BROKEN", {}));
    // Put an unknown tag 0x1f4 where the stream's last tag 2 was.
    bytes.back() = 0x01;
    bytes.pop_back();
    bytes.pop_back();
    for (uint8_t b : {0xF4, 0x01, 0x02, 0x00}) bytes.push_back(b);
    rt::RegisterFormResource("BROKEN", bytes);
    p.QueueAnswer(rt::Answer::Ok);
    Obj form;
    EXPECT_RT_ERROR(FormLoad(form, "BROKEN", 0), 1014);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0], std::string("PlayScript|未定義のリソーススクリプト 1f4"));
}

TEST_F(PlayerFailures, EventListsNamingNoRoutineAreSkippedAndTheNamingRuleStillWorks) {
    static int calls = 0;
    static const RoutineEntry routines[] = {{"B_ON", [](Obj&) { ++calls; }}};
    rt::SetRoutineTable(routines);
    auto b = Control(ControlKind::PushButton, "B", {1, 1, 9, 9}, st::kVisible, "b");
    b.events = {{101, "NO_SUCH_ROUTINE"}};
    b.eventsRecorded = true;
    Register(Form("F", {b}));
    Obj form;
    FormLoad(form, "F", -1);
    p.UserClick(FormControl(form, "B"));
    while (rt::PendingEvents()) FormWait(form);
    EXPECT_EQ(calls, 1);
}

TEST_F(PlayerFailures, AHiddenInitialStateWinsOverTheResourcesShowState) {
    auto f = Form("SHOWN", {Control(ControlKind::PushButton, "B", {1, 1, 9, 9}, st::kVisible, "b")});
    f.form.showStateCombine = 1;
    f.form.disabled = 0;
    Register(f);
    Obj hidden, shown2;
    FormLoad(hidden, "SHOWN", 0);
    EXPECT_FALSE(p.IsVisible(rt::WindowOf(hidden)));
    EXPECT_TRUE(p.IsEnabled(rt::WindowOf(hidden)));
    FormLoad(shown2, "SHOWN", -1);
    EXPECT_TRUE(p.IsVisible(rt::WindowOf(shown2)));
    f.form.name = "MINIMIZED";
    f.form.showStateCombine = 7;  // SW_SHOWMINNOACTIVE still shows the window
    Register(f);
    Obj m;
    FormLoad(m, "MINIMIZED", -1);
    EXPECT_TRUE(p.IsVisible(rt::WindowOf(m)));
}

TEST_F(PlayerFailures, PlacementsCentreOnTheDesktop) {
    Register(Form("CENTRED", {}, {0, 0, 646, 418}, 2));
    Register(Form("PLACED", {}, {132, 174, 800, 600}, 0));
    Obj c, pl;
    FormLoad(c, "CENTRED", 0);
    FormLoad(pl, "PLACED", 0);
    rt::Rect desk = p.Desktop();
    EXPECT_EQ(p.Geometry(rt::WindowOf(c)), (rt::Rect{(desk.width - 646) / 2, (desk.height - 418) / 2, 646, 418}));
    EXPECT_EQ(p.Geometry(rt::WindowOf(pl)), (rt::Rect{132, 174, 800, 600}));
}

TEST_F(PlayerFailures, ARuntimeErrorIsReportedInAWarningBoxNamedAfterTheExecutable) {
    rt::RuntimeError e;
    e.code = 9;
    e.module = "Kalvoro";
    e.line = 42;
    rt::EndWithRuntimeError(e);
    // The report has a box of its own, with Help; it is not one of the program's message boxes.
    EXPECT_TRUE(shown.empty());
    ASSERT_EQ(p.ErrorReports().size(), 1u);
    EXPECT_EQ(p.ErrorReports()[0].caption, rt::ExecutableCaption());
    EXPECT_NE(p.ErrorReports()[0].report.find("Kalvoro [42行]:エラー[9]"), std::string::npos);
}

}  // namespace
