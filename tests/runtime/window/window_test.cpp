// The window layer on the headless back end: forms, binding, events, control operations and
// their errors, keyboard navigation and scroll bars.
#include "runtime/window/window.h"
#include "runtime/window/window_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "runtime/backends/headless.h"
#include "tests/support/user_input.h"
#include "tests/support/expect_error.h"
#include "tests/support/test_forms.h"

namespace {

using namespace testforms;
using rt::WinHandle;

std::vector<std::string> g_calls;

void Record(const char* name) { g_calls.push_back(name); }
void B1_ON(Obj&) { Record("B1_ON"); }
void B2_ON(Obj&) { Record("B2_ON"); }
void OTHER_ROUTINE(Obj&) { Record("OTHER_ROUTINE"); }
void E1_CHANGE(Obj&) { Record("E1_CHANGE"); }
void L1_CHANGE(Obj&) { Record("L1_CHANGE"); }
void L1_CLICK(Obj&) { Record("L1_CLICK"); }
void C1_CHANGE(Obj&) { Record("C1_CHANGE"); }
void S1_CHANGE(Obj&) { Record("S1_CHANGE"); }
void K1_ON(Obj&) { Record("K1_ON"); }
void R1_ON(Obj&) { Record("R1_ON"); }
void SUB_CLOSE_QUERYCLOSE(Obj&) { Record("SUB_CLOSE_QUERYCLOSE"); }
void E1_SETFOCUS(Obj&) { Record("E1_SETFOCUS"); }
void PB_ON(Obj&) { Record("PB_ON"); }
void T_SETFOCUS(Obj&) { Record("T_SETFOCUS"); }

const RoutineEntry kRoutines[] = {
    {"B1_ON", B1_ON},         {"B2_ON", B2_ON},         {"OTHER_ROUTINE", OTHER_ROUTINE},
    {"E1_CHANGE", E1_CHANGE}, {"L1_CHANGE", L1_CHANGE}, {"L1_CLICK", L1_CLICK},
    {"C1_CHANGE", C1_CHANGE}, {"S1_CHANGE", S1_CHANGE}, {"K1_ON", K1_ON},
    {"R1_ON", R1_ON},         {"SUB_QUERYCLOSE", SUB_CLOSE_QUERYCLOSE},
    {"E1_SETFOCUS", E1_SETFOCUS}, {"PB_ON", PB_ON},   {"T_SETFOCUS", T_SETFOCUS},
};

rt::FormDescription MainForm() {
    auto b2 = Control(ControlKind::PushButton, "B2", {10, 40, 80, 24}, st::kVisible | st::kTabStop, "Two");
    // A binding to a routine of another name: the resource's event table wins over the name rule.
    b2.events = {{101, "OTHER_ROUTINE"}};
    b2.eventsRecorded = true;
    auto hiddenButton = Control(ControlKind::PushButton, "HB", {10, 70, 80, 24}, st::kTabStop, "Hidden");
    auto noStop = Control(ControlKind::Label, "LB", {10, 100, 80, 16}, st::kVisible, "Label");
    auto e1 = Control(ControlKind::Edit, "E1", {100, 10, 80, 24}, st::kVisible | st::kTabStop | st::kEsNumber);
    e1.maxLength = 5;
    auto l1 = Control(ControlKind::ListBox, "L1", {100, 40, 80, 80}, st::kVisible | st::kTabStop | st::kLbsNotify);
    auto c1 = Control(ControlKind::ComboBox, "C1", {200, 10, 80, 80}, st::kVisible | st::kTabStop | st::kCbsDropDown);
    c1.items = "one\r\ntwo";
    auto s1 = Control(ControlKind::HScroll, "S1", {200, 100, 100, 16}, st::kVisible | st::kTabStop);
    s1.scrollRange = {{0, 100}};
    s1.scrollSteps = {{1, 16}};
    auto k1 = Control(ControlKind::CheckBox, "K1", {10, 130, 80, 16}, st::kVisible | st::kTabStop | st::kBsAutoCheckBox, "Check");
    auto m = Control(ControlKind::Edit, "M1", {10, 160, 200, 80}, st::kVisible | st::kEsMultiLine | st::kEsReadOnly);
    return Form("MAINFORM",
                {Control(ControlKind::PushButton, "B1", {10, 10, 80, 24}, st::kVisible | st::kTabStop, "One"), b2,
                 hiddenButton, noStop, e1, l1, c1, s1, k1, m});
}

// The suite runs on every back end of this test program (Backends()).
class LayerFixture {
protected:
    void Start(const Backend& backend) {
        g_calls.clear();
        input = backend.make();
        rt::SetRoutineTable(kRoutines);
        Register(MainForm());
        auto sub = Form("SUB", {Control(ControlKind::PushButton, "B9", {1, 1, 20, 20}, st::kVisible, "x")});
        sub.form.events = {{117, "NOT_A_ROUTINE"}};
        sub.form.eventsRecorded = true;
        Register(sub);
        rt::SetPlatform(&p());
        rt::StartWindowLayer(p());
        input->Settle();
    }
    void Stop() {
        rt::ResetWindowLayer();
        rt::SetPlatform(nullptr);
        input.reset();
    }

