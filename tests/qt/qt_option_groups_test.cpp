#include "runtime/backends/qt/qt_option_groups.h"

#include <gtest/gtest.h>

namespace rt::qt {
namespace {

// The title entry screen: RADIO1/2 in GROUP1 (book type), RADIO3..5 in GROUP2 (course).
TEST(OptionGroups, FollowTheGroupBoxesOfTheTitleEntryScreen) {
    const std::vector<Rect> options{{216, 72, 96, 16}, {216, 104, 96, 16}, {448, 72, 104, 16},
                                    {448, 88, 128, 16}, {448, 104, 160, 16}};
    const std::vector<Rect> boxes{{200, 48, 120, 80}, {432, 48, 184, 88}};
    EXPECT_EQ(GroupOptionButtons(options, boxes), (std::vector<int>{0, 0, 1, 1, 1}));
}

TEST(OptionGroups, ButtonsOutsideEveryBoxShareTheFormsGroupAndTheCentreDecides) {
    const std::vector<Rect> options{{10, 10, 50, 16}, {10, 300, 50, 16}, {110, 110, 200, 10}};
    const std::vector<Rect> boxes{{100, 100, 100, 100}};
    EXPECT_EQ(GroupOptionButtons(options, boxes), (std::vector<int>{kFormGroup, kFormGroup, kFormGroup}));
}

TEST(OptionGroups, TheInnermostOfNestedBoxesHoldsTheButton) {
    const std::vector<Rect> options{{60, 60, 20, 10}, {20, 20, 20, 10}};
    const std::vector<Rect> boxes{{0, 0, 200, 200}, {50, 50, 50, 50}};
    EXPECT_EQ(GroupOptionButtons(options, boxes), (std::vector<int>{1, 0}));
}

}  // namespace
}  // namespace rt::qt
