// The recovery files on the real window: a run killed (SIGKILL) after three titles were typed
// leaves them in its file; a program running beside it never sees that file while the run lives,
// and the next start after the kill asks and takes the titles up again. "No" sets the order
// aside, and a file that cannot be read is set aside with a message and nothing of it loaded.
#include "app/files/recovery.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <QProcess>
#include <QPushButton>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/fee/order_model.h"
#include "app/files/order_file.h"
#include "app/forms/controls.h"
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
const char* const kOpenTitle = "四の本";

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
    // A fourth is open on its entry screen, its options ticked and then its name typed: not closed.
    input->Click(rt::WindowOf(BUTTON5)), run();
    input->Select(rt::WindowOf(LIST1), 3), run();
    input->Click(rt::WindowOf(CHECK3)), run();
    input->Click(rt::WindowOf(CHECK4)), run();
    input->Type(rt::WindowOf(EDIT1), kOpenTitle), run();
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
        legacy = state / "kalvoro" / "recovery.SAV";
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
            // Enter, pressed by habit, takes the order up rather than setting it aside.
            EXPECT_EQ(box->defaultButton(), box->button(QMessageBox::Yes));
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

    // The files of the other runs in the folder: recovery-<run>.SAV, not this run's.
    std::vector<fs::path> OthersFiles() const {
        std::vector<fs::path> files;
        for (const auto& e : fs::directory_iterator(RecoveryFolder())) {
            const std::string name = e.path().filename().string();
            if (e.path().extension() == ".SAV" && name.rfind("recovery-2", 0) == 0 && e.path() != RecoveryPath())
                files.push_back(e.path());
        }
        return files;
    }

    fs::path state, legacy;
    std::string saved;
    std::unique_ptr<UserInput> input;
};

TEST_F(RecoveryAfterAKill, ARunningProgramsOrderIsNeverOfferedAndComesBackAfterItIsKilled) {
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

    // This program starts while the other runs: nothing is offered, and each keeps its own file.
    bool asked = false;
    {
        QObject watching;  // ends the watch when it goes
        std::function<void()> watch = [&] {
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
                asked = true;
                box->button(QMessageBox::Yes)->click();
            }
            QTimer::singleShot(20, &watching, watch);
        };
        QTimer::singleShot(20, &watching, watch);
        Obj main{kMainWindow};
        OfferRecovery(main);
    }
    EXPECT_FALSE(asked) << "the order of a program that still runs was offered";
    ASSERT_EQ(OthersFiles().size(), 1u);
    const fs::path childs = OthersFiles().front();
    const std::string childBytes = FileBytes(childs);
    KeepRecoveryUpToDate("割引券:0\r\n013,0000,156,0,こちらの本\r\n");
    EXPECT_EQ(FileBytes(childs), childBytes) << "one program's changes never reach the other's file";
    EXPECT_EQ(FileBytes(RecoveryPath()), "割引券:0\r\n013,0000,156,0,こちらの本\r\n");

    ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
    child.waitForFinished(30000);
    EXPECT_EQ(child.exitStatus(), QProcess::CrashExit);
    const OrderFileRead kept = ParseOrderFile(childBytes);
    ASSERT_TRUE(kept.content) << "the killed run left a readable recovery file";
    ASSERT_EQ(kept.content->titles.size(), 4u) << "the title open on the entry screen too";

    // The next start: the killed run's order is offered and taken up.
    Offer(QMessageBox::Yes);
    ASSERT_EQ(TITLE_COUNT(0), 4);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(TITLE_NAME(i, 0), Text(kTitles[i]));
    EXPECT_EQ(TITLE_NAME(3, 0), Text(kOpenTitle));
    EXPECT_EQ(OPT_NO_SPREAD(3, 0) + OPT_TRIM(3, 0), 2);
    EXPECT_EQ(KIND_SUBTOTAL(0), 3 * TITLE_TOTAL(0, 0) + TITLE_TOTAL(3, 0));
    // 6,320 yen of work with the fourth title's options and 50 yen of media: the subtotal that
    // `kalvoro totals` gives for the same file.
    EXPECT_EQ(input->platform().GetText(rt::WindowOf(TEXT12)), "６,３７０円") << "the main screen shows the order";
    EXPECT_TRUE(OthersFiles().empty());
    EXPECT_EQ(FileBytes(RecoveryPath()), childBytes) << "kept, as this run's own, until the order is saved";
}

TEST_F(RecoveryAfterAKill, NoSetsTheOrderAsideAndTheOrderStaysEmpty) {
    fs::create_directories(RecoveryFolder());
    PutFileBytes(legacy, "割引券:0\r\n013,0000,156,0,前の本\r\n");
    Offer(QMessageBox::No);
    EXPECT_FALSE(fs::exists(legacy));
    EXPECT_EQ(TITLE_COUNT(0), 0);
    int aside = 0;
    for (const auto& entry : fs::directory_iterator(RecoveryFolder()))
        aside += entry.path().filename().string().rfind("recovery-declined-", 0) == 0 &&
                 FileBytes(entry.path()) == "割引券:0\r\n013,0000,156,0,前の本\r\n";
    EXPECT_EQ(aside, 1);
}

TEST_F(RecoveryAfterAKill, AFileThatCannotBeReadIsSetAsideAndNothingOfItLoaded) {
    fs::create_directories(RecoveryFolder());
    PutFileBytes(legacy, "割引券:0\r\n013,0000,156,0,前の本\r\n913,0000,156,0,壊れた行\r\n");
    QString message;
    Offer(QMessageBox::Yes, &message);
    EXPECT_TRUE(message.contains(kvtest::Q(u8"前回の申込みデータを読み込めませんでした。（3行目："))) << message.toStdString();
    EXPECT_TRUE(message.contains(kvtest::Q(u8"recovery-unreadable-"))) << message.toStdString();
    EXPECT_EQ(TITLE_COUNT(0), 0) << "not even the readable first title";
    EXPECT_FALSE(fs::exists(legacy));
    int aside = 0;
    for (const auto& entry : fs::directory_iterator(RecoveryFolder()))
        aside += entry.path().filename().string().rfind("recovery-unreadable-", 0) == 0;
    EXPECT_EQ(aside, 1);
}

}  // namespace