    rt::Platform& p() { return input->platform(); }
    Obj Bound(const char* name) {
        Obj o;
        ControlBind(o, FormControl(Obj{kMainWindow}, name));
        return o;
    }
    WinHandle Win(const char* name) { return FormControl(Obj{kMainWindow}, name); }
    void RunPending() {
        input->Settle();
        while (rt::PendingEvents() > 0) FormWait(Obj{kMainWindow});
    }

    std::unique_ptr<UserInput> input;
};

class WindowLayer : public testing::TestWithParam<Backend>, public LayerFixture {
protected:
    void SetUp() override { Start(GetParam()); }
    void TearDown() override { Stop(); }
};

auto BackendName = [](const testing::TestParamInfo<Backend>& info) { return info.param.name; };
INSTANTIATE_TEST_SUITE_P(Backends, WindowLayer, testing::ValuesIn(Backends()), BackendName);

TEST_P(WindowLayer, FormControlFindsControlsAndTheFormItselfByNameInAnyCase) {
    WinHandle main = FormControl(Obj{kMainWindow}, "MAINFORM");
    EXPECT_EQ(main, FormControl(Obj{kMainWindow}, "mainform"));
    EXPECT_EQ(main, rt::WindowOf(Obj{kMainWindow}));
    EXPECT_EQ(FormControl(Obj{kMainWindow}, "b1"), FormControl(Obj{kMainWindow}, "B1"));
    EXPECT_EQ(p().GetText(Win("B1")), "One");
    EXPECT_RT_ERROR(FormControl(Obj{kMainWindow}, "NOPE"), 1013);
    EXPECT_RT_ERROR(FormControl(Obj{kMainWindow}, Text(std::string(22, 'A'))), 5);
    EXPECT_RT_ERROR(FormControl(Obj{kMainWindow}, ""), 5);
    EXPECT_RT_ERROR(FormControl(Bound("B1"), "B1"), 1002);
}

// Letter case is ignored for single-byte letters only: the second byte of "ヂ" (83 61) is not
// the letter a, or "ア" (83 41) would name the same control.
TEST(ControlNames, FoldOnlySingleByteLetters) {
    using rt::detail::SameName;
    EXPECT_TRUE(SameName("button1", "BUTTON1"));
    EXPECT_TRUE(SameName("ヂa", "ヂA"));
    EXPECT_FALSE(SameName("ア", "ヂ"));
    EXPECT_FALSE(SameName("zア", "Zヂ"));
    EXPECT_FALSE(SameName("@", "`"));  // the bytes just outside the letters fold to nothing
    EXPECT_FALSE(SameName("[", "{"));
}

TEST_P(WindowLayer, FormsLoadHiddenOrShownAndLoadOnlyOnce) {
    Obj sub;
    FormLoad(sub, "SUB", 0);
    WinHandle w = rt::WindowOf(sub);
    EXPECT_FALSE(p().IsVisible(w));
    SetVisible(sub, -1);
    EXPECT_TRUE(p().IsVisible(w));
    EXPECT_RT_ERROR(FormLoad(sub, "SUB", 0), 1001);
    Obj other;
    EXPECT_RT_ERROR(FormLoad(other, "NOSUCHFORM", 0), 1012);
    EXPECT_RT_ERROR(FormLoad(other, Text(std::string(22, 'F')), 0), 5);
    EXPECT_RT_ERROR(FormLoad(other, "", 0), 5);
    Obj shown;
    FormLoad(shown, "SUB", -1);
    EXPECT_TRUE(p().IsVisible(rt::WindowOf(shown)));
    EXPECT_TRUE(p().IsVisible(rt::WindowOf(Obj{kMainWindow})));
}

TEST_P(WindowLayer, ClicksQueueOneEventEachAndRunOnePerWait) {
    input->Click(Win("B1"));
    input->Click(Win("B1"));
    EXPECT_EQ(rt::PendingEvents(), 2u);
    FormWait(Obj{kMainWindow});
    EXPECT_EQ(g_calls, std::vector<std::string>{"B1_ON"});
    FormWait(Obj{kMainWindow});
    EXPECT_EQ(g_calls, (std::vector<std::string>{"B1_ON", "B1_ON"}));
}

TEST_P(WindowLayer, ResourceBindingWinsAndEventsWithoutRoutineAreNotQueued) {
    input->Click(Win("B2"));
    input->Click(Win("HB"));  // no routine HB_ON
    RunPending();
    EXPECT_EQ(g_calls, std::vector<std::string>{"OTHER_ROUTINE"});
}

TEST_P(WindowLayer, AFullQueueDropsTheSixtyFifthEvent) {
    for (int i = 0; i < 65; ++i) input->Click(Win("B1"));
    EXPECT_EQ(rt::PendingEvents(), 64u);
    RunPending();
    EXPECT_EQ(g_calls.size(), 64u);
}

TEST_P(WindowLayer, ProgramChangesRaiseOnlyTheEditBoxChange) {
    Obj e1 = Bound("E1"), c1 = Bound("C1"), l1 = Bound("L1"), k1 = Bound("K1"), s1 = Bound("S1"), m1 = Bound("M1");
    SetCheck(k1, 1);
    ListAdd(l1, "a");
    SetText(c1, "typed");
    SetText(Obj{kMainWindow}, "caption");
    ScrollSetPos(s1, 40);
    SetText(m1, "multi-line boxes stay quiet");
    EXPECT_EQ(rt::PendingEvents(), 0u);
    SetText(e1, "123");
    EXPECT_EQ(rt::PendingEvents(), 1u);  // queued: it runs after the current routine
    EXPECT_TRUE(g_calls.empty());
    RunPending();
    EXPECT_EQ(g_calls, std::vector<std::string>{"E1_CHANGE"});
    EXPECT_EQ(GetText(e1), Text("123"));
    EXPECT_EQ(GetText(Obj{kMainWindow}), Text("caption"));
}

TEST_P(WindowLayer, SetTextStopsAtTheFirstNulByte) {
    Obj b1 = Bound("B1");
    SetText(b1, Text(std::string("ab\0cd", 5)));
    EXPECT_EQ(GetText(b1), Text("ab"));
}

TEST_P(WindowLayer, UserSelectionRaisesChangeThenClickForLists) {
    Obj l1 = Bound("L1");
    ListAdd(l1, "x");
    ListAdd(l1, "y");
    input->Settle();
    input->Select(Win("L1"), 1);
    RunPending();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"L1_CHANGE", "L1_CLICK"}));
    EXPECT_EQ(ListIndex(l1), 1);
}

