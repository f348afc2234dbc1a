// Saving and loading from the main screen when the disk or the file fails: the customer is told
// which file and why, the order in memory stays, and the file on disk keeps its old bytes.
#include "app/files/order_commands.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cfenv>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <tuple>

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

// A broken order, a text file or a customer's note that is no order at all, a folder, and files
// as large as an order can be and one byte larger, each by a way in: ロード, a drop on the main
// screen, or a name on the command line.
TEST_F(OrderCommands, AFileThatIsNoOrderLeavesTheOrderInMemoryAsItWas) {
    EnterComic();
    Type(COMBO1, "2612310035");
    Click(BUTTON15);
    const std::string before = OrderFileBytes();
    PutFileBytes("broken.SAV", "割引券:2\r\n2612310042\r\n");
    PutFileBytes("README.md", "# Kalvoro\n");
    PutFileBytes("note.SAV", "割引券番号：2612310035\r\n");
    std::filesystem::create_directory("orders.SAV");
    // Sparse, so that neither takes the disk: the largest is read and found no order, the other
    // is refused for its size.
    for (const auto& [file, size] : {std::pair{"largest.SAV", kLargestOrderFileBytes}, {"huge.SAV", kLargestOrderFileBytes + 1}}) {
        PutFileBytes(file, "");
        std::filesystem::resize_file(file, size);
    }
    enum class Way { Load, Drop, Named };
    const std::tuple<const char*, const char*, Way> cases[] = {
        {"broken.SAV", "」を読み込めません。\r\n3行目：ファイルが途中で終わっています。", Way::Load},
        {"README.md", "」を読み込めません。\r\n1行目：申込みデータのファイルではありません", Way::Load},
        {"note.SAV", "」を読み込めません。\r\n1行目：申込みデータのファイルではありません", Way::Drop},
        {"orders.SAV", "」を読み込めません。\r\nファイルではなく、フォルダです。", Way::Load},
        {"largest.SAV", "」を読み込めません。\r\n1行目：申込みデータのファイルではありません", Way::Load},
        {"huge.SAV", "」を読み込めません。\r\nファイルが大きすぎます。", Way::Load},
        {"huge.SAV", "」を読み込めません。\r\nファイルが大きすぎます。", Way::Named},
    };
    for (const auto& [file, told, way] : cases) {
        messages.clear();
        platform.QueueAnswer(rt::Answer::Ok);
        if (way == Way::Load) platform.QueueFileChoice(std::string(file));
        if (way == Way::Load) Click(BUTTON4);
        if (way == Way::Drop) platform.UserDropFiles(Reach(MAINFORM), {file});
        Obj main{kMainWindow};
        if (way == Way::Named) OpenOrderNamed(main, file);
        Run();
        ASSERT_EQ(messages.size(), 1u) << file;
        EXPECT_NE(messages[0].find(std::string(file) + told), std::string::npos) << messages[0];
        EXPECT_EQ(OrderFileBytes(), before);
        EXPECT_EQ(Shown(TEXT12), "1450円");  // the screen was not refreshed either
    }
    for (const char* file : {"largest.SAV", "huge.SAV"}) std::filesystem::remove(file);
}

// A load after another takes nothing from it: the hidden boxes are emptied where the file gives
// nothing, and the return shipping of a comic alone is charged though the order before gave its
// book to the shop.
TEST_F(OrderCommands, ALoadAfterAnotherTakesNothingFromIt) {
    PutFileBytes("with-name.SAV", "お客様氏名:山田\r\n前受額:1000\r\n割引券:0\r\n013,0000,156,1,本\r\n");
    platform.QueueFileChoice(std::string("with-name.SAV"));
    Click(BUTTON4);
    EXPECT_EQ(Shown(EDIT7), "山田");
    EXPECT_EQ(Shown(EDIT4), "1000");
    EXPECT_EQ(ADVANCE_PAYMENT, 1000);
    EXPECT_EQ(Shown(TEXT6), "当店負担、０円");
    PutFileBytes("plain.SAV", "割引券:0\r\n013,0000,156,0,本\r\n");
    platform.QueueFileChoice(std::string("plain.SAV"));
    Click(BUTTON4);
    EXPECT_EQ(Shown(EDIT7), "");
    EXPECT_EQ(Shown(EDIT4), "");
    EXPECT_EQ(ADVANCE_PAYMENT, 0);
    EXPECT_EQ(Shown(TEXT6), "５００円");
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
