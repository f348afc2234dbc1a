// The recovery file kept beside the order while the customer works (the real window turns it
// on): written after a change, removed when the order equals a file on disk or is empty again,
// offered at the next start only when its program has ended, set aside when declined or when it
// cannot be read. Off, as for scripts and batch runs, nothing is written.
#include "app/files/recovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <sstream>

#include "app/files/order_file.h"
#include "app/screens/main_routine.h"
#include "app/screens/title_entry.h"
#include "runtime/driver/script_driver.h"
#include "runtime/files/whole_file.h"
#include "app/files/order_commands.h"
#include "runtime/values/encoding.h"
#include "tests/screens/screen_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/other_runs.h"
#include "tests/support/test_home.h"

namespace fs = std::filesystem;

namespace {

class Recovery : public Screens {
protected:
    void SetUp() override {
        Screens::SetUp();
        fs::remove_all(RecoveryFolder());
    }
    void TearDown() override {
        EnableRecovery(false);
        fs::remove_all(RecoveryFolder());
        Screens::TearDown();
    }
    // What the wait loop does after each of the customer's events.
    void Step() { KeepRecoveryUpToDate(OrderAsIfClosed()); }
    // An order left in the folder by another run, last changed at `changed`.
    static fs::path LeftBy(const std::string& name, const std::string& bytes, std::time_t changed) {
        fs::create_directories(RecoveryFolder());
        const fs::path file = fs::path(RecoveryFolder()) / name;
        PutFileBytes(file, bytes);
        otherruns::SetChanged(file, changed);
        return file;
    }
    static std::vector<std::string> Declined() {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(RecoveryFolder()))
            if (e.path().filename().string().rfind("recovery-declined-", 0) == 0 && e.path().extension() == ".SAV")
                names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
};

TEST_F(Recovery, FollowsEveryChangeUntilASaveOrTheEmptyOrder) {
    EnableRecovery();
    Step();
    EXPECT_FALSE(fs::exists(RecoveryFolder())) << "the empty order needs no recovery, nor a lock";
    EnterComic();
    Step();
    EXPECT_EQ(FileBytes(RecoveryPath()), OrderFileBytes());
    EXPECT_TRUE(fs::exists(fs::path(RecoveryPath()).replace_extension(".lock")));
    Type(COMBO1, "2612310035");
    Click(BUTTON15);
    Step();
    EXPECT_EQ(FileBytes(RecoveryPath()), OrderFileBytes()) << "the coupon is kept too";

    platform.QueueFileChoice(std::string("saved.SAV"));
    Click(BUTTON3);
    EXPECT_EQ(FileBytes("saved.SAV"), OrderFileBytes());
    EXPECT_FALSE(fs::exists(RecoveryPath())) << "saved: nothing to recover";
    Step();
    EXPECT_FALSE(fs::exists(RecoveryPath())) << "no change since the save";

    // Erasing every title and the coupon: the order is empty again.
    Click(BUTTON5);
    platform.QueueAnswer(rt::Answer::Yes);
    Click(BUTTON20);
    Click(BUTTON11);
    Step();
    EXPECT_TRUE(fs::exists(RecoveryPath()));
    Select(COMBO1, 0);
    Type(COMBO1, "");
    Click(BUTTON15);
    Step();
    EXPECT_EQ(OrderFileBytes(), "割引券:0\r\n");
    EXPECT_FALSE(fs::exists(RecoveryPath()));
    EnableRecovery(false);  // the end of the run: the lock goes
    EXPECT_TRUE(fs::is_empty(RecoveryFolder()));
}

TEST_F(Recovery, AFileThatCannotBeWrittenIsToldOnceAndTheOrderStays) {
    EnableRecovery();
    const auto failing = otherruns::NoRoomLeft();
    EnterComic();
    const std::string order = OrderFileBytes();
    platform.QueueAnswer(rt::Answer::Ok);
    Step();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find(".SAV」に書き込めません。"), std::string::npos) << messages[0];
    EXPECT_NE(messages[0].find("ディスクがいっぱいです。"), std::string::npos);
    EXPECT_FALSE(fs::exists(RecoveryPath()));
    EXPECT_EQ(OrderFileBytes(), order);
    Click(BUTTON5);
    Select(LIST1, 1);
    Type(EDIT1, "二冊目");
    Click(BUTTON14);
    Click(BUTTON11);
    Step();
    EXPECT_EQ(messages.size(), 1u) << "told once in a run";
}

