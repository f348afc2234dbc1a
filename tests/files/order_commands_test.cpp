// Saving and loading from the main screen when the disk or the file fails: the customer is told
// which file and why, the order in memory stays, and the file on disk keeps its old bytes.
#include "app/files/order_commands.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cfenv>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "app/files/order_file.h"
#include "runtime/files/whole_file.h"
#include "runtime/values/encoding.h"
#include "tests/screens/screen_fixture.h"
#include "tests/support/file_bytes.h"
#include "tests/support/full_disk.h"

namespace {

using OrderCommands = Screens;

TEST_F(OrderCommands, AFailedSaveLeavesTheOldFileAndSaysWhy) {
    PutFileBytes("order.SAV", "割引券:0\r\n");
    EnterComic();
    {
        rt::ScopedFileCalls failing(FullDiskCalls());
        platform.QueueFileChoice(std::string("order.SAV"));
        platform.QueueAnswer(rt::Answer::Ok);
        Click(BUTTON3);
    }
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("order.SAV"), std::string::npos);
    EXPECT_NE(messages[0].find("ディスクがいっぱいです。"), std::string::npos);
    EXPECT_EQ(FileBytes("order.SAV"), "割引券:0\r\n");

    // The same save on a working disk replaces it.
    platform.QueueFileChoice(std::string("order.SAV"));
    Click(BUTTON3);
    EXPECT_EQ(FileBytes("order.SAV"), "割引券:0\r\n013,0000,156,0,本\r\n");
}

// A broken order, a text file that is no order at all, and a folder.
TEST_F(OrderCommands, AFileThatIsNoOrderLeavesTheOrderInMemoryAsItWas) {
    EnterComic();
    Type(COMBO1, "2612310035");
    Click(BUTTON15);
    const std::string before = OrderFileBytes();
    PutFileBytes("broken.SAV", "割引券:2\r\n2612310042\r\n");
    PutFileBytes("README.md", "# Kalvoro\n");
    std::filesystem::create_directory("orders.SAV");
    const std::pair<const char*, const char*> cases[] = {
        {"broken.SAV", "」を読み込めません。\r\n3行目：ファイルが途中で終わっています。"},
        {"README.md", "」を読み込めません。\r\n1行目：申込みデータのファイルではありません"},
        {"orders.SAV", "」を読み込めません。\r\nファイルではなく、フォルダです。"},
    };
    for (const auto& [file, told] : cases) {
        messages.clear();
        platform.QueueFileChoice(std::string(file));
        platform.QueueAnswer(rt::Answer::Ok);
        Click(BUTTON4);
        ASSERT_EQ(messages.size(), 1u);
        EXPECT_NE(messages[0].find(std::string(file) + told), std::string::npos) << messages[0];
        EXPECT_EQ(OrderFileBytes(), before);
        EXPECT_EQ(Shown(TEXT12), "1450円");  // the screen was not refreshed either
    }
}

TEST_F(OrderCommands, LoadingFillsTheHiddenBoxesFromTheFileAndEmptiesThemOtherwise) {
    PutFileBytes("with-name.SAV", "お客様氏名:山田\r\n前受額:1000\r\n割引券:0\r\n");
    platform.QueueFileChoice(std::string("with-name.SAV"));
    Click(BUTTON4);
    EXPECT_EQ(Shown(EDIT7), "山田");
    EXPECT_EQ(Shown(EDIT4), "1000");
    EXPECT_EQ(ADVANCE_PAYMENT, 1000);
    PutFileBytes("plain.SAV", "割引券:0\r\n");
    platform.QueueFileChoice(std::string("plain.SAV"));
    Click(BUTTON4);
    EXPECT_EQ(Shown(EDIT7), "");
    EXPECT_EQ(Shown(EDIT4), "");
    EXPECT_EQ(ADVANCE_PAYMENT, 0);
}

// An order an editor saved in UTF-8 with LF line ends is loaded, and the customer told once.
TEST_F(OrderCommands, AUtf8OrderIsLoadedAndToldOnce) {
    PutFileBytes("utf8.SAV", *rt::SjisToUtf8("割引券:0\n013,0000,156,0,本\n013,0000,156,0,二冊目\n"));
    platform.QueueAnswer(rt::Answer::Ok);
    platform.QueueFileChoice(std::string("utf8.SAV"));
    Click(BUTTON4);
    EXPECT_EQ(TITLE_COUNT(0), 2);
    EXPECT_EQ(TITLE_NAME(1, 0), Text("二冊目"));
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("「utf8.SAV」はUTF-8で書かれていた"), std::string::npos) << messages[0];
}

// A file dialog runs the window system's code inside the routine; flags that code leaves raised
// (Qt's dialog leaves FE_INVALID) are not the routine's: the load and the totals go on.
TEST_F(OrderCommands, WhatADialogLeavesInTheFloatingPointFlagsIsNotTheRoutines) {
    PutFileBytes("order.SAV", "割引券:0\r\n013,0000,156,0,本\r\n");
    platform.SetDialogObserver([](const rt::FileDialogSpec&, const std::optional<std::string>*) {
        std::feraiseexcept(FE_INVALID);
    });
    platform.QueueFileChoice(std::string("order.SAV"));
    Click(BUTTON4);
    EXPECT_EQ(TITLE_COUNT(0), 1);
    EXPECT_EQ(Shown(TEXT12), "１,９５０円");
    platform.SetMessageObserver([](const std::string&, const std::string&, rt::MessageButtons, rt::MessageIcon,
                                   std::optional<rt::Answer>) { std::feraiseexcept(FE_INVALID); });
    // A message box too: a refused coupon is told, then the totals are formed again.
    platform.QueueAnswer(rt::Answer::Ok);
    Type(COMBO1, "2612060035");  // expired yesterday
    Click(BUTTON15);
    EXPECT_EQ(platform.QueuedAnswers(), 0u) << "the refusal was told";
    EXPECT_EQ(COUPON_COUNT, 0);
    EXPECT_EQ(Shown(TEXT12), "1950円");
}

}  // namespace