// A mouse action on the bar, or a key on it (the keys of the desktop's sliders).
struct ScrollCase {
    int start;
    rt::ScrollAction action;
    int track;
    int expected;
    std::optional<rt::Key> key = std::nullopt;
};
class ScrollSteps : public testing::TestWithParam<std::tuple<Backend, ScrollCase>>, public LayerFixture {
protected:
    void SetUp() override { Start(std::get<0>(GetParam())); }
    void TearDown() override { Stop(); }
};

TEST_P(ScrollSteps, MoveByTheStepsClampedToTheRangeAndRaiseOneChange) {
    const ScrollCase& c = std::get<1>(GetParam());
    Obj s1 = Bound("S1");
    ScrollSetPos(s1, c.start);
    if (c.key) {
        input->Key(Win("S1"), *c.key, false);
    } else {
        input->Scroll(Win("S1"), c.action, c.track);
    }
    EXPECT_EQ(ScrollGetPos(s1), c.expected);
    RunPending();
    EXPECT_EQ(g_calls, std::vector<std::string>{"S1_CHANGE"});
}

INSTANTIATE_TEST_SUITE_P(
    Actions, ScrollSteps,
    testing::Combine(testing::ValuesIn(Backends()),
                     testing::Values(ScrollCase{50, rt::ScrollAction::LineLeft, 0, 49},
                                     ScrollCase{0, rt::ScrollAction::LineLeft, 0, 0},
                                     ScrollCase{50, rt::ScrollAction::LineRight, 0, 51},
                                     ScrollCase{100, rt::ScrollAction::LineRight, 0, 100},
                                     ScrollCase{50, rt::ScrollAction::PageLeft, 0, 34},
                                     ScrollCase{10, rt::ScrollAction::PageLeft, 0, 0},
                                     ScrollCase{90, rt::ScrollAction::PageRight, 0, 100},
                                     ScrollCase{0, rt::ScrollAction::ThumbTrack, 130, 100},
                                     ScrollCase{50, {}, 0, 51, rt::Key::Right}, ScrollCase{100, {}, 0, 100, rt::Key::Right},
                                     ScrollCase{50, {}, 0, 49, rt::Key::Left}, ScrollCase{0, {}, 0, 0, rt::Key::Left},
                                     ScrollCase{50, {}, 0, 51, rt::Key::Up}, ScrollCase{50, {}, 0, 49, rt::Key::Down},
                                     ScrollCase{50, {}, 0, 66, rt::Key::PageUp}, ScrollCase{15, {}, 0, 0, rt::Key::PageDown},
                                     ScrollCase{50, {}, 0, 0, rt::Key::Home}, ScrollCase{50, {}, 0, 100, rt::Key::End})));

