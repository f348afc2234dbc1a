// The program under the most input it can be given: an order with every slot of every kind
// filled and ten coupons, titles as long as a line or a box can hold, and an import file of
// 100,000 lines. Nothing ends the program, every figure is what the titles make, and what is
// saved loads again as it was.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "app/fee/order_model.h"
#include "app/files/order_file.h"
#include "app/screens/import_screen.h"
#include "tests/screens/screen_fixture.h"
#include "tests/support/file_bytes.h"

namespace {

// One title line of each kind, choices as a customer's file has them.
const char* const kChoices[kKindCount] = {"0131,1111,300,0,", "121,0110,375,0,", "202,0000,200,1,", "302,1000,156,0,",
                                          "413,0001,600,0,"};

class LargeOrders : public Screens {
protected:
    // The import's buttons leave their step to the main wait loop, which runs it next.
    void ClickImport(const Obj& o) {
        Click(o);
        インポート_SUB();
    }
};

TEST_F(LargeOrders, EverySlotOfEveryKindAndTenCouponsPriceShowAndSaveAsTheyRead) {
    // What one title of each kind costs on its own: a title's price does not depend on the others.
    Single alone[kKindCount];
    for (int k = 0; k < kKindCount; ++k) {
        const OrderFileRead one = ParseOrderFile(std::string("割引券:0\r\n") + kChoices[k] + "本\r\n");
        ASSERT_TRUE(one.content);
        TakeOverOrder(*one.content);
        alone[k] = TITLE_TOTAL(0, k);
        ASSERT_GT(alone[k], 0) << k;
    }

    std::string file = "割引券:10\r\n";
    for (int i = 0; i < 10; ++i) file += "26123100" + std::to_string(10 + i) + "\r\n";
    for (int k = 0; k < kKindCount; ++k) {
        for (int t = 0; t < 121; ++t) {
            std::string line = kChoices[k] + std::string("本") + std::to_string(t);
            // The last photo book's line is 32,767 bytes long, its title 32,752.
            if (k == 4 && t == 120) line.resize(32767, 'x');
            file += line + "\r\n";
        }
    }
    PutFileBytes("largest.SAV", file);
    platform.QueueFileChoice(std::string("largest.SAV"));
    Click(BUTTON4);
    EXPECT_TRUE(messages.empty()) << messages.front();

    EXPECT_EQ(COUPON_COUNT, 10);
    EXPECT_EQ(TOTAL_TITLES, 605);
    for (int k = 0; k < kKindCount; ++k) {
        EXPECT_EQ(TITLE_COUNT(k), 121) << k;
        for (int t = 0; t < 121; ++t) ASSERT_EQ(TITLE_TOTAL(t, k), alone[k]) << k << "," << t;
        EXPECT_EQ(KIND_SUBTOTAL(k), 121 * alone[k]) << k;
    }
    EXPECT_EQ(TITLE_NAME(120, 4).size(), 32752u);
    EXPECT_EQ(WORK_FEE, 121 * (alone[0] + alone[1] + alone[2] + alone[3] + alone[4]));
    // Eight full boxes of 15 comics and three of 40 doujinshi.
    EXPECT_GT(BOX_DISCOUNT_COMIC, 0);
    EXPECT_GT(BOX_DISCOUNT_DOUJIN, 0);

    // The comics' list shows all 121, the last and the longest open and close unchanged.
    const std::string before = OrderFileBytes();
    Click(BUTTON5);
    EXPECT_EQ(Items(LIST1).size(), 121u);
    Select(LIST1, 120);
    EXPECT_EQ(Shown(EDIT1), "本120");
    Click(BUTTON14);
    Click(BUTTON11);
    Click(BUTTON9);
    Select(LIST1, 120);
    EXPECT_EQ(Shown(EDIT1).size(), 32752u);
    Click(BUTTON14);
    Click(BUTTON11);
    EXPECT_EQ(OrderFileBytes(), before);

    platform.QueueFileChoice(std::string("again.SAV"));
    Click(BUTTON3);
    EXPECT_EQ(FileBytes("again.SAV"), file);
}

// A title may be typed up to the box's 32,767 bytes, and an import makes longer ones (every
// character in full width). The title is read back to the end of its line, 32,767 bytes whatever
// the line's fields before it take: one byte more is refused and named, and nothing is written;
// the longest title saves and loads back.
TEST_F(LargeOrders, ATitleLongerThanTheReaderTakesIsNotSavedAndTheLongestIs) {
    Click(BUTTON5);
    Select(LIST1, 0);
    Type(EDIT1, std::string(32768, 'a'));
    EXPECT_EQ(Shown(EDIT1).size(), 32767u);
    Click(BUTTON14);
    Click(BUTTON11);
    const std::string typed = OrderFileBytes();

    TITLE_NAME(0, 0) = Text(std::string(32768, 'a'));
    platform.QueueFileChoice(std::string("long.SAV"));
    platform.QueueAnswer(rt::Answer::Ok);
    Click(BUTTON3);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("ファイル「long.SAV」に書き込めません。"), std::string::npos);
    EXPECT_NE(messages[0].find("コミックの１冊目のタイトルが長すぎます。"), std::string::npos);
    EXPECT_FALSE(std::ifstream("long.SAV").good()) << "nothing is written";

    TITLE_NAME(0, 0) = Text(std::string(32767, 'a'));
    messages.clear();
    platform.QueueFileChoice(std::string("long.SAV"));
    Click(BUTTON3);
    EXPECT_TRUE(messages.empty());
    const std::string saved = FileBytes("long.SAV");
    EXPECT_EQ(saved, typed);
    EXPECT_EQ(saved.size(), 10 + 15 + 32767 + 2u);  // "割引券:0", the fields and the title
    const OrderFileRead read = ParseOrderFile(saved);
    ASSERT_TRUE(read.content) << read.problem.line;
    EXPECT_EQ(read.content->titles.at(0).name, TITLE_NAME(0, 0));
}

// An import file of 100,000 lines fills the kind's room from its first lines and says the
// limit; the titles are those lines, made full width.
TEST_F(LargeOrders, AnImportFileOfAHundredThousandLinesFillsTheRoomAndSaysSo) {
    std::string file = "題名,巻\r\n";
    for (int i = 1; i <= 100000; ++i) file += "Title" + std::to_string(i) + "," + std::to_string(i % 7) + "\r\n";
    PutFileBytes("many.CSV", file);
    Click(BUTTON5);
    platform.QueueFileChoice(std::string("many.CSV"));
    platform.QueueAnswer(rt::Answer::Ok);
    ClickImport(BUTTON10);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_NE(messages[0].find("コミックは２０冊までです。"), std::string::npos);
    platform.UserToggle(rt::WindowOf(LIST2), 0);
    ClickImport(BUTTON17);
    ClickImport(BUTTON19);
    EXPECT_EQ(TITLE_COUNT(0), 20);
    EXPECT_EQ(TITLE_NAME(0, 0), Text("Ｔｉｔｌｅ１"));
    EXPECT_EQ(TITLE_NAME(19, 0), Text("Ｔｉｔｌｅ２０"));
    EXPECT_EQ(KIND_SUBTOTAL(0), 20 * TITLE_TOTAL(0, 0));
}

}  // namespace
