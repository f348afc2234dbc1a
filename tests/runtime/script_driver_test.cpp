// The scripted driver: commands, printed dialogs and dumps, and the exit status.
#include "runtime/script_driver.h"

#include <gtest/gtest.h>

#include <sstream>

#include "runtime/dialogs.h"
#include "tests/support/test_forms.h"

namespace {

using namespace testforms;

void ASK_ON(Obj& form) {
    Int32 a = MessageBox(form, "確認", "保存しますか？\r\n\"はい\"", 4, 1);
    SetText(Obj{kMainWindow}, a == 5 ? "yes" : "no");
}
void PICK_ON(Obj& form) {
    Text path = OpenDialog(form, "開く", "/data/*.TXT", "ﾃｷｽﾄ形式(*.TXT,*.CSV)", 0);
    SetText(Obj{kMainWindow}, path == TextFromCodes({27}) ? Text("cancelled") : path);
}
void FAIL_ON(Obj&) { RaiseError(9); }

const RoutineEntry kRoutines[] = {{"ASK_ON", ASK_ON}, {"PICK_ON", PICK_ON}, {"FAIL_ON", FAIL_ON}};

void Program() {
    for (;;) FormWait(Obj{kMainWindow});
}

// Scripts and the driver's output are UTF-8; the program's own literals are Shift-JIS.
std::string U8(const char8_t* s) { return reinterpret_cast<const char*>(s); }

struct ScriptRun {
    int status;
    std::string out, err;
};

ScriptRun RunText(const std::string& script) {
    rt::SetRoutineTable(kRoutines);
    auto e = Control(ControlKind::Edit, "E1", {1, 1, 50, 20}, st::kVisible | st::kEsNumber);
    e.maxLength = 4;
    auto list = Control(ControlKind::ListBox, "L1", {1, 100, 50, 50}, st::kVisible);
    list.items = "一\r\n二";
    auto multi = Control(ControlKind::ListBox, "L2", {60, 100, 50, 50}, st::kVisible | st::kLbsMultipleSel);
    multi.items = "a\r\nb\r\nc";
    auto check = Control(ControlKind::CheckBox, "K1", {1, 160, 50, 20}, st::kVisible | st::kBsAutoCheckBox, "チェック");
    auto bar = Control(ControlKind::HScroll, "S1", {1, 190, 100, 16}, st::kVisible);
    bar.scrollRange = {{50, 600}};
    bar.scrollSteps = {{1, 16}};
    Register(Form("MAINFORM",
                  {Control(ControlKind::PushButton, "ASK", {1, 30, 50, 20}, st::kVisible, "ask"),
                   Control(ControlKind::PushButton, "PICK", {1, 60, 50, 20}, st::kVisible, "pick"),
                   Control(ControlKind::PushButton, "FAIL", {60, 60, 50, 20}, st::kVisible, "fail"),
                   Control(ControlKind::PushButton, "HIDDEN", {60, 30, 50, 20}, 0, "hidden"), e, list, multi, check,
                   bar}));
    std::istringstream in(script);
    std::ostringstream out, err;
    int status = rt::RunScript(in, "test", Program, out, err);
    return {status, out.str(), err.str()};
}

TEST(ScriptDriver, RunsToTheEndAndPrintsMessageBoxesWithTheirAnswers) {
    ScriptRun r = RunText(U8(u8"# a comment\n\nanswer yes\nclick MAINFORM.ASK\nexpect MAINFORM text yes\n"));
    EXPECT_EQ(r.status, rt::kScriptCompleted) << r.err;
    EXPECT_EQ(r.out,
              U8(u8"message \"確認\" \"保存しますか？\\r\\n\\\"はい\\\"\" buttons=yesno icon=question -> yes\n"));
}

TEST(ScriptDriver, PrintsFileDialogsAndTakesChoices) {
    ScriptRun r = RunText(U8(u8"choose /tmp/注文.TXT\nclick MAINFORM.PICK\nexpect MAINFORM text /tmp/注文.TXT\n"
                       u8"choose cancel\nclick MAINFORM.PICK\nexpect MAINFORM text cancelled\n"));
    EXPECT_EQ(r.status, rt::kScriptCompleted) << r.err;
    EXPECT_NE(r.out.find(U8(u8"dialog open \"開く\" \"/data/*.TXT\" \"ﾃｷｽﾄ形式(*.TXT,*.CSV)\" -> /tmp/注文.TXT\n")),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("-> cancel\n"), std::string::npos);
}

TEST(ScriptDriver, TypingSelectingTogglingAndScrollingAsAUserWould) {
    ScriptRun r = RunText(
        "type MAINFORM.E1 12a345\nexpect MAINFORM.E1 text 1234\n"
        "select MAINFORM.L1 1\nexpect MAINFORM.L1 sel 1\nexpect MAINFORM.L1 count 2\n"
        "toggle MAINFORM.L2 2\ntoggle MAINFORM.L2 0\nexpect MAINFORM.L2 sel [0,2]\n"
        "click MAINFORM.K1\nexpect MAINFORM.K1 check 1\n"
        "scroll MAINFORM.S1 300\nscroll MAINFORM.S1 pageright\nexpect MAINFORM.S1 pos 316\n"
        "type MAINFORM.E1 \"\"\nexpect MAINFORM.E1 text \"\"\n");
    EXPECT_EQ(r.status, rt::kScriptCompleted) << r.err;
}

TEST(ScriptDriver, DumpListsEveryControlInResourceOrder) {
    ScriptRun r = RunText("toggle MAINFORM.L2 1\ndump MAINFORM\n");
    EXPECT_NE(r.out.find("form MAINFORM visible=1 text=\"MAINFORM\"\n"
                         "ASK kind=button visible=1 enabled=1 text=\"ask\"\n"),
              std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("HIDDEN kind=button visible=0 enabled=1 text=\"hidden\"\n"), std::string::npos);
    EXPECT_NE(r.out.find(U8(u8"L1 kind=list visible=1 enabled=1 text=\"\" sel=-1 items=[\"一\",\"二\"]\n")), std::string::npos);
    EXPECT_NE(r.out.find("L2 kind=list visible=1 enabled=1 text=\"\" sel=[1] items=[\"a\",\"b\",\"c\"]\n"), std::string::npos);
    EXPECT_NE(r.out.find(U8(u8"K1 kind=check visible=1 enabled=1 text=\"チェック\" check=0\n")), std::string::npos);
    EXPECT_NE(r.out.find("S1 kind=hscroll visible=1 enabled=1 text=\"\" pos=50 min=50 max=600\n"), std::string::npos);
}

struct Failing {
    const char* script;
    int status;
    const char* message;
};
class ScriptFailures : public testing::TestWithParam<Failing> {};

TEST_P(ScriptFailures, StopWithTheirStatusAndSayWhy) {
    ScriptRun r = RunText(GetParam().script);
    EXPECT_EQ(r.status, GetParam().status) << r.out << r.err;
    EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ScriptFailures,
    testing::Values(Failing{"expect MAINFORM.E1 text 9\nexpect MAINFORM.K1 check 0\n", rt::kScriptExpectFailed,
                            "test:1: expect MAINFORM.E1 text: wanted \"9\", got \"\""},
                    Failing{"click MAINFORM.NOPE\n", rt::kScriptError, "test:1: no control named NOPE on MAINFORM"},
                    Failing{"click NOFORM.X\n", rt::kScriptError, "no form named NOFORM"},
                    Failing{"click MAINFORM.HIDDEN\n", rt::kScriptError, "cannot be reached"},
                    Failing{"click MAINFORM.E1\n", rt::kScriptError, "click does not fit MAINFORM.E1"},
                    Failing{"select MAINFORM.L2 0\n", rt::kScriptError, "use toggle"},
                    Failing{"select MAINFORM.L1 5\n", rt::kScriptError, "has no item 5"},
                    Failing{"click MAINFORM.ASK\n", rt::kScriptError, "no answer queued"},
                    Failing{"frobnicate MAINFORM.ASK\n", rt::kScriptError, "unknown command frobnicate"},
                    Failing{"type MAINFORM.E1 \xF0\x9F\x98\x80\n", rt::kScriptError, "Shift-JIS cannot hold"}));

TEST(ScriptDriver, ARuntimeErrorPrintsItsReport) {
    ScriptRun r = RunText("click MAINFORM.FAIL\nclick MAINFORM.ASK\n");
    EXPECT_EQ(r.status, rt::kScriptRuntimeError);
    EXPECT_NE(r.out.find("Kalvoro ["), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(U8(u8"]:エラー[9]")), std::string::npos) << r.out;
}

}  // namespace