TEST_P(WindowLayer, ThumbTrackingRaisesOneChangePerStep) {
    for (int pos : {10, 20, 30}) input->Scroll(Win("S1"), rt::ScrollAction::ThumbTrack, pos);
    EXPECT_EQ(rt::PendingEvents(), 3u);
    EXPECT_EQ(p().ScrollPos(Win("S1")), 30);
}

TEST_P(WindowLayer, TheProgramSetsTheSteps) {
    ScrollSetSteps(Bound("S1"), 5, 50);
    input->Scroll(Win("S1"), rt::ScrollAction::LineRight, 0);
    EXPECT_EQ(p().ScrollPos(Win("S1")), 5);
    input->Scroll(Win("S1"), rt::ScrollAction::PageRight, 0);
    EXPECT_EQ(p().ScrollPos(Win("S1")), 55);
}

TEST_P(WindowLayer, TabVisitsVisibleEnabledTabStopsInCreationOrderAndWraps) {
    SetEnabled(Bound("E1"), 0);
    input->Key(Win("B1"), rt::Key::Tab, false);
    EXPECT_EQ(p().Focus(), Win("B2"));
    input->Key(Win("B2"), rt::Key::Tab, false);  // HB is hidden, LB no tab stop, E1 disabled
    EXPECT_EQ(p().Focus(), Win("L1"));
    input->Key(Win("K1"), rt::Key::Tab, false);  // M1 has no tab stop: wraps to B1
    EXPECT_EQ(p().Focus(), Win("B1"));
    input->Key(Win("B1"), rt::Key::Tab, true);
    EXPECT_EQ(p().Focus(), Win("K1"));
    EXPECT_TRUE(g_calls.empty());
}

// Where the focus goes when a form appears: to T, or to the form itself when there is none. A
// Space or Enter right after must click nothing (PB is a push button).
struct ShownFocusCase {
    const char* what;
    std::vector<rt::WindowDescription> controls;
};
void PrintTo(const ShownFocusCase& c, std::ostream* os) { *os << c.what; }

rt::WindowDescription Box(ControlKind kind, const char* name, uint32_t style = st::kVisible | st::kTabStop,
                          int16_t disabled = 0) {
    auto d = Control(kind, name, {10, 10, 80, 24}, style, kind == ControlKind::PushButton ? "Go" : "");
    d.disabled = disabled;
    return d;
}

