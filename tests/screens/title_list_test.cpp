// The title list and the title entry screen with orders a script cannot type: kinds that only a
// loaded order brings, kinds holding every one of their 121 slots, stored values no screen would
// produce. Nothing of that may end the program or lose a title.
#include "app/screens/title_list.h"

#include <gtest/gtest.h>

#include "app/fee/order_totals.h"
#include "app/fee/title_amounts.h"
#include "app/screens/main_screen.h"
#include "app/screens/title_entry.h"
#include "runtime/values/number_text.h"
#include "tests/screens/screen_fixture.h"

namespace {

// A title as a loaded order leaves it: stored choices, priced again.
void StoreTitle(int kind, int slot, const Text& name, int course = 3, int bookType = 1, int dpi = 156) {
    CUR_KIND = kind;
    CUR_TITLE = slot;
    TITLE_NAME(slot, kind) = name;
    COURSE(slot, kind) = course;
    BOOK_TYPE(slot, kind) = bookType;
    TITLE_DPI(slot, kind) = dpi;
    LIST_PRICE(slot, kind) = 1000;
    RepriceCurrentTitle();
}

void FillKind(int kind, int count) {
    for (int t = 0; t < count; ++t) StoreTitle(kind, t, Text("T") + TextMid(NumberToText(t + 1), 2));
}

void (*const kOpenList[kKindCount])(Obj&) = {BUTTON5_ON, BUTTON6_ON, BUTTON7_ON, BUTTON8_ON, BUTTON9_ON};

class TitleScreens : public Screens {
protected:
    // The kinds 1 to 3 have no visible button: a loaded order opens them as the program would.
    void OpenList(int kind) {
        Obj main{kMainWindow};
        kOpenList[kind](main);
        Run();
    }
};

TEST_F(TitleScreens, ListLinesAlignNumbersAmountsAndGifts) {
    StoreTitle(kComic, 0, "あいう");
    StoreTitle(kComic, 1, "B");
    TITLE_TOTAL(0, kComic) = 0;
    TITLE_TOTAL(1, kComic) = 12000;
    GIFT_FLAG(0, kComic) = 1;
    OpenList(kComic);
    EXPECT_EQ(Items(LIST1), (std::vector<std::string>{"1      \\0   贈与   あいう", "2  \\12000          B",
                                                      "タイトルを追加"}));
    EXPECT_EQ(ZERO_AMOUNT_FLAG, 1);
    EXPECT_EQ(GIFT_COUNT(kComic), 1);
    EXPECT_EQ(TITLE_COUNT(kComic), 2);
    EXPECT_EQ(Shown(TEXT14), "１２,０００円");

    // Going back warns once about the 0-yen title and still refreshes the main screen.
    platform.QueueAnswer(rt::Answer::Ok);
    Click(BUTTON11);
    EXPECT_EQ(messages, std::vector<std::string>{"申込み書籍の中に金額が０円の物があります。"});
    EXPECT_TRUE(Visible(MAINFORM));
    EXPECT_EQ(Shown(TEXT41), "１２,０００円");
}

TEST_F(TitleScreens, AddLineIsOfferedUpToTheKindsLimit) {
    for (int kind : {kComic, kPhotoBook}) {
        const int limit = MAX_TITLES(kind);
        FillKind(kind, limit - 1);
        OpenList(kind);
        EXPECT_EQ(Items(LIST1).size(), static_cast<size_t>(limit)) << kind;
        EXPECT_EQ(Items(LIST1).back(), "タイトルを追加");
        FillKind(kind, limit);
        OpenList(kind);
        EXPECT_EQ(Items(LIST1).size(), static_cast<size_t>(limit)) << kind;
        EXPECT_NE(Items(LIST1).back(), "タイトルを追加");
    }
}

// A loaded order may fill all 121 slots of a kind, beyond the limit the screens keep.
class FullKind : public TitleScreens, public testing::WithParamInterface<int> {};

TEST_P(FullKind, DeletingTheFirstAndTheLastTitleKeepsTheRest) {
    const int kind = GetParam();
    FillKind(kind, kSlotUpper + 1);
    OpenList(kind);
    ASSERT_EQ(Items(LIST1).size(), 121u);  // no "add" line

    Select(LIST1, kSlotUpper);
    Type(EDIT1, "");
    Click(BUTTON14);
    EXPECT_EQ(TITLE_COUNT(kind), 120);
    EXPECT_TRUE(TITLE_NAME(kSlotUpper, kind).empty());

    Select(LIST1, 0);
    Type(EDIT1, "");
    Click(BUTTON14);
    EXPECT_EQ(TITLE_COUNT(kind), 119);
    EXPECT_EQ(TITLE_NAME(0, kind), Text("T2"));
    EXPECT_EQ(TITLE_NAME(118, kind), Text("T120"));
    EXPECT_TRUE(Visible(FORM2));
}

TEST_P(FullKind, ErasingAllTitlesAsksFirstAndEmptiesEverySlot) {
    const int kind = GetParam();
    FillKind(kind, kSlotUpper + 1);
    OpenList(kind);
    platform.QueueAnswer(rt::Answer::No);
    Click(BUTTON20);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], (KindName(kind) + "のタイトルをすべて消去しますか？\r\n消去したタイトルは元に戻せません。").bytes());
    EXPECT_EQ(platform.LastDefaultButton(), rt::DefaultButton::Second) << "Enter keeps the titles";
    EXPECT_EQ(TITLE_COUNT(kind), kSlotUpper + 1);
    EXPECT_EQ(Items(LIST1).size(), static_cast<size_t>(kSlotUpper + 1));
    platform.QueueAnswer(rt::Answer::Yes);
    Click(BUTTON20);
    EXPECT_EQ(Items(LIST1), std::vector<std::string>{"タイトルを追加"});
    EXPECT_EQ(TITLE_COUNT(kind), 0);
    EXPECT_TRUE(TITLE_NAME(kSlotUpper, kind).empty());
    EXPECT_EQ(Shown(TEXT14), "０円");
}

