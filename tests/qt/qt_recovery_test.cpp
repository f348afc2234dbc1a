// The recovery file on the real window: a run killed (SIGKILL) after three titles were typed
// leaves them in the file, and the next start asks and takes them up again; "no" deletes it, and
// a file that cannot be read is set aside with a message and nothing of it loaded.
#include "app/files/recovery.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/fee/order_model.h"
#include "app/files/order_file.h"
#include "app/screens/controls.h"
#include "app/screens/main_routine.h"
#include "tests/qt/qt_test_support.h"
#include "tests/screens/program_run.h"
#include "tests/support/file_bytes.h"
#include "tests/support/test_home.h"
#include "tests/support/user_input.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kChildVariable = "KALVORO_RECOVERY_CHILD";
const char* const kTitles[] = {"一の本", "二の本", "三の本"};

// The killed run: the whole program on real widgets, its wait loop's steps run after each of a
// customer's actions, then waiting to be killed. Started by the test below, skipped otherwise.
TEST(RecoveryChild, TypesThreeTitlesAndWaitsToBeKilled) {
    const char* state = std::getenv(kChildVariable);
    if (!state) GTEST_SKIP() << "started by RecoveryAfterAKill";
    setenv("XDG_STATE_HOME", state, 1);
    std::unique_ptr<UserInput> input = Backends().at(0).make();
    StartProgramForTest(input->platform());
    EnableRecovery();
    auto run = [&] {
        input->Settle();
        while (rt::PendingEvents() > 0) WaitStep();
        input->Settle();
    };
    run();
    for (int i = 0; i < 3; ++i) {
        input->Click(rt::WindowOf(BUTTON5)), run();
        input->Select(rt::WindowOf(LIST1), i), run();
        input->Type(rt::WindowOf(EDIT1), kTitles[i]), run();
        input->Click(rt::WindowOf(BUTTON14)), run();
        input->Click(rt::WindowOf(BUTTON11)), run();
    }
    std::printf("three titles typed\n");
    std::fflush(stdout);
    for (;;) pause();
}

class RecoveryAfterAKill : public testing::Test {
protected:
    void SetUp() override {
        state = testhome::Root() / "recovery-state";
        fs::remove_all(state);
        saved = std::getenv("XDG_STATE_HOME");
        setenv("XDG_STATE_HOME", state.c_str(), 1);
        input = Backends().at(0).make();
        StartProgramForTest(input->platform());
        EnableRecovery();
    }
    void TearDown() override {
        EnableRecovery(false);
        EndProgramForTest();
        setenv("XDG_STATE_HOME", saved.c_str(), 1);
    }
    // The start's question, answered with `answer`; then the message that may follow, with OK.
    void Offer(QMessageBox::StandardButton answer, QString* followingMessage = nullptr) {
        std::vector<std::function<bool(QWidget*)>> steps{[&](QWidget* modal) {
            auto* box = qobject_cast<QMessageBox*>(modal);
            if (!box) return false;
            EXPECT_TRUE(box->text().contains(kvtest::Q(u8"続きから入力しますか"))) << box->text().toStdString();
            box->button(answer)->click();
            return true;
        }};
        if (followingMessage) {
            steps.push_back([followingMessage](QWidget* modal) {
                auto* box = qobject_cast<QMessageBox*>(modal);
                if (!box) return false;
                *followingMessage = box->text();
                box->button(QMessageBox::Ok)->click();
                return true;
            });
        }
        Obj main{kMainWindow};
        kvtest::WithModalSteps(steps, [&] { OfferRecovery(main); });
    }

    fs::path state;
    std::string saved;
    std::unique_ptr<UserInput> input;
};

TEST_F(RecoveryAfterAKill, TheThreeTitlesComeBackAtTheNextStart) {
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QString::fromLatin1(kChildVariable), QString::fromStdString(state.string()));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    child.setProcessEnvironment(env);
    child.start(QStringLiteral("/proc/self/exe"), {QStringLiteral("--gtest_filter=RecoveryChild.*")});
    ASSERT_TRUE(child.waitForStarted(30000));
    QByteArray said;
    while (!said.contains("three titles typed") && child.waitForReadyRead(60000)) said += child.readAllStandardOutput();
    ASSERT_TRUE(said.contains("three titles typed")) << said.toStdString();
    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    child.waitForFinished(30000);
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);

    const OrderFileRead kept = ParseOrderFile(FileBytes(RecoveryPath()));
    ASSERT_TRUE(kept.content) << "the killed run left a readable recovery file";
    ASSERT_EQ(kept.content->titles.size(), 3u);

    Offer(QMessageBox::Yes);
    ASSERT_EQ(TITLE_COUNT(0), 3);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(TITLE_NAME(i, 0), Text(kTitles[i]));
    EXPECT_EQ(KIND_SUBTOTAL(0), 3 * TITLE_TOTAL(0, 0));
    // 3 × 1,400 yen of work and 50 yen of media, as `kalvoro totals` gives for the same file.
    EXPECT_EQ(input->platform().GetText(rt::WindowOf(TEXT12)), "４,２５０円") << "the main screen shows the order";
    EXPECT_TRUE(fs::exists(RecoveryPath())) << "kept until the order is saved";
}

TEST_F(RecoveryAfterAKill, NoDeletesTheFileAndTheOrderStaysEmpty) {
    fs::create_directories(RecoveryPath().parent_path());
    PutFileBytes(RecoveryPath(), "割引券:0\r\n013,0000,156,0,前の本\r\n");
    Offer(QMessageBox::No);
    EXPECT_FALSE(fs::exists(RecoveryPath()));
    EXPECT_EQ(TITLE_COUNT(0), 0);
}

TEST_F(RecoveryAfterAKill, AFileThatCannotBeReadIsSetAsideAndNothingOfItLoaded) {
    fs::create_directories(RecoveryPath().parent_path());
    PutFileBytes(RecoveryPath(), "割引券:0\r\n013,0000,156,0,前の本\r\n913,0000,156,0,壊れた行\r\n");
    QString message;
    Offer(QMessageBox::Yes, &message);
    EXPECT_TRUE(message.contains(kvtest::Q(u8"前回の申込みデータを読み込めませんでした。（3行目："))) << message.toStdString();
    EXPECT_TRUE(message.contains(kvtest::Q(u8"recovery-unreadable-"))) << message.toStdString();
    EXPECT_EQ(TITLE_COUNT(0), 0) << "not even the readable first title";
    EXPECT_FALSE(fs::exists(RecoveryPath()));
    int aside = 0;
    for (const auto& entry : fs::directory_iterator(RecoveryPath().parent_path()))
        aside += entry.path().filename().string().rfind("recovery-unreadable-", 0) == 0;
    EXPECT_EQ(aside, 1);
}

}  // namespace
