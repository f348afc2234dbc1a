// Message boxes and file dialogs: the argument checks, the answers and the cancel value.
#include "runtime/window/dialogs.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include "runtime/backends/headless.h"
#include "runtime/files/error_record.h"
#include "runtime/values/error.h"
#include "tests/support/expect_error.h"
#include "tests/support/long_paths.h"
#include "tests/support/test_forms.h"

namespace {

using namespace testforms;

class Dialogs : public testing::Test {
protected:
    void SetUp() override {
        Register(Form("MAINFORM", {Control(ControlKind::PushButton, "B1", {1, 1, 20, 20}, st::kVisible, "b")}));
        rt::SetPlatform(&p);
        rt::StartWindowLayer(p);
        p.SetDialogObserver([this](const rt::FileDialogSpec& s, const std::optional<std::string>*) { last = s; });
    }
    void TearDown() override {
        rt::ResetWindowLayer();
        rt::SetPlatform(nullptr);
    }
    rt::HeadlessPlatform p;
    rt::FileDialogSpec last;
    Obj main{kMainWindow};
};

TEST_F(Dialogs, MessageBoxAnswersAndArgumentChecks) {
    p.QueueAnswer(rt::Answer::Ok);
    EXPECT_EQ(MessageBox(main, "t", "x", 1, 2), 0);
    p.QueueAnswer(rt::Answer::Cancel);
    EXPECT_EQ(MessageBox(main, "t", "x", 1, 2), 1);
    p.QueueAnswer(rt::Answer::No);
    EXPECT_EQ(MessageBox(main, "t", "x", 4, 1), 6);
    EXPECT_RT_ERROR(MessageBox(main, "t", "x", 6, 0), 5);
    // 256 more: Enter presses the second button.
    p.QueueAnswer(rt::Answer::No);
    EXPECT_EQ(MessageBox(main, "t", "x", 4 + 256, 1), 6);
    EXPECT_EQ(p.LastDefaultButton(), rt::DefaultButton::Second);
    EXPECT_RT_ERROR(MessageBox(main, "t", "x", 6 + 256, 0), 5);
    EXPECT_RT_ERROR(MessageBox(main, "t", "x", 0, 5), 5);
    EXPECT_RT_ERROR(MessageBox(Obj{}, "t", "x", 0, 0), 1000);
    // A control may own a message box.
    Obj b1;
    ControlBind(b1, FormControl(main, "B1"));
    p.QueueAnswer(rt::Answer::Ok);
    EXPECT_EQ(MessageBox(b1, "t", "x", 0, 3), 0);
}

TEST_F(Dialogs, ARuntimeErrorIsReportedWithHelpAndNotAsOneOfTheProgramsBoxes) {
    std::vector<std::string> boxes;
    p.SetMessageObserver([&](const std::string& title, const std::string&, rt::MessageButtons, rt::MessageIcon,
                             std::optional<rt::Answer>) { boxes.push_back(title); });
    p.QueueAnswer(rt::Answer::Cancel);  // meant for a box of the program's own, after the report
    rt::RuntimeError e;
    e.code = 9;
    e.module = "Kalvoro";
    e.line = 42;
    rt::EndWithRuntimeError(e);
    ASSERT_EQ(p.ErrorReports().size(), 1u);
    const rt::HeadlessPlatform::ShownReport& shown = p.ErrorReports()[0];
    EXPECT_EQ(shown.caption, rt::ExecutableCaption());
    EXPECT_EQ(shown.report, "\r\nKalvoro [42行]:エラー[9]\n配列の添字が範囲外です");
    EXPECT_EQ(shown.help, rt::ErrorHelpText(e, rt::LastErrorPath().string()));
    EXPECT_NE(shown.help.find("登録できる数を超えた項目を扱おうとしました。"), std::string::npos);
    EXPECT_NE(shown.help.find(rt::LastErrorPath().string()), std::string::npos);
    // The report took no answer and raised no message box; the program's boxes answer as before.
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(MessageBox(main, "t", "x", 1, 2), 1);
    EXPECT_EQ(boxes, std::vector<std::string>{"t"});
}

TEST_F(Dialogs, FileDialogLimitsAreExact) {
    p.QueueFileChoice(std::nullopt);
    EXPECT_NO_THROW(SaveDialog(main, Text(std::string(64, 'T')), "", "", 0));
    EXPECT_RT_ERROR(SaveDialog(main, Text(std::string(65, 'T')), "", "", 0), 5);
    EXPECT_RT_ERROR(OpenDialog(main, "t", "", Text("a(*.A)" + std::string(506, 'x')), 0), 5);
    EXPECT_RT_ERROR(OpenDialog(main, "t", "", "", 2), 5);
    EXPECT_RT_ERROR(OpenDialog(main, "t", "", "no parentheses", 0), 5);
    Obj b1;
    ControlBind(b1, FormControl(main, "B1"));
    EXPECT_RT_ERROR(OpenDialog(b1, "t", "", "", 0), 1002);
}

TEST_F(Dialogs, CancelGivesTheEscapeByteAndAChoiceTheFullPath) {
    p.QueueFileChoice(std::nullopt);
    Text cancelled = OpenDialog(main, "t", "", "", 0);
    EXPECT_EQ(cancelled, TextFromCodes({27}));
    p.QueueFileChoice(std::string("/tmp/order.SAV"));
    EXPECT_EQ(SaveDialog(main, "t", "", "", 0), Text("/tmp/order.SAV"));
    EXPECT_TRUE(last.overwritePrompt);
    p.QueueFileChoice(std::nullopt);
    OpenDialog(main, "t", "", "", 0);
    EXPECT_TRUE(last.fileMustExist);
    p.QueueFileChoice(std::nullopt);
    OpenDialog(main, "t", "", "", 1);
    EXPECT_FALSE(last.fileMustExist);
}

TEST_F(Dialogs, InitialFolderAndName) {
    char cwd[4096];
    ASSERT_TRUE(getcwd(cwd, sizeof cwd));
    p.QueueFileChoice(std::nullopt);
    SaveDialog(main, "t", "*.SAV", "", 0);  // an empty last folder: the current one
    EXPECT_EQ(last.initialFolder, std::string(cwd) + "/");
    EXPECT_EQ(last.initialName, "*.SAV");
    p.QueueFileChoice(std::nullopt);
    SaveDialog(main, "t", "/work/orders/", "", 0);
    EXPECT_EQ(last.initialFolder, "/work/orders/");
    EXPECT_EQ(last.initialName, "");
    p.QueueFileChoice(std::nullopt);
    SaveDialog(main, "t", "/work/メール添付用.TXT", "", 0);
    EXPECT_EQ(last.initialName, std::string("メール添付用.TXT"));
}

// The initial path is the last folder chosen and a name; a folder the customer could choose, up
// to the system's limit and past it, is one the dialog starts in.
TEST_F(Dialogs, ALongInitialPathStartsTheDialogThere) {
    const Text name = "メール添付用.TXT";
    for (size_t length : {size_t{261}, size_t{4095}, size_t{4096}}) {
        const std::string folder = "/" + longpaths::Filling(length - 2 - name.size()) + "/";
        p.QueueFileChoice(std::nullopt);
        ASSERT_TRUE(DialogCancelled(SaveDialog(main, "t", Text(folder) + name, "", 0))) << length;
        EXPECT_EQ(last.initialFolder, folder) << length;
        EXPECT_EQ(last.initialName, name.bytes()) << length;
    }
}

TEST(FilterText, EntriesDescriptionsAndPatterns) {
    auto f = rt::ParseFilter("ﾃｷｽﾄ形式(*.TXT,*.CSV)");
    ASSERT_TRUE(f);
    ASSERT_EQ(f->size(), 1u);
    EXPECT_EQ((*f)[0].description, std::string("ﾃｷｽﾄ形式(*.TXT,*.CSV)"));
    EXPECT_EQ((*f)[0].patterns, (std::vector<std::string>{"*.TXT", "*.CSV"}));
    auto two = rt::ParseFilter("a (*.SAV);b( *.TXT ,\t*.CSV )");
    ASSERT_TRUE(two);
    ASSERT_EQ(two->size(), 2u);
    EXPECT_EQ((*two)[1].patterns, (std::vector<std::string>{"*.TXT", "*.CSV"}));
    auto all = rt::ParseFilter("");
    ASSERT_TRUE(all);
    EXPECT_EQ((*all)[0].description, std::string("すべてのﾌｧｲﾙ(*.*)"));
    EXPECT_FALSE(rt::ParseFilter("a(*.A);b"));
}

}  // namespace
