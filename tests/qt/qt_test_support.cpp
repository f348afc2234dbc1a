#include "tests/qt/qt_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <cstdlib>

namespace kvtest {

void RecordingSink::OnNotify(rt::WinHandle control, rt::Notification what) {
    static const char* const kNames[] = {"Clicked",       "EditChanged", "SelChanged", "SelMoved",  "ComboEdited",
                                         "DoubleClicked", "DropDown",    "SetFocus",   "KillFocus"};
    events.push_back(std::string(kNames[static_cast<int>(what)]) + " " + names[control]);
    if (onNotify) onNotify(control, what);
}

void RecordingSink::OnScroll(rt::WinHandle control, rt::ScrollAction action, int trackPos) {
    static const char* const kNames[] = {"LineLeft",   "LineRight",     "PageLeft", "PageRight",
                                         "ThumbTrack", "ThumbPosition", "EndScroll"};
    events.push_back("Scroll " + names[control] + " " + kNames[static_cast<int>(action)] + " " + std::to_string(trackPos));
    if (onScroll) onScroll(control, action, trackPos);
}

void RecordingSink::OnClose(rt::WinHandle form) { events.push_back("Close " + names[form]); }

bool RecordingSink::OnKey(rt::WinHandle focus, rt::Key key, bool shift, bool pressed) {
    static const char* const kNames[] = {"Tab", "Enter", "Space"};
    events.push_back("Key " + names[focus] + " " + kNames[static_cast<int>(key)] + (shift ? " shift" : "") +
                     (pressed ? " press" : " release"));
    return takeKeys;
}

std::vector<std::string> RecordingSink::Without(const std::string& prefix) const {
    std::vector<std::string> kept;
    for (const std::string& e : events) {
        if (e.rfind(prefix, 0) != 0) kept.push_back(e);
    }
    return kept;
}

rt::WindowSpec WindowParams(rt::ControlKind kind, rt::WinHandle parent, uint32_t style) {
    rt::WindowSpec params;
    params.kind = kind;
    params.parent = parent;
    params.style = style;
    return params;
}

void FormFixture::SetUp() {
    using rt::ControlKind;
    platform.SetSink(&sink);
    form = platform.Create(kvtest::WindowParams(ControlKind::Form, 0, 0x00cc0115));
    sink.names[form] = "FORM3";
    platform.SetText(form, "FORM3");
    platform.SetGeometry(form, {40, 30, 646, 480});
    platform.SetColours(form, 0x000000, 0xFFFFFF);
    radio1 = Control(ControlKind::OptionButton, 0x50030009, {216, 72, 96, 16}, "通常版", "RADIO1");
    radio2 = Control(ControlKind::OptionButton, 0x50010009, {216, 104, 96, 16}, "コンビニ版", "RADIO2");
    group1 = Control(ControlKind::GroupBox, 0x50000007, {200, 48, 120, 80}, "本の種別", "GROUP1");
    radio3 = Control(ControlKind::OptionButton, 0x50010009, {448, 72, 104, 16}, "解体のみ", "RADIO3");
    radio4 = Control(ControlKind::OptionButton, 0x40010009, {448, 88, 128, 16}, "解体とデータ化", "RADIO4");
    radio5 = Control(ControlKind::OptionButton, 0x50010009, {448, 104, 160, 16}, "解体・データ化再製本", "RADIO5");
    group2 = Control(ControlKind::GroupBox, 0x50000007, {432, 48, 184, 88}, "作業内容の指定", "GROUP2");
    platform.SetColours(group1, 0x800080, std::nullopt);
    platform.SetColours(group2, 0x800080, std::nullopt);
    edit1 = Control(ControlKind::Edit, 0x50810180, {88, 16, 536, 24}, "", "EDIT1");
    edit2 = Control(ControlKind::Edit, 0x50812100, {88, 64, 80, 24}, "", "EDIT2");
    platform.SetMaxLength(edit2, 5);
    platform.SetImeMode(edit2, 2);
    platform.SetImeMode(edit1, 1);
    text38 = Control(ControlKind::Label, 0x50000000, {360, 216, 224, 24}, "１，４００", "TEXT38");
    platform.SetColours(text38, std::nullopt, 0x00FFFF);
    check1 = Control(ControlKind::CheckBox, 0x50010003, {120, 272, 408, 16},
                     "目次の作品別に編集　（通常は１冊単位になります）", "CHECK1");
    hscroll1 = Control(ControlKind::HScroll, 0x50010000, {120, 384, 264, 16}, "", "HSCROLL1");
    platform.SetColours(hscroll1, std::nullopt, 0xC0C0C0);
    platform.SetScrollRange(hscroll1, 50, 600);
    platform.SetScrollPos(hscroll1, 156);
    button12 = Control(ControlKind::PushButton, 0x50010000, {240, 152, 168, 24}, "基本金額の計算を実行", "BUTTON12");
    combo1 = Control(ControlKind::ComboBox, 0x50a10202, {24, 300, 104, 85}, "", "COMBO1");
    platform.SetFont(combo1, {"ＭＳ ゴシック", 14, rt::FontUnit::Pixels});
    platform.SetMaxLength(combo1, 10);
    list1 = Control(ControlKind::ListBox, 0x50a10001, {16, 400, 200, 60}, "", "LIST1");
    edit6 = Control(ControlKind::Edit, 0x50b10904, {240, 410, 380, 60}, "", "EDIT6");
    platform.SetFont(edit6, {"ＭＳ 明朝", 14, rt::FontUnit::Pixels});
    platform.SetCheck(radio1, 1);
    platform.SetCheck(radio5, 1);
    sink.events.clear();
}

rt::WinHandle FormFixture::Control(rt::ControlKind kind, uint32_t style, rt::Rect r, const std::string& text,
                                   const std::string& name) {
    const rt::WinHandle h = platform.Create(kvtest::WindowParams(kind, form, style));
    EXPECT_NE(h, 0) << name;
    sink.names[h] = name;
    platform.SetGeometry(h, r);
    platform.SetFont(h, {"ＭＳ Ｐゴシック", 10, rt::FontUnit::Points});
    platform.SetText(h, text);
    platform.SetColours(h, 0x000000, 0xFFFFFF);
    return h;
}

rt::WinHandle FormFixture::Named(const std::string& name) const {
    for (const auto& [handle, given] : sink.names) {
        if (given == name) return handle;
    }
    ADD_FAILURE() << "no control named " << name;
    return 0;
}

void FormFixture::Show() {
    platform.SetVisible(form, true);
    ASSERT_TRUE(QTest::qWaitForWindowActive(W(form)));
    Settle(platform);
    sink.events.clear();
}

void FormFixture::Click(rt::WinHandle h) {
    QWidget* w = W(h);
    // Check boxes and option buttons are clicked on their indicator, at the left.
    const bool indicator = qobject_cast<QAbstractButton*>(w) && !qobject_cast<QPushButton*>(w);
    const QPoint at = indicator ? QPoint(6, w->height() / 2) : w->rect().center();
    QTest::mouseClick(w, Qt::LeftButton, {}, at);
    Settle(platform, 2);
}

void WithModalSteps(std::vector<std::function<bool(QWidget*)>> steps, const std::function<void()>& run) {
    size_t next = 0;
    QObject context;  // ends the polling when it goes
    std::function<void()> poll = [&] {
        // Armed again before the step runs: a step may open a nested modal loop of its own
        // (a dialog that asks), and a running timer does not fire again until its slot returns.
        QTimer::singleShot(20, &context, poll);
        QWidget* modal = QApplication::activeModalWidget();
        if (modal && next < steps.size() && steps[next](modal)) ++next;
    };
    QTimer::singleShot(20, &context, poll);
    run();
    EXPECT_EQ(next, steps.size()) << "not every dialog step ran";
}

void Settle(rt::QtPlatform& platform, int rounds) {
    for (int i = 0; i < rounds; ++i) {
        platform.ProcessPending();
        QTest::qWait(5);
    }
}

QString Q(const char8_t* utf8) { return QString::fromUtf8(reinterpret_cast<const char*>(utf8)); }

}  // namespace kvtest

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    // Real widgets, but no screen is needed unless the caller chose a platform.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