TEST_F(Recovery, OffNothingIsWrittenOrOffered) {
    EnterComic();
    Step();
    EXPECT_FALSE(fs::exists(RecoveryPath()));
    const fs::path left = LeftBy("recovery.SAV", "割引券:0\r\n013,0000,156,0,前の本\r\n", std::time(nullptr));
    Obj main{kMainWindow};
    OfferRecovery(main);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(fs::exists(left));
}

TEST_F(Recovery, AnOrderEqualToAFileOnDiskIsNotKeptUntilItChanges) {
    EnableRecovery();
    PutFileBytes("loaded.SAV", "割引券:0\r\n013,0000,156,0,本\r\n");
    platform.QueueFileChoice(std::string("loaded.SAV"));
    Click(BUTTON4);
    Step();
    EXPECT_FALSE(fs::exists(RecoveryPath())) << "the loaded file holds it";
    Type(COMBO1, "2612310035");
    Click(BUTTON15);
    Step();
    EXPECT_EQ(FileBytes(RecoveryPath()), OrderFileBytes()) << "changed after the load";
    // The mail attachment holds the whole order as well.
    for (rt::Answer a : {rt::Answer::Ok, rt::Answer::Cancel}) platform.QueueAnswer(a);
    platform.QueueFileChoice(std::string("メール添付用.TXT"));
    Click(BUTTON2);
    Step();
    EXPECT_EQ(FileBytes(fs::path(u8"メール添付用.TXT")), OrderFileBytes());
    EXPECT_FALSE(fs::exists(RecoveryPath()));
}