const ShownFocusCase kShownFocusCases[] = {
    {"SkipsButtonsAndBoxesOutOfReach",
     {Box(ControlKind::PushButton, "PB"), Box(ControlKind::CheckBox, "K"), Box(ControlKind::Label, "LB", st::kVisible),
      Box(ControlKind::Edit, "HIDDEN", st::kTabStop),
      Box(ControlKind::Edit, "DISABLED", st::kVisible | st::kTabStop, 1),
      Box(ControlKind::Edit, "NOSTOP", st::kVisible), Box(ControlKind::ListBox, "T"), Box(ControlKind::Edit, "E")}},
    {"TakesAComboBox", {Box(ControlKind::PushButton, "PB"), Box(ControlKind::ComboBox, "T")}},
    {"FallsBackToTheForm",
     {Box(ControlKind::PushButton, "PB"), Box(ControlKind::CheckBox, "K"), Box(ControlKind::HScroll, "S"),
      Box(ControlKind::Edit, "HIDDEN", st::kTabStop)}},
};

class ShownFocus : public testing::TestWithParam<std::tuple<Backend, ShownFocusCase>>, public LayerFixture {
protected:
    void SetUp() override { Start(std::get<0>(GetParam())); }
    void TearDown() override { Stop(); }
};

TEST_P(ShownFocus, GoesToTheFirstInputBoxQuietlyAndBackThereWhenShownAgain) {
    Register(Form("SHOWN", std::get<1>(GetParam()).controls));
    Obj shown;
    FormLoad(shown, "SHOWN", -1);
    input->Settle();
    WinHandle expected = rt::WindowOf(shown);
    for (const rt::ControlInfo& c : rt::FormWindows(shown.handle))
        if (c.name == "T") expected = c.window;
    EXPECT_EQ(p().Focus(), expected);
    for (rt::Key key : {rt::Key::Space, rt::Key::Enter}) input->Key(expected, key, false);
    // The user leaves the form by its next tab stop, then for the main form; shown again, the
    // form starts over.
    input->Key(expected, rt::Key::Tab, false);
    SetVisible(shown, 0);
    input->Key(Win("K1"), rt::Key::Tab, false);
    SetVisible(shown, -1);
    input->Settle();
    EXPECT_EQ(p().Focus(), expected);
    RunPending();
    EXPECT_EQ(std::count(g_calls.begin(), g_calls.end(), "B1_ON"), 0) << "Space registered";
}

INSTANTIATE_TEST_SUITE_P(Forms, ShownFocus,
                         testing::Combine(testing::ValuesIn(Backends()), testing::ValuesIn(kShownFocusCases)));

TEST_P(WindowLayer, TheMainFormStartsInItsFirstInputBoxAndARefreshKeepsTheUsersPlace) {
    EXPECT_EQ(p().Focus(), Win("E1"));  // after B1 and B2, push buttons
    input->Key(Win("K1"), rt::Key::Tab, true);
    ASSERT_EQ(p().Focus(), Win("S1"));
    SetVisible(Obj{kMainWindow}, 0);  // as the program does around a refresh of its figures
    SetVisible(Obj{kMainWindow}, -1);
    input->Settle();
    EXPECT_EQ(p().Focus(), Win("S1"));
    RunPending();
    EXPECT_EQ(std::count(g_calls.begin(), g_calls.end(), "B1_ON"), 0) << "Space registered";
}

TEST_P(WindowLayer, EnterAndSpaceClickPushButtonsOnly) {
    input->Key(Win("B1"), rt::Key::Enter, false);
    input->Key(Win("B1"), rt::Key::Space, false);
    input->Key(Win("K1"), rt::Key::Space, false);  // the check box's own key: it toggles
    input->Key(Win("K1"), rt::Key::Enter, false);  // passes on, nothing happens
    RunPending();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"B1_ON", "B1_ON", "K1_ON"}));
    EXPECT_EQ(p().GetCheck(Win("K1")), 1);
}

