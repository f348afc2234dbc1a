#pragma once
// The whole program on the headless back end, started as the customer starts it, with a user
// who clicks, types and scrolls only what is shown and enabled, and the message boxes recorded.
// For the screens' cases that a script cannot reach: orders a loaded file would bring (kinds
// 1 to 3, 121 titles, stored values out of range) and figures checked inside the model.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/forms/controls.h"
#include "runtime/backends/headless.h"
#include "tests/screens/program_run.h"

class Screens : public testing::Test {
protected:
    void SetUp() override {
        platform.SetMessageObserver([this](const std::string&, const std::string& text, rt::MessageButtons,
                                           rt::MessageIcon, std::optional<rt::Answer>) { messages.push_back(text); });
        StartProgramForTest(platform);
        Run();
    }
    void TearDown() override { EndProgramForTest(); }

    void Run() { RunQueuedRoutines(); }
    rt::WinHandle Reach(const Obj& o) {
        const rt::WinHandle w = rt::WindowOf(o);
        EXPECT_TRUE(platform.Reachable(w)) << "the user cannot reach " << platform.Get(w).text;
        return w;
    }
    void Click(const Obj& o) {
        platform.UserClick(Reach(o));
        Run();
    }
    void Type(const Obj& o, const std::string& sjis) {
        platform.UserType(Reach(o), sjis);
        Run();
    }
    void Select(const Obj& o, int index) {
        platform.UserSelect(Reach(o), index);
        Run();
    }
    void Scroll(const Obj& o, int pos) {
        platform.UserScroll(Reach(o), rt::ScrollAction::ThumbPosition, pos);
        Run();
    }
    // One comic named "本", typed and priced, and back on the main screen.
    void EnterComic() {
        Click(BUTTON5);
        Select(LIST1, 0);
        Type(EDIT1, "本");
        Click(BUTTON14);
        Click(BUTTON11);
    }
    bool Visible(const Obj& o) const { return platform.IsVisible(rt::WindowOf(o)); }
    bool Enabled(const Obj& o) const { return platform.IsEnabled(rt::WindowOf(o)); }
    int Check(const Obj& o) const { return platform.GetCheck(rt::WindowOf(o)); }
    int Pos(const Obj& o) const { return platform.ScrollPos(rt::WindowOf(o)); }
    std::string Shown(const Obj& o) const { return platform.GetText(rt::WindowOf(o)); }
    std::vector<std::string> Items(const Obj& o) const { return platform.Get(rt::WindowOf(o)).items; }

    rt::HeadlessPlatform platform;
    std::vector<std::string> messages;
};
