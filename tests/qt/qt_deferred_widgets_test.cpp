// The controls of a form get their widgets when the form is first shown: what the program did to
// them before arrives on the widgets, in order and without being reported twice, and the hidden
// forms of the program cost no widgets at start.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <map>
#include <string>
#include <vector>

#include "app/forms/controls.h"
#include "runtime/backends/qt/qt_widgets.h"
#include "runtime/window/window.h"
#include "tests/qt/qt_test_support.h"
#include "tests/screens/program_run.h"
#include "tests/support/user_input.h"

namespace {

// The top-level widget of a form, found without asking for its widget (which would build it).
QWidget* FormWidgetOf(const rt::QtPlatform& platform, rt::WinHandle form) {
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (platform.HandleOf(w) == form) return w;
    }
    return nullptr;
}

int ControlWidgets(const rt::QtPlatform& platform, rt::WinHandle form) {
    const QWidget* top = FormWidgetOf(platform, form);
    if (!top) return 0;
    return static_cast<int>(top->findChildren<QLineEdit*>().size() + top->findChildren<QAbstractButton*>().size() +
                            top->findChildren<QLabel*>().size());
}

class DeferredWidgets : public kvtest::FormFixture {};

TEST_F(DeferredWidgets, ChangesMadeWhileHiddenArriveInOrderAndAreReportedOnce) {
    EXPECT_EQ(ControlWidgets(platform, form), 0);

    platform.SetText(edit1, "一二三四");
    platform.SetText(edit2, "12345");
    platform.SetText(text38, "２，８００");
    platform.SetText(text38, "３，０００");  // the later text wins
    platform.SetCheck(check1, 1);
    platform.SetEnabled(button12, false);
    platform.SetVisible(radio4, true);
    platform.SetScrollPos(hscroll1, 300);
    platform.SetGeometry(edit2, {90, 66, 70, 22});
    platform.SetFont(text38, {"ＭＳ Ｐゴシック", 22, rt::FontUnit::Pixels});
    platform.ListClear(combo1);
    platform.SetText(combo1, "1234567890");
    // Answered from what the program set, still without widgets; the edit box's change was
    // reported when it was made, as the program's _CHANGE routines expect.
    EXPECT_EQ(platform.GetText(edit1), "一二三四");
    EXPECT_EQ(platform.GetText(text38), "３，０００");
    EXPECT_EQ(platform.Font(text38).size, 22);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"EditChanged EDIT1", "EditChanged EDIT2"}));
    EXPECT_EQ(ControlWidgets(platform, form), 0);

    sink.events.clear();
    platform.SetVisible(form, true);
    // Making the widgets tells the program nothing again.
    EXPECT_EQ(sink.Without("SetFocus"), std::vector<std::string>{});
    Show();
    EXPECT_GT(ControlWidgets(platform, form), 10);
    auto* edit = qobject_cast<QLineEdit*>(W(edit1));
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text(), kvtest::Q(u8"一二三四"));
    EXPECT_EQ(qobject_cast<QLineEdit*>(W(edit2))->text(), QStringLiteral("12345"));
    EXPECT_EQ(qobject_cast<QLabel*>(W(text38))->text(), kvtest::Q(u8"３，０００"));
    EXPECT_EQ(W(text38)->font().pixelSize(), 22);
    EXPECT_TRUE(qobject_cast<QCheckBox*>(W(check1))->isChecked());
    EXPECT_FALSE(W(button12)->isEnabled());
    EXPECT_TRUE(W(radio4)->isVisible());
    EXPECT_TRUE(qobject_cast<QAbstractButton*>(W(radio5))->isChecked());
    EXPECT_EQ(static_cast<rt::qt::ScrollBarWidget*>(W(hscroll1))->StoredPosition(), 300);
    EXPECT_EQ(W(edit2)->geometry(), QRect(90, 66, 70, 22));
    EXPECT_EQ(qobject_cast<QComboBox*>(W(combo1))->lineEdit()->text(), QStringLiteral("1234567890"));
}

TEST_F(DeferredWidgets, AQuestionOnlyTheWidgetAnswersMakesThemAtOnce) {
    // The index of a sorted item is the widget's to tell.
    const rt::WinHandle sorted = Control(rt::ControlKind::ListBox, 0x50a10003, {16, 300, 200, 60}, "", "LIST2");
    EXPECT_EQ(platform.ListAdd(sorted, "b"), 0);
    EXPECT_GT(ControlWidgets(platform, form), 10);
    EXPECT_EQ(platform.ListAdd(sorted, "a"), 0);
    EXPECT_EQ(platform.ListItem(sorted, 1), "b");
}

TEST_F(DeferredWidgets, AControlDestroyedBeforeItsFormIsShownNeverAppears) {
    platform.SetText(edit2, "12");
    platform.Destroy(edit2);
    platform.SetText(edit2, "34");  // a handle that is gone changes nothing
    EXPECT_FALSE(platform.Exists(edit2));
    Show();
    for (QLineEdit* edit : W(form)->findChildren<QLineEdit*>()) {
        EXPECT_NE(edit->text(), QStringLiteral("12"));
        EXPECT_NE(edit->text(), QStringLiteral("34"));
    }
    EXPECT_TRUE(platform.Exists(edit1));
    EXPECT_NE(W(edit1), nullptr);
}