// The arrows, Page Up and Down, Home and End only move a list's selection (its _CHANGE); Enter
// and Space open the selected line as a click does. With nothing selected they open the line
// with the caret, the first of a list never moved; an empty list opens nothing.
TEST_P(WindowLayer, ListKeysMoveTheSelectionAndEnterOrSpaceOpensIt) {
    Obj l1 = Bound("L1");
    input->Key(Win("L1"), rt::Key::Enter, false);
    RunPending();
    EXPECT_TRUE(g_calls.empty());
    for (const char* item : {"a", "b", "c", "d"}) ListAdd(l1, item);
    input->Key(Win("L1"), rt::Key::Enter, false);
    EXPECT_EQ(ListIndex(l1), 0);
    std::vector<int> seen;
    for (rt::Key key : {rt::Key::Down, rt::Key::Down, rt::Key::Up, rt::Key::PageDown, rt::Key::End, rt::Key::Home}) {
        input->Key(Win("L1"), key, false);
        seen.push_back(ListIndex(l1));
    }
    EXPECT_EQ(seen, (std::vector<int>{1, 2, 1, 3, 3, 0}));
    RunPending();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"L1_CHANGE", "L1_CLICK", "L1_CHANGE", "L1_CHANGE", "L1_CHANGE",
                                                 "L1_CHANGE", "L1_CHANGE"}));
    g_calls.clear();
    input->Key(Win("L1"), rt::Key::Enter, false);
    input->Key(Win("L1"), rt::Key::Space, false);
    RunPending();
    EXPECT_EQ(g_calls, (std::vector<std::string>{"L1_CHANGE", "L1_CLICK", "L1_CHANGE", "L1_CLICK"}));
    EXPECT_EQ(ListIndex(l1), 0);
}

// Enter in a box given a button (SetEnterButton) clicks that button; Space stays the box's own
// (a blank typed into the number), as on a button it would click.
TEST_P(WindowLayer, EnterInABoxClicksTheButtonItWasGiven) {
    SetEnterButton(Bound("C1"), Bound("B1"));
    input->Key(Win("C1"), rt::Key::Space, false);
    RunPending();
    EXPECT_EQ(std::count(g_calls.begin(), g_calls.end(), "B1_ON"), 0) << "Space registered";
    g_calls.clear();
    input->Key(Win("C1"), rt::Key::Enter, false);
    RunPending();
    EXPECT_EQ(g_calls, std::vector<std::string>{"B1_ON"});
    EXPECT_RT_ERROR(SetEnterButton(Bound("B1"), Bound("B2")), 1002);
    EXPECT_RT_ERROR(SetEnterButton(Bound("C1"), Bound("K1")), 1002);
}

TEST_P(WindowLayer, OperationsCheckBindingKindAndArguments) {
    Obj unbound;
    EXPECT_RT_ERROR(SetText(unbound, "x"), 1000);
    EXPECT_RT_ERROR(GetText(Obj{999}), 1000);
    Obj b1 = Bound("B1"), e1 = Bound("E1"), l1 = Bound("L1"), k1 = Bound("K1"), c1 = Bound("C1");
    EXPECT_RT_ERROR(ListAdd(b1, "x"), 1002);
    EXPECT_RT_ERROR(SetCheck(e1, 1), 1002);
    EXPECT_RT_ERROR(ScrollSetPos(b1, 1), 1002);
    EXPECT_RT_ERROR(SetText(l1, "x"), 1002);
    EXPECT_RT_ERROR(ListSelCount(c1), 1002);
    EXPECT_RT_ERROR(EditSetSel(b1, 0, 1, 0), 1002);
    EXPECT_RT_ERROR(SetVisible(b1, 1), 5);
    EXPECT_RT_ERROR(SetEnabled(b1, 2), 5);
    EXPECT_RT_ERROR(SetCheck(k1, 3), 5);
    EXPECT_RT_ERROR(EditSetSel(e1, -2, 0, 0), 5);
    EXPECT_RT_ERROR(SetMaxLength(e1, -1), 5);
    EXPECT_RT_ERROR(SetImeMode(e1, 8), 5);
    EXPECT_RT_ERROR(SetImeMode(Obj{kMainWindow}, 3), 5);
    EXPECT_RT_ERROR(SetImeMode(b1, 1), 1002);
    EXPECT_RT_ERROR(SetFontName(b1, Text(std::string(32, 'F'))), 5);
    SetCheck(k1, 2);
    EXPECT_EQ(GetCheck(k1), 2);
}