// Three runs left orders: one still runs (its lock is held), two have ended. The newer ended one
// is asked about first and declined, the older one taken up; the running one is never touched.
TEST_F(Recovery, OffersEachOrderOfAnEndedRunNewestFirstAndSetsDeclinedOnesAside) {
    EnableRecovery();
    const fs::path older = LeftBy("recovery.SAV", "割引券:0\r\n013,0000,156,0,古い本\r\n", 1767355200);  // 2026-01-02, noon
    const fs::path newer = LeftBy("recovery-20260304-090000-77.SAV", "割引券:0\r\n013,0000,156,0,新しい本\r\n", 1772625600);
    const std::string runningBytes = "割引券:0\r\n013,0000,156,0,動いている本\r\n";
    const fs::path running = LeftBy("recovery-20260305-090000-78.SAV", runningBytes, std::time(nullptr));
    auto runningLock = otherruns::HoldRunLock(fs::path(RecoveryFolder()) / "recovery-20260305-090000-78.lock");
    ASSERT_TRUE(runningLock);
    // What a killed write of the ended run left goes; the running one's writer holds its own.
    const fs::path killed = LeftBy(".recovery-20260304-090000-77.SAV.0123456789ab.kvtmp", "", 0),
                   writing = LeftBy(".recovery-20260305-090000-78.SAV.0123456789ab.kvtmp", "", 0);
    auto writer = otherruns::HoldWriting(writing);
    ASSERT_TRUE(writer);
    // Ten declined before: the oldest goes when one more is declined.
    for (int i = 0; i < 10; ++i) LeftBy("recovery-declined-2025010" + std::to_string(i) + "-000000-000.SAV", "割引券:0\r\n", 0);
    const fs::path prunedNote = LeftBy("recovery-declined-20250100-000000-000.left-out", "本", 0);
    const fs::path keptNote = LeftBy("recovery-declined-20250101-000000-000.left-out", "本", 0);

    std::vector<std::string> asked;
    platform.SetMessageObserver([&](const std::string&, const std::string& text, rt::MessageButtons buttons,
                                    rt::MessageIcon, std::optional<rt::Answer>) {
        EXPECT_EQ(buttons, rt::MessageButtons::YesNo);
        asked.push_back(text);
    });
    platform.QueueAnswer(rt::Answer::No);
    platform.QueueAnswer(rt::Answer::Yes);
    Obj main{kMainWindow};
    OfferRecovery(main);

    ASSERT_EQ(asked.size(), 2u);
    EXPECT_NE(asked[0].find("2026/03/04"), std::string::npos) << asked[0];
    EXPECT_NE(asked[1].find("2026/01/02"), std::string::npos) << asked[1];
    ASSERT_EQ(TITLE_COUNT(0), 1);
    EXPECT_EQ(TITLE_NAME(0, 0), Text("古い本"));
    EXPECT_FALSE(fs::exists(older));
    EXPECT_EQ(FileBytes(RecoveryPath()), OrderFileBytes()) << "the order taken up is this run's now";
    EXPECT_FALSE(fs::exists(newer));
    const std::vector<std::string> declined = Declined();
    ASSERT_EQ(declined.size(), 10u);
    EXPECT_EQ(declined.front(), "recovery-declined-20250101-000000-000.SAV");
    EXPECT_FALSE(fs::exists(prunedNote)) << "a pruned order's note goes with it";
    EXPECT_TRUE(fs::exists(keptNote));
    EXPECT_EQ(FileBytes(fs::path(RecoveryFolder()) / declined.back()), "割引券:0\r\n013,0000,156,0,新しい本\r\n");
    EXPECT_EQ(FileBytes(running), runningBytes);
    EXPECT_EQ(std::pair(fs::exists(killed), fs::exists(writing)), std::pair(false, true));
    writer.reset();

    // Its program ends: the next start offers it. Once one order is taken up, the others wait.
    runningLock.reset();
    LeftBy("recovery-20260306-090000-79.SAV", "割引券:0\r\n", 0);
    asked.clear();
    platform.QueueAnswer(rt::Answer::Yes);
    OfferRecovery(main);
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(TITLE_NAME(0, 0), Text("動いている本"));
    EXPECT_TRUE(fs::exists(fs::path(RecoveryFolder()) / "recovery-20260306-090000-79.SAV"));
}

// Numbers beyond what the conversion holds refuse the two newer files; the overflow they raised
// must not end the program when the older one is taken up and priced in the same step.
TEST_F(Recovery, FilesThatCannotBeReadAreSetAsideAndTheNextIsTakenUpAndPriced) {
    EnableRecovery();
    LeftBy("recovery-3.SAV", "割引券:0\r\n013,0000,1E5000,0,本\r\n", 3000);
    LeftBy("recovery-2.SAV", "割引券:0\r\n013,0000,156," + std::string(5000, '9') + ",本\r\n", 2000);
    LeftBy("recovery-1.SAV", "割引券:0\r\n013,0000,156,0,古い本\r\n", 1000);
    for (rt::Answer a : {rt::Answer::Yes, rt::Answer::Ok, rt::Answer::Yes, rt::Answer::Ok, rt::Answer::Yes})
        platform.QueueAnswer(a);
    Obj main{kMainWindow};
    OfferRecovery(main);
    EXPECT_NE(messages.at(3).find("2行目：解像度か贈与の欄の数値が範囲外です。"), std::string::npos);
    EXPECT_EQ(TITLE_NAME(0, 0), Text("古い本"));
    EXPECT_EQ(Shown(TEXT12), "１,９５０円");
}