TEST_P(FullKind, TheLastSlotTakesTheSliderAndTheOptions) {
    const int kind = GetParam();
    FillKind(kind, kSlotUpper + 1);
    OpenList(kind);
    Select(LIST1, kSlotUpper);
    Scroll(HSCROLL1, 300);
    Click(CHECK4);
    Click(BUTTON13);
    Click(BUTTON14);
    EXPECT_EQ(OPT_TRIM(kSlotUpper, kind), 1);
    EXPECT_EQ(TITLE_DPI(kSlotUpper, kind), kind == kSaddleMagazine || kind == kDoujin ? 120 : 156);
    EXPECT_EQ(TITLE_COUNT(kind), 121);
}

INSTANTIATE_TEST_SUITE_P(EveryKind, FullKind, testing::Range(0, kKindCount));

TEST_F(TitleScreens, StoredValuesOutOfRangeOpenWithoutEndingTheProgram) {
    StoreTitle(kPerfectMagazine, 0, "magazine", 7, 9, 9999);
    PAGE_COUNT(0, kPerfectMagazine) = -32768;
    LIST_PRICE(0, kPerfectMagazine) = -300;
    OPT_WORKS(0, kPerfectMagazine) = 5;
    OPT_TRIM(0, kPerfectMagazine) = -1;
    StoreTitle(kComic, 0, "comic", 3, 1, -40);
    PAGE_COUNT(0, kComic) = -32768;

    OpenList(kPerfectMagazine);
    Select(LIST1, 0);
    EXPECT_EQ(Shown(EDIT3), "-32768");  // read back as it was stored, not as 32768
    EXPECT_EQ(Shown(EDIT2), "-300");
    EXPECT_EQ(Check(CHECK1) + Check(CHECK4), 0);
    EXPECT_EQ(Pos(HSCROLL1), 600);
    Click(BUTTON12);
    EXPECT_EQ(PAGE_COUNT(0, kPerfectMagazine), -32768);
    Click(BUTTON14);

    OpenList(kComic);
    Select(LIST1, 0);
    EXPECT_EQ(Pos(HSCROLL1), 50);
    Click(BUTTON14);
    EXPECT_EQ(TITLE_NAME(0, kComic), Text("comic"));
}

