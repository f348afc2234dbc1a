// Orders built through the screens from awkward texts, typed into the title and coupon boxes or
// imported from a customer's file, then saved: either the file loads as the same order and is
// written again byte for byte, or the save is refused, writes nothing, and names a coupon or
// title that the reader indeed cannot give back. Kept for recovery and offered at the next
// start, each order comes back with every coupon and title that reads back, and the question
// names exactly the others.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "app/fee/amount_text.h"
#include "app/fee/order_model.h"
#include "app/files/order_file.h"
#include "app/files/recovery.h"
#include "app/screens/import_screen.h"
#include "app/screens/title_entry.h"
#include "tests/screens/screen_fixture.h"
#include "tests/support/file_bytes.h"

namespace {

// Quotes and separators first, then blanks, half-width kana and marks, a double-byte character,
// a yen sign, control bytes and a lone lead byte; last, bytes no line or field keeps.
const std::string kPieces[] = {"\"", ",", ":", " ", "  ", "ｱ", "ｶﾞ", "ﾟ", "本", "\\", "9", "\n", "\t", "\x1A", "\x81",
                               "\r", std::string(1, '\0')};
// The title screen's course and option buttons, clicked as far as they are shown.
const Obj* const kChoices[] = {&RADIO3, &RADIO4, &RADIO5, &CHECK1, &CHECK2, &CHECK3, &CHECK4, &CHECK6, &CHECK7};

class OrderRoundTrip : public Screens {
protected:
    void TearDown() override {
        EnableRecovery(false);
        std::filesystem::remove_all(RecoveryFolder());
        Screens::TearDown();
    }
    int Pick(int n) { return std::uniform_int_distribution<int>(0, n - 1)(random_); }
    // A quote or a separator one piece in `separators`, an unreadable byte one in 60.
    std::string Awkward(int pieces, int separators = 15) {
        std::string s;
        while (pieces-- > 0) s += kPieces[Pick(60) == 0 ? 15 + Pick(2) : Pick(separators) == 0 ? Pick(3) : Pick(15)];
        return s;
    }
    // Every action answers the notices it raises (a title at 0 yen, a refused coupon, a full kind).
    void Do(const Obj& o, const std::string& file = "") {
        for (int i = 0; i < 3; ++i) platform.QueueAnswer(rt::Answer::Ok);
        if (!file.empty()) platform.QueueFileChoice(file);
        COMMAND = 0;
        Click(o);
        インポート_SUB();  // the step an import button leaves to the wait loop
        platform.ForgetQueued();
    }
    // The fields the file holds; a title's price is not one (an import prices it only when opened).
    static std::vector<std::string> Fields() {
        std::vector<std::string> fields;
        for (int i = 0; i < COUPON_COUNT; ++i) fields.push_back(COUPON_NO(i).bytes());
        for (int k = 0; k < kKindCount; ++k) {
            for (int t = 0; t < TITLE_COUNT(k); ++t) {
                fields.push_back(std::to_string(k));
                for (const Int16 v : {BOOK_TYPE(t, k), COURSE(t, k), COMPENSATE_FLAG(t, k), OPT_WORKS(t, k), OPT_NO_MOIRE(t, k),
                                      OPT_NO_SPREAD(t, k), OPT_TRIM(t, k), TITLE_DPI(t, k), GIFT_FLAG(t, k)})
                    fields.back() += "," + std::to_string(v);
                fields.back() += "," + TITLE_NAME(t, k).bytes();
            }
        }
        return fields;
    }
    bool ReadsBack(const std::string& file, const std::vector<Text>& coupons, const Text& title) {
        const OrderFileRead read = ParseOrderFile(file);
        return read.content && read.content->coupons == coupons &&
               (title.empty() || (read.content->titles.size() == 1 && read.content->titles[0].name == title));
    }
    // Each coupon and title of Fields(): how a message names it, and whether it comes back alone in
    // a file, bare or quoted.
    struct Piece {
        std::string label;
        bool readsBack;
    };
    std::vector<Piece> Pieces() {
        std::vector<Piece> pieces;
        for (int i = 0; i < COUPON_COUNT; ++i) {
            const std::string c = COUPON_NO(i).bytes(), head = "割引券:1\r\n";
            pieces.push_back({(ToFullWidth(IntegerDigits(i + 1)) + "枚目の割引券番号").bytes(),
                              ReadsBack(head + c + "\r\n", {COUPON_NO(i)}, {}) || ReadsBack(head + '"' + c + "\"\r\n", {COUPON_NO(i)}, {})});
        }
        for (int k = 0; k < kKindCount; ++k)
            for (int t = 0; t < TITLE_COUNT(k); ++t)
                pieces.push_back({(KindName(k) + "の" + ToFullWidth(IntegerDigits(t + 1)) + "冊目の").bytes(),
                                  ReadsBack("割引券:0\r\n013,0000,156,0," + TITLE_NAME(t, k).bytes() + "\r\n", {}, TITLE_NAME(t, k))});
        return pieces;
    }
    std::mt19937 random_{20261207};
};

TEST_F(OrderRoundTrip, WhatIsSavedOrRecoveredLoadsAsItWasAndWhatCannotBeReadIsNamed) {
    PutFileBytes("empty.SAV", "割引券:0\r\n");
    const std::filesystem::path other = std::filesystem::path(RecoveryFolder()) / "recovery-19990101-000000-1.SAV";
    int saved = 0, refused = 0;
    for (int order = 0; order < 150; ++order) {
        const std::string path = "order" + std::to_string(order) + ".SAV", import = path + ".CSV";
        Do(BUTTON4, "empty.SAV");
        for (int i = Pick(4); i > 0; --i) {
            Do(Pick(2) ? BUTTON5 : BUTTON9);
            Select(LIST1, static_cast<int>(Items(LIST1).size()) - 1);
            // Now and then as long as the box takes (it keeps 32,767 bytes).
            Type(EDIT1, Awkward(1 + Pick(12)) + std::string(Pick(8) ? 0 : 32767, 'x'));
            for (int c = Pick(5); c > 0; --c)
                if (const Obj& o = *kChoices[Pick(9)]; platform.Reachable(rt::WindowOf(o))) Do(o);
            if (platform.Reachable(rt::WindowOf(HSCROLL1))) Scroll(HSCROLL1, 50 + Pick(551));
            Do(BUTTON14);
            Do(BUTTON11);
        }
        if (Pick(4) == 0) {
            // Imported titles are made full width: a line of 16,384 bytes makes one of 32,768.
            std::string file = "題名\r\n";
            for (int i = Pick(3); i >= 0; --i)
                file += (Awkward(1 + Pick(12)) + std::string(Pick(4) ? 0 : 16384, 'y')).substr(0, 16383 + Pick(2)) + "\r\n";
            PutFileBytes(import, file);
            Do(Pick(2) ? BUTTON5 : BUTTON9);
            Do(BUTTON10, import);
            platform.UserToggle(rt::WindowOf(LIST2), 0);
            for (const Obj* o : {&BUTTON17, &BUTTON19, &BUTTON11}) Do(*o);
        }
        // Only the date (digits 1 to 6) and the amount (9, 10) are checked: a later year frees 3 to 8.
        for (int i = Pick(5); i > 0; --i) {
            if (COUPON_COUNT > 0 && Pick(3) == 0) Select(COMBO1, Pick(COUPON_COUNT));
            Type(COMBO1, std::to_string(27 + Pick(73)) + Awkward(2 + Pick(5), 3) + "34"[Pick(2)] + "123456789"[Pick(9)]);
            Do(BUTTON15);
        }

        const std::vector<std::string> built = Fields();
        const std::vector<Piece> pieces = Pieces();
        messages.clear();
        Do(BUTTON3, path);
        if (messages.empty()) {
            ++saved;
            const std::string bytes = FileBytes(path);
            Do(BUTTON4, "empty.SAV");
            Do(BUTTON4, path);
            ASSERT_TRUE(messages.empty()) << messages.front();
            ASSERT_EQ(Fields(), built) << "order " << order;
            Do(BUTTON3, path + ".again");
            ASSERT_EQ(FileBytes(path + ".again"), bytes) << "order " << order;
        } else {
            ++refused;
            ASSERT_EQ(messages.size(), 1u);
            EXPECT_NE(messages[0].find("ファイル「" + path + "」に書き込めません。"), std::string::npos) << messages[0];
            EXPECT_FALSE(std::filesystem::exists(path));
            // The one coupon or title named is one that neither bare nor quoted comes back.
            int named = 0;
            for (const Piece& piece : pieces)
                if (messages[0].find(piece.label) != std::string::npos) named += 1 + 100 * piece.readsBack;
            EXPECT_EQ(named, 1) << messages[0];
        }

        // Kept by a run that is then killed (a saved order too): the next start offers what was
        // kept, naming what was not.
        EnableRecovery();
        KeepRecoveryUpToDate(OrderAsIfClosed());
        std::vector<std::string> kept;
        for (size_t i = 0; i < built.size(); ++i)
            if (pieces[i].readsBack) kept.push_back(built[i]);
        if (!std::filesystem::exists(RecoveryPath())) {
            EXPECT_TRUE(kept.empty()) << "order " << order;  // nothing that reads back: nothing to keep
            continue;
        }
        std::filesystem::rename(RecoveryPath(), other);
        std::error_code noNote;
        std::filesystem::rename(std::filesystem::path(RecoveryPath()).replace_extension(".left-out"),
                                std::filesystem::path(other).replace_extension(".left-out"), noNote);
        Do(BUTTON4, "empty.SAV");
        messages.clear();
        platform.QueueAnswer(rt::Answer::Yes);
        Obj main{kMainWindow};
        OfferRecovery(main);
        ASSERT_EQ(messages.size(), 1u);
        for (const Piece& piece : pieces)
            EXPECT_EQ(messages[0].find(piece.label) != std::string::npos, !piece.readsBack) << messages[0];
        ASSERT_EQ(Fields(), kept) << "order " << order;
    }
    // Both outcomes came often enough for the property to say something.
    EXPECT_GT(saved, 50);
    EXPECT_GT(refused, 10);
}

}  // namespace