// What a run could not keep is named at the next start while it is left out: also when nothing of
// the order reads back, and in the note beside a declined order's copy. Once the coupon to blame
// is removed, a run killed after it names nothing.
TEST_F(Recovery, WhatCouldNotBeKeptIsNamedForAsLongAsItIsLeftOut) {
    EnableRecovery();
    const fs::path other = fs::path(RecoveryFolder()) / "recovery-19990101-000000-1.SAV";
    Obj main{kMainWindow};
    auto killedAndStarted = [&](rt::Answer answer) {  // this run's files left as by a kill; the question
        std::error_code noNote;  // a note only while something is left out
        for (const char* ext : {".SAV", ".left-out"})
            fs::rename(fs::path(RecoveryPath()).replace_extension(ext), fs::path(other).replace_extension(ext), noNote);
        messages.clear();
        platform.QueueAnswer(answer);
        OfferRecovery(main);
        EXPECT_EQ(messages.size(), 1u);
        return messages.empty() ? std::string() : messages[0];
    };
    const std::string coupon = "１枚目の割引券番号";
    Type(COMBO1, "991231,\"31");
    Click(BUTTON15);
    ASSERT_EQ(COUPON_COUNT, 1);
    Step();
    ASSERT_TRUE(fs::exists(RecoveryPath())) << "an order of which nothing reads back keeps its note";
    const std::string asked = killedAndStarted(rt::Answer::No);
    EXPECT_NE(asked.find("復元されません"), std::string::npos) << asked;
    EXPECT_NE(asked.find(coupon), std::string::npos) << asked;
    ASSERT_EQ(Declined().size(), 1u);
    const std::string note = FileBytes(fs::path(RecoveryFolder()) / fs::path(Declined()[0]).replace_extension(".left-out"));
    EXPECT_NE(note.find(coupon), std::string::npos) << "the declined copy keeps its note";

    EnterComic();
    Step();
    EXPECT_TRUE(fs::exists(fs::path(RecoveryPath()).replace_extension(".left-out")));
    Select(COMBO1, 0);
    Type(COMBO1, "");
    Click(BUTTON15);
    ASSERT_EQ(COUPON_COUNT, 0);
    Step();
    EXPECT_EQ(killedAndStarted(rt::Answer::Yes).find("復元されません"), std::string::npos);
    EXPECT_EQ(TITLE_COUNT(0), 1);
}

// The title open on the entry screen is kept as 終了 would keep it: with the name typed so far
// and its options; without it while its name is empty, as 終了 would delete it.
TEST_F(Recovery, TheTitleBeingTypedIsKeptAsClosingItWouldKeepIt) {
    EnableRecovery();
    EnterComic();
    const std::string closed = OrderFileBytes();
    struct Case {
        int line;
        const char* name;
        const char* kept;  // the last line of the file, after the closed title's
    } const cases[] = {
        {1, "開いている本", "013,0011,156,0,開いている本\r\n"},
        {1, "", ""},                                      // a new title without a name
        {0, "本の新しい名前", "013,0000,156,0,本の新しい名前\r\n"},  // the first title renamed: replaces its line
        {0, "", nullptr},                                 // its name erased: it would be deleted
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Click(BUTTON5);
        Select(LIST1, c.line);
        if (c.line == 1) {
            Click(CHECK3);
            Click(CHECK4);
        }
        Type(EDIT1, c.name);
        Step();
        const std::string kept = fs::exists(RecoveryPath()) ? FileBytes(RecoveryPath()) : "割引券:0\r\n";
        if (!c.kept) {
            EXPECT_EQ(kept, "割引券:0\r\n");
        } else if (c.line == 0) {
            EXPECT_EQ(kept, std::string("割引券:0\r\n") + c.kept);
        } else {
            EXPECT_EQ(kept, closed + c.kept);
        }
        // Left without closing: the title as it was before.
        Type(EDIT1, c.line == 0 ? "本" : "");
        Click(BUTTON14);
        Click(BUTTON11);
        Step();
        EXPECT_EQ(FileBytes(RecoveryPath()), closed);
    }
    // Taken up again at the next start, the open title is priced like any other.
    Click(BUTTON5);
    Select(LIST1, 1);
    Click(CHECK3);
    Click(CHECK4);
    Type(EDIT1, "開いている本");
    Step();
    const std::string killed = FileBytes(RecoveryPath());
    const fs::path left = LeftBy("recovery-19990101-000000-1.SAV", killed, 0);
    EndProgramForTest();
    StartProgramForTest(platform);
    Run();
    platform.QueueAnswer(rt::Answer::Yes);
    Obj main{kMainWindow};
    OfferRecovery(main);
    ASSERT_EQ(TITLE_COUNT(0), 2);
    EXPECT_EQ(TITLE_NAME(1, 0), Text("開いている本"));
    EXPECT_EQ(OPT_NO_SPREAD(1, 0) + OPT_TRIM(1, 0), 2);
    EXPECT_GT(TITLE_TOTAL(1, 0), TITLE_TOTAL(0, 0)) << "priced with its options";
    EXPECT_EQ(OrderFileBytes(), killed);
}