TEST_F(TitleScreens, MagazinesHaveTheirOwnCaptionAndOfferTheGiftWithCutAndScan) {
    OpenList(kSaddleMagazine);
    EXPECT_EQ(Shown(FORM2), "中綴じ雑誌　申込資料作成画面（一度に申込みできるのは 6冊まで）");
    Select(LIST1, 0);  // "add": a magazine starts with cut and scan
    EXPECT_EQ(Shown(FORM3), "中綴じ雑誌　タイトル別　申込資料作成画面");
    EXPECT_EQ(Check(RADIO4), 1);
    EXPECT_TRUE(Visible(EDIT2));
    EXPECT_TRUE(Visible(CHECK7));
    EXPECT_EQ(Shown(BUTTON13), "１２０ｄｐｉ");
    Type(EDIT1, "月刊誌");
    Type(EDIT2, "800");
    Click(BUTTON12);
    EXPECT_EQ(Shown(TEXT21), "８００");
    Click(CHECK7);
    Click(BUTTON14);
    EXPECT_EQ(GIFT_FLAG(0, kSaddleMagazine), 1);
    EXPECT_NE(Items(LIST1)[0].find("贈与"), std::string::npos);

    Click(BUTTON11);
    EXPECT_EQ(Shown(TEXT6), "当店負担、０円");  // the only title is given to the shop

    OpenList(kPerfectMagazine);
    Select(LIST1, 0);
    EXPECT_EQ(Shown(FORM3), "無線綴じ雑誌　タイトル別　申込資料作成画面");
    EXPECT_FALSE(Visible(CHECK1));  // per-work editing is for comics and saddle-stitched magazines
}

TEST_F(TitleScreens, ChoosingAnotherCourseWithdrawsTheGift) {
    StoreTitle(kSaddleMagazine, 0, "m", 2);
    GIFT_FLAG(0, kSaddleMagazine) = 1;
    OpenList(kSaddleMagazine);
    Select(LIST1, 0);
    EXPECT_EQ(Check(CHECK7), 1);
    Click(RADIO5);
    EXPECT_FALSE(Visible(CHECK7));
    EXPECT_EQ(GIFT_FLAG(0, kSaddleMagazine), 0);
    Click(RADIO3);
    EXPECT_EQ(COURSE(0, kSaddleMagazine), 1);
    EXPECT_FALSE(Visible(HSCROLL1));  // cut only takes no options
}

TEST_F(TitleScreens, DoujinshiSwitchBookTypeAndStopAt375WithMoireRemoval) {
    OpenList(kDoujin);
    EXPECT_EQ(Shown(FORM2), "同人誌　申込資料作成画面（一度に申込みできるのは 60冊まで）");
    Select(LIST1, 0);
    EXPECT_EQ(Check(RADIO1), 1);
    EXPECT_EQ(Check(RADIO5), 1);
    EXPECT_FALSE(Enabled(RADIO3));
    EXPECT_EQ(Pos(HSCROLL1), 120);
    EXPECT_EQ(Shown(TEXT36), "120 dpi (B5なら約863×1214ピクセル)");
    Type(EDIT1, "本");

    Scroll(HSCROLL1, 500);
    EXPECT_EQ(Pos(HSCROLL1), 375);  // the slider stops there
    Click(CHECK2);                  // without moiré removal up to 599
    Scroll(HSCROLL1, 600);
    EXPECT_EQ(Pos(HSCROLL1), 599);
    Scroll(HSCROLL1, 500);
    Click(CHECK2);
    EXPECT_EQ(Pos(HSCROLL1), 375);
    EXPECT_EQ(TITLE_DPI(0, kDoujin), 375);

    Click(RADIO2);  // perfect-bound
    EXPECT_EQ(PAGE_COUNT(0, kDoujin), 70);
    EXPECT_TRUE(Enabled(RADIO3));
    EXPECT_EQ(Shown(BUTTON13), "１５６ｄｐｉ");
    EXPECT_EQ(Pos(HSCROLL1), 156);
    EXPECT_EQ(Shown(TEXT21), "１０");
    EXPECT_EQ(Shown(EDIT1), "本");
}

