// The scripted driver: commands, printed dialogs and dumps, and the exit status.
#include "runtime/driver/script_driver.h"
#include "runtime/files/error_record.h"
#include "runtime/values/encoding.h"

#include <gtest/gtest.h>

#include <sstream>

#include "runtime/window/dialogs.h"
#include "tests/support/test_forms.h"
#include "tests/support/test_home.h"

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
void END_ON(Obj&) { EndProgram(0); }
// A caption with every kind of byte the driver must escape when it prints it.
void ODD_ON(Obj&) { SetText(Obj{kMainWindow}, "a\tb\x1F\x7F\\\"\r\n"); }

const RoutineEntry kRoutines[] = {
    {"ASK_ON", ASK_ON}, {"PICK_ON", PICK_ON}, {"FAIL_ON", FAIL_ON}, {"END_ON", END_ON}, {"ODD_ON", ODD_ON}};

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
    auto combo = Control(ControlKind::ComboBox, "C1", {120, 1, 80, 100}, st::kVisible | st::kCbsDropDown);
    combo.items = "x\r\ny";
    Register(
        Form("MAINFORM", {Control(ControlKind::PushButton, "ASK", {1, 30, 50, 20}, st::kVisible, "ask"),
                          Control(ControlKind::PushButton, "PICK", {1, 60, 50, 20}, st::kVisible, "pick"),
                          Control(ControlKind::PushButton, "FAIL", {60, 60, 50, 20}, st::kVisible, "fail"),
                          Control(ControlKind::PushButton, "HIDDEN", {60, 30, 50, 20}, 0, "hidden"), e, list, multi,
                          check, bar, Control(ControlKind::PushButton, "END", {120, 30, 50, 20}, st::kVisible, "end"),
                          Control(ControlKind::PushButton, "ODD", {120, 60, 50, 20}, st::kVisible, "odd"),
                          Control(ControlKind::Edit, "E2", {120, 120, 80, 20}, st::kVisible), combo}));
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
    ScriptRun r =
        RunText(U8(u8"choose /tmp/注文.TXT\nclick MAINFORM.PICK\nexpect MAINFORM text /tmp/注文.TXT\n"
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
    EXPECT_NE(r.out.find(U8(u8"L1 kind=list visible=1 enabled=1 text=\"\" sel=-1 items=[\"一\",\"二\"]\n")),
              std::string::npos);
    EXPECT_NE(r.out.find("L2 kind=list visible=1 enabled=1 text=\"\" sel=[1] items=[\"a\",\"b\",\"c\"]\n"),
              std::string::npos);
    EXPECT_NE(r.out.find(U8(u8"K1 kind=check visible=1 enabled=1 text=\"チェック\" check=0\n")), std::string::npos);
    EXPECT_NE(r.out.find("S1 kind=hscroll visible=1 enabled=1 text=\"\" pos=50 min=50 max=600\n"), std::string::npos);
}

// A script and how its run ends: the exit status and a fragment of what the driver says on
// standard error (nothing at all when the fragment is empty).
struct Ending {
    const char* script;
    int status;
    const char* message;
};
void PrintTo(const Ending& e, std::ostream* os) { *os << testing::PrintToString(std::string(e.script)); }
class ScriptEndings : public testing::TestWithParam<Ending> {};

TEST_P(ScriptEndings, HaveTheirStatusAndSayWhy) {
    ScriptRun r = RunText(GetParam().script);
    EXPECT_EQ(r.status, GetParam().status) << r.out << r.err;
    if (*GetParam().message)
        EXPECT_NE(r.err.find(GetParam().message), std::string::npos) << r.err;
    else
        EXPECT_EQ(r.err, "");
}

INSTANTIATE_TEST_SUITE_P(
    Basics, ScriptEndings,
    testing::Values(Ending{"expect MAINFORM.E1 text 9\nexpect MAINFORM.K1 check 0\n", rt::kScriptExpectFailed,
                           "test:1: expect MAINFORM.E1 text: wanted \"9\", got \"\""},
                    Ending{"click MAINFORM.NOPE\n", rt::kScriptError, "test:1: no control named NOPE on MAINFORM"},
                    Ending{"click NOFORM.X\n", rt::kScriptError, "no form named NOFORM"},
                    Ending{"click MAINFORM.HIDDEN\n", rt::kScriptError, "cannot be reached"},
                    Ending{"click MAINFORM.E1\n", rt::kScriptError, "click does not fit MAINFORM.E1"},
                    Ending{"click MAINFORM\n", rt::kScriptError, "click needs FORM.CONTROL, not the form MAINFORM"},
                    Ending{"dump MAINFORM.E1\n", rt::kScriptError, "dump takes a form, not the control MAINFORM.E1"},
                    Ending{"select MAINFORM.L2 0\n", rt::kScriptError, "use toggle"},
                    Ending{"select MAINFORM.L1 5\n", rt::kScriptError, "has no item 5"},
                    Ending{"click MAINFORM.ASK\n", rt::kScriptError, "no answer queued"},
                    Ending{"frobnicate MAINFORM.ASK\n", rt::kScriptError, "unknown command frobnicate"},
                    Ending{"type MAINFORM.E1 \xF0\x9F\x98\x80\n", rt::kScriptError, "Shift-JIS cannot hold"}));

// The program may end before the script does; what is left must not silently go unrun.
INSTANTIATE_TEST_SUITE_P(
    ProgramEnd, ScriptEndings,
    testing::Values(Ending{"expect MAINFORM visible 1\nclick MAINFORM.END\n", rt::kScriptCompleted, ""},
                    Ending{"click MAINFORM.END\n# that was all\n\n \t\n", rt::kScriptCompleted, ""},
                    Ending{"expect MAINFORM visible 1\nclick MAINFORM.END\n\n# more\nexpect MAINFORM visible 1\n",
                           rt::kScriptError,
                           "test:2: the program ended during this command, but the script goes on at line 5"},
                    // Closing the main window ends the program inside the command itself.
                    Ending{"close MAINFORM\nclick MAINFORM.ASK\n", rt::kScriptError, "test:1: the program ended"},
                    Ending{"answer yes\nclick MAINFORM.ASK\nanswer no\nclick MAINFORM.END\n", rt::kScriptError,
                           "test:3: answer no was never used: no message box asked for it"},
                    Ending{"answer yes\n", rt::kScriptError, "test:1: answer yes was never used"},
                    Ending{"choose /tmp/a b.TXT\nexpect MAINFORM visible 1\n", rt::kScriptError,
                           "test:1: choose /tmp/a b.TXT was never used: no file dialog asked for it"}));

INSTANTIATE_TEST_SUITE_P(
    Arguments, ScriptEndings,
    testing::Values(
        Ending{"click MAINFORM.ASK extra\n", rt::kScriptError,
               "test:1: click takes nothing after its arguments, found \"extra\" (click FORM.CONTROL)"},
        Ending{"select MAINFORM.L1 1 4\n", rt::kScriptError, "select takes nothing after its arguments, found \"4\""},
        Ending{"toggle MAINFORM.L2 1 2\n", rt::kScriptError, "toggle takes nothing after its arguments"},
        Ending{"scroll MAINFORM.S1 lineleft x\n", rt::kScriptError, "scroll takes nothing after its arguments"},
        Ending{"key MAINFORM.E1 tab x\n", rt::kScriptError, "key takes nothing after its arguments"},
        Ending{"answer ok x\n", rt::kScriptError, "answer takes nothing after its arguments"},
        Ending{"close MAINFORM x\n", rt::kScriptError, "close takes nothing after its arguments"},
        Ending{"dump MAINFORM x y\n", rt::kScriptError, "dump takes nothing after its arguments, found \"x y\""},
        Ending{"expect MAINFORM.E1 visible 1 2\n", rt::kScriptError, "expect takes nothing after its arguments"},
        Ending{"click\n", rt::kScriptError, "click needs FORM.CONTROL"},
        Ending{"type MAINFORM.E2\n", rt::kScriptError,
               "type needs TEXT (type FORM.CONTROL TEXT; \"\" is the empty text)"},
        Ending{"type MAINFORM.E2 \n", rt::kScriptError, "type needs TEXT"},
        Ending{"select MAINFORM.L1\n", rt::kScriptError, "select needs N (select FORM.CONTROL N)"},
        Ending{"scroll MAINFORM.S1\n", rt::kScriptError, "scroll needs POS|lineleft|lineright|pageleft|pageright"},
        Ending{"key MAINFORM.E1\n", rt::kScriptError, "key needs tab|shift-tab|enter|space"},
        Ending{"answer\n", rt::kScriptError, "answer needs ok|cancel|yes|no|abort|retry|ignore"},
        Ending{"choose\n", rt::kScriptError, "choose needs PATH or cancel"},
        Ending{"choose \"\"\n", rt::kScriptError, "choose needs PATH or cancel"},
        Ending{"expect MAINFORM.E1\n", rt::kScriptError, "expect needs PROPERTY"},
        Ending{"expect MAINFORM.E1 text\n", rt::kScriptError, "expect needs VALUE"},
        Ending{"expect MAINFORM.E1 visible\n", rt::kScriptError, "expect needs VALUE"},
        Ending{"key MAINFORM.E1 f1\n", rt::kScriptError, "unknown key f1"},  // escape is a key now
        Ending{"answer maybe\n", rt::kScriptError, "unknown answer maybe"}));

INSTANTIATE_TEST_SUITE_P(
    Properties, ScriptEndings,
    testing::Values(Ending{"expect MAINFORM.E1 check 0\n", rt::kScriptError,
                           "expect: MAINFORM.E1 (kind=edit) has no check, only text, visible, enabled\n"},
                    Ending{"expect MAINFORM.L1 pos 0\n", rt::kScriptError, "MAINFORM.L1 (kind=list) has no pos"},
                    Ending{"expect MAINFORM.S1 sel 0\n", rt::kScriptError, "has no sel"},
                    Ending{"expect MAINFORM.K1 count 0\n", rt::kScriptError, "has no count"},
                    Ending{"expect MAINFORM enabled 1\n", rt::kScriptError,
                           "(kind=form) has no enabled, only text, visible\n"},
                    Ending{"expect MAINFORM.E1 colour red\n", rt::kScriptError, "unknown property colour"},
                    Ending{"expect MAINFORM visible yes\n", rt::kScriptError, "visible is 0 or 1, not yes"},
                    Ending{"expect MAINFORM.L1 count two\n", rt::kScriptError, "\"two\" is not a number"},
                    Ending{"expect MAINFORM.C1 sel -1\nexpect MAINFORM.C1 count 2\nexpect MAINFORM.S1 pos 050\n",
                           rt::kScriptCompleted, ""}));

// Blank lines, a byte-order mark and letter case are forgiven; what is not UTF-8, and a control
// character, are not.
INSTANTIATE_TEST_SUITE_P(
    Lines, ScriptEndings,
    testing::Values(Ending{" \t \n\t\n  # indented comment\nexpect MAINFORM visible 1\n", rt::kScriptCompleted, ""},
                    Ending{"\xEF\xBB\xBF"
                           "expect MAINFORM visible 1\r\n",
                           rt::kScriptCompleted, ""},
                    Ending{"expect MAINFORM visible 1\n\xEF\xBB\xBF"
                           "expect MAINFORM visible 1\n",
                           rt::kScriptError, "test:2: unknown command"},
                    Ending{"ANSWER Yes\nClick mainform.ask\nEXPECT MAINFORM TEXT yes\nKey MAINFORM.E1 SHIFT-TAB\n"
                           "Scroll MAINFORM.S1 PageRight\nexpect mainform.s1 Pos 66\nCHOOSE Cancel\n"
                           "click MAINFORM.PICK\nexpect MAINFORM text cancelled\n",
                           rt::kScriptCompleted, ""},
                    Ending{"expect MAINFORM visible 1\nexpect MAINFORM text \x82\xA0\n", rt::kScriptError,
                           "test:2: the line is not valid UTF-8"},
                    Ending{"# \x93\xFA\x96\x7B\n", rt::kScriptError, "test:1: the line is not valid UTF-8"},
                    Ending{"type MAINFORM.E2 a\x1F"
                           "b\n",
                           rt::kScriptError, "test:1: the line has a control character \\x1F"},
                    Ending{"type MAINFORM.E2 a\x20"
                           "b\nexpect MAINFORM.E2 text a b\n",
                           rt::kScriptCompleted, ""},
                    Ending{"type MAINFORM.E2 a\x7F"
                           "b\n",
                           rt::kScriptError, "control character \\x7F"},
                    Ending{"type\tMAINFORM.E2\ta\tb\n", rt::kScriptError,
                           "the text has a control character \\x09, which a keyboard cannot type"},
                    Ending{"expect\tMAINFORM\tvisible\t1\n", rt::kScriptCompleted, ""}));

TEST(ScriptDriver, ExpectComparesTextsAsTheProgramHoldsThem) {
    // ¥ becomes 0x5C in Shift-JIS, which reads back as \.
    ScriptRun r =
        RunText(U8(u8"type MAINFORM.E2 ¥100～\nexpect MAINFORM.E2 text ¥100～\n"
                   u8"expect MAINFORM.E2 text \\100～\n"));
    EXPECT_EQ(r.status, rt::kScriptCompleted) << r.err;
    // A known difference: where the system's conversion takes the wave dash 〜 for 0x8160 (glibc's
    // does; Windows refuses a look-alike), it reads back as ～.
    if (rt::Utf8ToSjis(U8(u8"〜"))) {
        r = RunText(U8(u8"type MAINFORM.E2 〜\nexpect MAINFORM.E2 text ～\n"));
        EXPECT_EQ(r.status, rt::kScriptCompleted) << r.err;
    }
    r = RunText(U8(u8"type MAINFORM.E2 ¥1\nexpect MAINFORM.E2 text ¥2\n"));
    EXPECT_EQ(r.status, rt::kScriptExpectFailed);
    EXPECT_EQ(r.err, U8(u8"test:2: expect MAINFORM.E2 text: wanted \"¥2\", got \"\\\\1\"\n"));
    r = RunText(U8(u8"expect MAINFORM.E2 text 😀\n"));
    EXPECT_EQ(r.status, rt::kScriptError);
    EXPECT_NE(r.err.find("Shift-JIS cannot hold"), std::string::npos) << r.err;
}

TEST(ScriptDriver, PrintsControlBytesOfTheProgramsTextsEscaped) {
    ScriptRun r = RunText("click MAINFORM.ODD\ndump MAINFORM\nexpect MAINFORM text odd\n");
    EXPECT_EQ(r.status, rt::kScriptExpectFailed);
    EXPECT_NE(r.out.find("form MAINFORM visible=1 text=\"a\\x09b\\x1F\\x7F\\\\\\\"\\r\\n\"\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.err.find("got \"a\\x09b\\x1F\\x7F\\\\\\\"\\r\\n\""), std::string::npos) << r.err;
}

TEST(ScriptDriver, ARuntimeErrorPrintsItsReport) {
    ScriptRun r = RunText("click MAINFORM.FAIL\nclick MAINFORM.ASK\n");
    EXPECT_EQ(r.status, rt::kScriptRuntimeError);
    EXPECT_NE(r.out.find("Kalvoro ["), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(U8(u8"]:エラー[9]")), std::string::npos) << r.out;
    // The report as before, then what Help would show, with the record's path as README names it.
    EXPECT_NE(r.out.find(U8(u8"]:エラー[9]\n配列の添字が範囲外です\nhelp \"エラー[9]について\\r\\n登録できる数を")),
              std::string::npos)
        << r.out;
    // A known difference: the Windows build keeps the record in the registry, and names its key.
    const std::string where = rt::LastErrorPath().string().starts_with("HKEY_")
                                  ? "HKEY_CURRENT_USER\\\\Software\\\\Kalvoro\\\\RUNTIME\\\\ERROR"
                                  : "$XDG_STATE_HOME/kalvoro/last-error";
    EXPECT_NE(r.out.find("\\r\\n" + where + "\"\n"), std::string::npos) << r.out;
    EXPECT_EQ(r.out.find(testhome::Root().string()), std::string::npos) << r.out;
}

}  // namespace