// Started with an order named (a file manager's double-click), the program loads it as "ロード"
// would and asks nothing: the orders left behind wait, untouched, for a start that names none.
// The run has no answer for a question, so one asked would end it with a script error.
TEST_F(Recovery, AnOrderNamedAtStartIsLoadedAndTheOrdersLeftBehindWait) {
    const std::string leftBytes = "割引券:0\r\n013,0000,156,0,前の本\r\n";
    const fs::path left = LeftBy("recovery-19990101-000000-1.SAV", leftBytes, 0);
    // Names on the system are UTF-8, as a file manager passes them.
    const fs::path named = testhome::Root() / u8"注文.SAV";
    PutFileBytes(named, "割引券:0\r\n013,0000,156,0,開いた本\r\n023,0000,156,0,二冊目\r\n");
    EndProgramForTest();
    EnableRecovery();
    std::istringstream script("expect MAINFORM.TEXT1 visible 1\n");
    std::ostringstream out, err;
    EXPECT_EQ(rt::RunScript(script, "named", [&] { MainWithOrderNamed(Utf8Name(named)); }, out, err),
              rt::kScriptCompleted)
        << err.str();
    EXPECT_EQ(TITLE_COUNT(0), 2);
    EXPECT_EQ(TITLE_NAME(1, 0), Text("二冊目"));
    EXPECT_EQ(out.str(), "");
    EXPECT_EQ(FileBytes(left), leftBytes);
    EXPECT_TRUE(Declined().empty());
    EXPECT_FALSE(fs::exists(RecoveryPath())) << "the order equals its file";
    StartProgramForTest(platform);

    // A name that cannot be loaded is told as "ロード" tells it, and the order stays empty.
    const struct {
        std::u8string name;
        std::string bytes;
        const char* told;
    } bad[] = {
        {u8"壊れた.SAV", "割引券:0\r\n913,0000,156,0,壊れた行\r\n", "を読み込めません。\r\n2行目：本の種類が０から４ではありません。"},
        {u8"無い.SAV", "", "を読み込めません。"},
        {u8"README.md", "# Kalvoro\n", "を読み込めません。\r\n1行目：申込みデータのファイルではありません"},
        {u8"\U0001F4D7.SAV", "", "扱えない文字が含まれています。"},
    };
    for (const auto& c : bad) {
        ResetOrderModel();
        messages.clear();
        if (!c.bytes.empty()) PutFileBytes(testhome::Root() / c.name, c.bytes);
        platform.QueueAnswer(rt::Answer::Ok);
        Obj main{kMainWindow};
        OpenOrderNamed(main, Utf8Name(testhome::Root() / c.name));
        EXPECT_EQ(TITLE_COUNT(0), 0);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(c.told), std::string::npos) << rt::SjisToUtf8Lossy(messages[0]);
    }
}

}  // namespace