TEST_F(TitleScreens, AResolutionIsNotCutToTheLimitOfTheTitleOpenedBefore) {
    StoreTitle(kDoujin, 0, "saddle", 3, 1, 300);
    StoreTitle(kComic, 0, "comic", 3, 1, 500);
    OpenList(kDoujin);
    Select(LIST1, 0);
    ASSERT_EQ(platform.ScrollRange(rt::WindowOf(HSCROLL1)).second, 375);
    Click(BUTTON14);
    OpenList(kComic);
    Select(LIST1, 0);
    EXPECT_EQ(Pos(HSCROLL1), 500);
    Click(BUTTON14);
    EXPECT_EQ(TITLE_DPI(0, kComic), 500);
}

}  // namespace

// A customer at the keyboard alone: the arrows only choose a line, Enter opens it, the slider's
// keys set the resolution, the window manager's close leaves each screen by its own way out (an
// unnamed title is dropped, as 終了 drops it), and Enter in the coupon box registers the number.
TEST_F(TitleScreens, AKeyboardAloneReachesEveryStepAndTheCloseLeavesEachScreen) {
    auto key = [&](const Obj& o, rt::Key k) {
        platform.UserKey(Reach(o), k, false);
        Run();
    };
    auto close = [&](const Obj& form) {
        platform.UserClose(rt::WindowOf(form));
        Run();
    };
    Click(BUTTON5);
    key(LIST1, rt::Key::Down);
    key(LIST1, rt::Key::End);
    EXPECT_FALSE(Visible(FORM3)) << "an arrow opened the title";
    EXPECT_EQ(ListIndex(LIST1), 0);  // the list holds only the line that adds a title
    key(LIST1, rt::Key::Enter);
    ASSERT_TRUE(Visible(FORM3));
    Type(EDIT1, "本");
    Click(RADIO5);
    // The keys' steps are the behaviour suite's table; here, that the figures follow to both ends.
    for (const auto& [k, dpi] : {std::pair{rt::Key::End, 600}, {rt::Key::Home, 50}}) {
        key(HSCROLL1, k);
        EXPECT_EQ(Pos(HSCROLL1), dpi);
        EXPECT_EQ(TITLE_DPI(0, 0), dpi);
        EXPECT_EQ(Shown(TEXT36).substr(0, std::to_string(dpi).size() + 4), std::to_string(dpi) + " dpi");
    }
    close(FORM3);
    EXPECT_TRUE(Visible(FORM2));
    EXPECT_FALSE(Visible(FORM3));
    EXPECT_EQ(TITLE_NAME(0, 0), Text("本"));
    key(LIST1, rt::Key::End);  // the line that adds a title, left unnamed
    key(LIST1, rt::Key::Space);
    ASSERT_TRUE(Visible(FORM3));
    close(FORM3);
    EXPECT_EQ(TITLE_COUNT(0), 1);
    close(FORM2);
    EXPECT_TRUE(Visible(MAINFORM));
    EXPECT_FALSE(Visible(FORM2));

    Type(COMBO1, "2612310035");
    key(COMBO1, rt::Key::Enter);
    EXPECT_EQ(Items(COMBO1), std::vector<std::string>{"2612310035"});
    // Each close shows the screen it was left for, hidden first so that only the close shows it.
    for (const auto& [screen, backTo] : {std::pair{&FORM4, &FORM2}, {&FORM5, &MAINFORM}}) {
        SetVisible(MAINFORM, 0);
        SetVisible(FORM2, 0);
        SetVisible(*screen, -1);
        close(*screen);
        EXPECT_FALSE(Visible(*screen));
        EXPECT_TRUE(Visible(*backTo));
    }
}