// What the window system is asked to do with a form and one of its labels, in order; found by
// their handles, as asking for the widgets would show the form.
struct ShowsAndFonts : QObject {
    ShowsAndFonts(const rt::QtPlatform& p, rt::WinHandle form, rt::WinHandle label) : p(p), form(form), label(label) {
        qApp->installEventFilter(this);
    }
    ~ShowsAndFonts() override { qApp->removeEventFilter(this); }
    bool eventFilter(QObject* o, QEvent* e) override {
        const bool window = o->isWidgetType() && static_cast<QWidget*>(o)->isWindow();
        if (window && p.HandleOf(o) == form && (e->type() == QEvent::Show || e->type() == QEvent::Hide))
            seen.push_back(e->type() == QEvent::Show ? "form shown" : "form hidden");
        if (e->type() == QEvent::FontChange && p.HandleOf(o) == label) seen.push_back("label font");
        return false;
    }
    const rt::QtPlatform& p;
    rt::WinHandle form, label;
    std::vector<std::string> seen;
};

TEST_F(DeferredWidgets, AFormIsShownOrHiddenOnceWhenTheWindowsRunWithItsFontsInPlace) {
    ShowsAndFonts record(platform, form, text38);
    platform.SetFont(text38, {"ＭＳ Ｐゴシック", 22, rt::FontUnit::Pixels});
    for (const bool visible : {true, false, true}) platform.SetVisible(form, visible);
    // The program sees what it asked for at once; the window system only when the windows run.
    EXPECT_TRUE(platform.IsVisible(form));
    EXPECT_EQ(FormWidgetOf(platform, form), nullptr);
    kvtest::Settle(platform);
    // Hidden and shown again around a refresh: nothing more for the window system.
    platform.SetVisible(form, false);
    platform.SetVisible(form, true);
    kvtest::Settle(platform);
    ASSERT_NE(FormWidgetOf(platform, form), nullptr);
    EXPECT_TRUE(FormWidgetOf(platform, form)->isActiveWindow());
    platform.SetVisible(form, false);
    EXPECT_FALSE(platform.IsVisible(form));
    kvtest::Settle(platform);
    EXPECT_EQ(record.seen, (std::vector<std::string>{"label font", "form shown", "form hidden"}));
}

// Shown one after the other within a routine, shown for the first time or again: the form shown
// last is the one on top when the windows run.
TEST_F(DeferredWidgets, TheFormShownLastIsOnTop) {
    const rt::WinHandle other = platform.Create(kvtest::WindowParams(rt::ControlKind::Form, 0, 0x00cc0115));
    platform.SetGeometry(other, {60, 50, 646, 480});
    for (const auto& [shows, top] :
         {std::pair{std::vector{form, other, form}, form}, std::pair{std::vector{other, form, other}, other}}) {
        for (const rt::WinHandle shown : shows) platform.SetVisible(shown, true);
        kvtest::Settle(platform);
        EXPECT_TRUE(FormWidgetOf(platform, top)->isActiveWindow()) << (top == form ? "first form" : "second form");
        for (const rt::WinHandle shown : shows) platform.SetVisible(shown, false);
        kvtest::Settle(platform);
    }
}

// Counts the font changes each control of the program gets.
class FontChanges : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FontChange && platform && IsControl(watched)) ++counts[watched];
        return false;
    }
    // A control's own widget, not one inside it (a combo box's edit field stands for the combo box).
    bool IsControl(const QObject* o) const {
        const rt::WinHandle h = platform->HandleOf(o);
        return h != 0 && (!o->parent() || platform->HandleOf(o->parent()) != h);
    }
    const rt::QtPlatform* platform = nullptr;
    std::map<QObject*, int> counts;
};

TEST(DeferredWidgetsOfTheProgram, OnlyTheMainFormHasWidgetsUntilAnotherIsShown) {
    FontChanges fontChanges;
    qApp->installEventFilter(&fontChanges);
    std::unique_ptr<UserInput> input = Backends().at(0).make();
    const auto& platform = static_cast<rt::QtPlatform&>(input->platform());
    fontChanges.platform = &platform;
    StartProgramForTest(input->platform());
    input->Settle();
    qApp->removeEventFilter(&fontChanges);
    // Each control of the main form got its font once: the start sets every font twice (the
    // form's own, then the program's sizes), and only the last reached the widgets.
    EXPECT_GT(fontChanges.counts.size(), 40u);
    for (const auto& [widget, changes] : fontChanges.counts) EXPECT_EQ(changes, 1) << widget->metaObject()->className();
    EXPECT_GT(ControlWidgets(platform, rt::WindowOf(MAINFORM)), 30);
    // The hidden forms have no window at all yet.
    for (const Obj* hidden : {&FORM2, &FORM3, &FORM4, &FORM5})
        EXPECT_EQ(FormWidgetOf(platform, rt::WindowOf(*hidden)), nullptr);

    input->Click(rt::WindowOf(BUTTON5));  // the comics' title list
    RunQueuedRoutines();
    input->Settle();
    EXPECT_GT(ControlWidgets(platform, rt::WindowOf(FORM2)), 3);
    EXPECT_EQ(static_cast<rt::QtPlatform&>(input->platform()).Widget(rt::WindowOf(LIST1))->isVisible(), true);
    EXPECT_EQ(ControlWidgets(platform, rt::WindowOf(FORM3)), 0);
    EndProgramForTest();
}

}  // namespace
