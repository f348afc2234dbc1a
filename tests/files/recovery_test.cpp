// The recovery file kept beside the order while the customer works (the real window turns it
// on): written after a change, removed by a save or by going back to the empty order, offered at
// the next start, set aside when it cannot be read. Off, as for scripts and batch runs, nothing
// is written.
#include "app/files/recovery.h"

#include <gtest/gtest.h>

#include <cerrno>

#include "app/files/order_file.h"
#include "app/screens/main_routine.h"
#include "runtime/files/whole_file.h"
#include "tests/screens/screen_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/full_disk.h"

namespace fs = std::filesystem;

namespace {

class Recovery : public Screens {
protected:
    void SetUp() override {
        Screens::SetUp();
        fs::remove_all(RecoveryPath().parent_path());
    }
    void TearDown() override {
        EnableRecovery(false);
        fs::remove_all(RecoveryPath().parent_path());
        Screens::TearDown();
    }
    // What the wait loop does after each of the customer's events.
    void Step() { KeepRecoveryUpToDate(); }
};

TEST_F(Recovery, FollowsEveryChangeUntilASaveOrTheEmptyOrder) {
    EnableRecovery();
    Step();
    EXPECT_FALSE(fs::exists(RecoveryPath())) << "the empty order needs no recovery";
    EnterComic();
    Step();
    EXPECT_EQ(FileBytes(RecoveryPath()), OrderFileBytes());
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
}

TEST_F(Recovery, AFileThatCannotBeWrittenIsToldOnceAndTheOrderStays) {
    EnableRecovery();
    rt::ScopedFileCalls failing(FullDiskCalls());
    EnterComic();
    const std::string order = OrderFileBytes();
    platform.QueueAnswer(rt::Answer::Ok);
    Step();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("recovery.SAV」に書き込めません。"), std::string::npos) << messages[0];
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
    fs::create_directories(RecoveryPath().parent_path());
    PutFileBytes(RecoveryPath(), "割引券:0\r\n013,0000,156,0,前の本\r\n");
    Obj main{kMainWindow};
    OfferRecovery(main);
    EXPECT_TRUE(messages.empty());
    EXPECT_TRUE(fs::exists(RecoveryPath()));
}

}  // namespace
