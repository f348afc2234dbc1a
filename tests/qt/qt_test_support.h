#pragma once
// What the Qt back end's tests share: a sink that records what the back end reports, a driver
// for modal dialogs, and a form with one control of each kind the program uses.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPoint>
#include <QWidget>

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "runtime/backends/platform.h"
#include "runtime/backends/qt/qt_platform.h"

namespace kvtest {

// Records every report as one line, "Clicked RADIO2", "Scroll HSCROLL1 LineRight 7",
// "Key EDIT1 Tab shift press", with the names the test gave the handles.
class RecordingSink : public rt::EventSink {
public:
    void OnNotify(rt::WinHandle control, rt::Notification what) override;
    void OnScroll(rt::WinHandle control, rt::ScrollAction action, int trackPos) override;
    void OnClose(rt::WinHandle form) override;
    bool OnKey(rt::WinHandle focus, rt::Key key, bool shift, bool pressed) override;
    void OnDropFiles(rt::WinHandle form, const std::vector<std::string>& paths) override {
        events.push_back("Drop " + names[form] + " " + std::to_string(paths.size()));
    }

    std::map<rt::WinHandle, std::string> names;
    std::vector<std::string> events;
    // Lines without focus changes, for tests about other reports.
    std::vector<std::string> Without(const std::string& prefix) const;
    bool takeKeys = true;
    std::function<void(rt::WinHandle, rt::Notification)> onNotify;
    std::function<void(rt::WinHandle, rt::ScrollAction, int)> onScroll;
};

// A title-entry-like form with one control of each kind the program uses, built through the
// Platform interface as the window layer builds the program's forms.
class FormFixture : public ::testing::Test {
protected:
    void SetUp() override;
    rt::WinHandle Control(rt::ControlKind kind, uint32_t style, rt::Rect r, const std::string& text,
                          const std::string& name);
    void Show();  // shows the form, waits until it is active and forgets what that reported
    QWidget* W(rt::WinHandle h) const { return platform.Widget(h); }
    rt::WinHandle Named(const std::string& name) const;  // a control by the name given above
    void Click(rt::WinHandle h);  // a left click where a user clicks that control

    rt::QtPlatform platform;
    RecordingSink sink;
    rt::WinHandle form = 0;
    rt::WinHandle radio1 = 0, radio2 = 0, group1 = 0, radio3 = 0, radio4 = 0, radio5 = 0, group2 = 0;
    rt::WinHandle edit1 = 0, edit2 = 0, text38 = 0, check1 = 0, hscroll1 = 0, button12 = 0;
    rt::WinHandle combo1 = 0, list1 = 0, edit6 = 0;
};

// Runs `steps` one after the other on the modal dialogs that open while `run` runs: each step
// gets the active modal widget and returns true once it has dealt with it.
void WithModalSteps(std::vector<std::function<bool(QWidget*)>> steps, const std::function<void()>& run);

rt::WindowSpec WindowParams(rt::ControlKind kind, rt::WinHandle parent, uint32_t style);

// Lets shown windows become active and events arrive.
void Settle(rt::QtPlatform& platform, int rounds = 5);

// A QString from a u8"" literal (narrow literals here are Shift-JIS).
QString Q(const char8_t* utf8);

}  // namespace kvtest