TEST_P(WindowLayer, ListAndEditOperations) {
    Obj l1 = Bound("L1"), e1 = Bound("E1");
    ListAdd(l1, "b");
    ListAdd(l1, "a");
    EXPECT_EQ(ListCount(l1), 2);
    EXPECT_EQ(ListIndex(l1), -1);
    EXPECT_EQ(p().ListItem(Win("L1"), 1), "a");  // unsorted lists keep the order of adding
    ListClear(l1);
    EXPECT_EQ(ListCount(l1), 0);
    SetText(e1, "12345");
    EditSetSel(e1, 1, 3, 0);
    EXPECT_EQ(EditSelText(e1), Text("23"));
    EditSetSel(e1, 0, -1, 1);
    EXPECT_EQ(EditSelText(e1), Text("12345"));
}

TEST_P(WindowLayer, FontsSizesArePixelsRoundedTiesToEven) {
    Obj b1 = Bound("B1");
    SetFontSize(b1, 14.5f);
    EXPECT_EQ(p().Font(Win("B1")).size, 14);
    EXPECT_EQ(p().Font(Win("B1")).unit, rt::FontUnit::Pixels);
    SetFontName(b1, "ＭＳ 明朝");
    EXPECT_EQ(p().Font(Win("B1")).face, std::string("ＭＳ 明朝"));
    EXPECT_EQ(p().Font(Win("B1")).size, 14);
}

TEST_P(WindowLayer, ClosingTheMainWindowEndsTheProgramOtherFormsOnlyAsk) {
    Obj sub;
    FormLoad(sub, "SUB", -1);
    input->Close(rt::WindowOf(sub));
    EXPECT_TRUE(p().Exists(rt::WindowOf(sub)));
    RunPending();
    EXPECT_EQ(g_calls, std::vector<std::string>{"SUB_CLOSE_QUERYCLOSE"});
    input->Close(rt::WindowOf(Obj{kMainWindow}));
    int code = -1;
    try {
        FormWait(Obj{kMainWindow});
    } catch (const rt::ProgramEnd& end) {
        code = end.code;
    }
    EXPECT_EQ(code, 0);
}

TEST_P(WindowLayer, EndProgramCarriesItsCode) {
    int code = -1;
    try {
        EndProgram(3);
    } catch (const rt::ProgramEnd& end) {
        code = end.code;
    }
    EXPECT_EQ(code, 3);
}

// The headless back end's input source: the end of the input ends the program.
class HeadlessWaiting : public testing::Test, public LayerFixture {
protected:
    void SetUp() override {
        Start({"headless", [] { return std::make_unique<HeadlessInput>(); }});
    }
    void TearDown() override { Stop(); }
};

TEST_F(HeadlessWaiting, WaitingEndsWhenInputEnds) {
    auto& headless = static_cast<HeadlessInput&>(*input).p;
    int calls = 0;
    headless.SetInputSource([&] {
        if (calls++ == 0) {
            headless.UserClick(Win("B1"));
            return true;
        }
        return false;
    });
    FormWait(Obj{kMainWindow});
    EXPECT_EQ(g_calls, std::vector<std::string>{"B1_ON"});
    EXPECT_THROW(FormWait(Obj{kMainWindow}), rt::ProgramEnd);
}

}  // namespace

namespace {

// Long routines pump the window system's messages every eleventh step, so that the windows stay
// responsive; what the user does meanwhile is only queued.
class CountingPlatform : public rt::HeadlessPlatform {
public:
    void ProcessPending() override {
        ++pumped;
        if (clickDuringPump) UserClick(clickDuringPump);
    }
    int pumped = 0;
    rt::WinHandle clickDuringPump = 0;
};

TEST(MessagePump, EveryEleventhStepPumpsAndEventsRaisedMeanwhileOnlyQueue) {
    g_calls.clear();
    rt::SetRoutineTable(kRoutines);
    Register(MainForm());
    CountingPlatform p;
    rt::SetPlatform(&p);
    rt::StartWindowLayer(p);
    p.clickDuringPump = FormControl(Obj{kMainWindow}, "B1");
    for (int step = 0; step < 33; ++step) PumpStep();
    EXPECT_EQ(p.pumped, 3);
    EXPECT_TRUE(g_calls.empty());
    EXPECT_EQ(rt::PendingEvents(), 3u);
    rt::ResetWindowLayer();
    rt::SetPlatform(nullptr);
}

}  // namespace
