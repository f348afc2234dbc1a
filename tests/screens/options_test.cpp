// The options and the resolution slider of a comic (A4) and of a saddle-stitched magazine (B5):
// the pixel size, the amount beside every option and the title total as the customer moves
// and ticks them.
#include "app/screens/options.h"

#include <gtest/gtest.h>

#include "app/screens/main_screen.h"
#include "tests/screens/screen_fixture.h"

namespace {

struct Step {
    const char* what;  // "dpi N", "tick CHECKn" or "preset"
    const char* pixels;
    const char* works, *noSpread, *trim, *dpiFee;
    const char* total;
};

struct Journey {
    const char* name;
    int kind;
    std::vector<Step> steps;
};

class OptionJourney : public Screens, public testing::WithParamInterface<Journey> {
protected:
    void Do(const std::string& what) {
        if (what.rfind("dpi ", 0) == 0) return Scroll(HSCROLL1, std::stoi(what.substr(4)));
        if (what == "preset") return Click(BUTTON13);
        const Obj* boxes[] = {&CHECK1, &CHECK2, &CHECK3, &CHECK4};
        Click(*boxes[what.back() - '1']);
    }
};

TEST_P(OptionJourney, EveryFigureFollowsTheSliderAndTheBoxes) {
    const Journey& j = GetParam();
    Obj main{kMainWindow};
    (j.kind == kComic ? BUTTON5_ON : BUTTON7_ON)(main);
    Run();
    Select(LIST1, 0);
    for (const Step& s : j.steps) {
        Do(s.what);
        EXPECT_EQ(Shown(TEXT36), s.pixels) << s.what;
        if (j.kind == kComic) {
            EXPECT_EQ(Shown(TEXT31), s.works) << s.what;
        }
        EXPECT_EQ(Shown(TEXT33), s.noSpread) << s.what;
        EXPECT_EQ(Shown(TEXT34), s.trim) << s.what;
        EXPECT_EQ(Shown(TEXT35), s.dpiFee) << s.what;
        EXPECT_EQ(Shown(TEXT38), s.total) << s.what;
    }
}

// Comic: course fee 1,400 and a scan fee of 800; table A bands at 166/167 and 333/334 dpi with
// moiré removal, 250/251 and 450/451 without.
const Journey kComicJourney = {"Comic", kComic, {
    {"dpi 166", "166 dpi (A4なら約1941×1368ピクセル)", "0", "0", "0", "0", "１,４００"},
    {"dpi 167", "167 dpi (A4なら約1952×1376ピクセル)", "0", "0", "0", "+400", "１,８００"},
    {"dpi 334", "334 dpi (A4なら約3904×2752ピクセル)", "0", "0", "0", "+4000", "５,４００"},
    {"tick CHECK2", "334 dpi (A4なら約3904×2752ピクセル)", "0", "0", "0", "+400", "１,８００"},
    {"dpi 451", "451 dpi (A4なら約5272×3716ピクセル)", "0", "0", "0", "+1600", "３,０００"},
    {"tick CHECK1", "451 dpi (A4なら約5272×3716ピクセル)", "+100", "0", "0", "+1600", "３,１００"},
    {"tick CHECK3", "451 dpi (A4なら約5272×3716ピクセル)", "+100", "-80", "0", "+1600", "３,０２０"},
    {"tick CHECK4", "451 dpi (A4なら約5272×3716ピクセル)", "+100", "-80", "+800", "+1600", "３,８２０"},
    {"dpi 600", "600 dpi (A4なら約7014×4944ピクセル)", "+100", "-80", "+800", "+1600", "３,８２０"},
    {"dpi 50", "50 dpi (A4なら約584×412ピクセル)", "+100", "-80", "+800", "0", "２,２２０"},
    {"preset", "156 dpi (A4なら約1824×1285ピクセル)", "+100", "-80", "+800", "0", "２,２２０"},
    {"tick CHECK3", "156 dpi (A4なら約1824×1285ピクセル)", "+100", "0", "+800", "0", "２,３００"},
}};

// Saddle-stitched magazine, cut and scan: no cut fee and a scan fee of 300; table B with
// moiré removal has its bands at 187/188 and 250/251 dpi.
const Journey kMagazineJourney = {"SaddleMagazine", kSaddleMagazine, {
    {"dpi 187", "187 dpi (B5なら約1345×1892ピクセル)", "", "0", "0", "0", "３００"},
    {"dpi 188", "188 dpi (B5なら約1352×1903ピクセル)", "", "0", "0", "+600", "９００"},
    {"dpi 251", "251 dpi (B5なら約1805×2540ピクセル)", "", "0", "0", "+900", "１,２００"},
    {"preset", "120 dpi (B5なら約863×1214ピクセル)", "", "0", "0", "0", "３００"},
    {"dpi 156", "156 dpi (B5なら約1122×1579ピクセル)", "", "0", "0", "0", "３００"},
    {"dpi 600", "600 dpi (B5なら約4314×6072ピクセル)", "", "0", "0", "+900", "１,２００"},
}};

INSTANTIATE_TEST_SUITE_P(Screens, OptionJourney, testing::Values(kComicJourney, kMagazineJourney),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Screens, CutOnlyClearsTheOptionsAndReturnsToThePreset) {
    Click(BUTTON5);
    Select(LIST1, 0);
    Scroll(HSCROLL1, 400);
    Click(CHECK4);
    Click(RADIO3);
    EXPECT_EQ(Shown(TEXT38), "２００");
    EXPECT_FALSE(Visible(CHECK4));
    EXPECT_EQ(OPT_TRIM(0, kComic), 0);
    EXPECT_EQ(TITLE_DPI(0, kComic), 156);
    Click(RADIO5);
    EXPECT_TRUE(Visible(CHECK4));
    EXPECT_EQ(Check(CHECK4), 0);
    EXPECT_EQ(Shown(TEXT38), "１,４００");
}

}  // namespace
