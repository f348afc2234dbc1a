// Where the focus starts on the program's forms in real windows, and how it is marked.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QTest>

#include <cstdlib>

#include "runtime/window/window.h"
#include "tests/qt/qt_test_support.h"

namespace {

struct FirstFocusCase {
    const char* form;
    const char* control;
};
void PrintTo(const FirstFocusCase& c, std::ostream* os) { *os << c.form; }

// The program's forms played on real widgets without the program's routines: the window layer
// alone decides where the focus goes.
class RealFormFocus : public ::testing::TestWithParam<FirstFocusCase> {
protected:
    void SetUp() override {
        rt::SetRoutineTable({});
        rt::SetPlatform(&platform);
        rt::StartWindowLayer(platform);
        kvtest::Settle(platform);  // the program's first wait
    }
    void TearDown() override {
        rt::ResetWindowLayer();
        rt::SetPlatform(nullptr);
        rt::SetRoutineTable({});
    }
    rt::QtPlatform platform;
};

TEST_P(RealFormFocus, StartsInTheFirstInputBoxAndTheFirstKeysClickNothing) {
    Obj form{kMainWindow};
    if (std::string(GetParam().form) != "MAINFORM") {
        form = Obj{};
        FormLoad(form, GetParam().form, 0);
    }
    SetVisible(form, 0);  // as the program shows its forms: hidden while it fills them
    SetVisible(form, -1);
    ASSERT_TRUE(QTest::qWaitForWindowActive(platform.Widget(rt::WindowOf(form))));
    kvtest::Settle(platform);
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_EQ(platform.HandleOf(QApplication::focusWidget()), FormControl(form, GetParam().control));

    // Every push button gets a routine, so that a click would be queued.
    std::vector<std::string> names;
    for (const rt::ControlInfo& c : rt::FormWindows(form.handle))
        if (c.kind == rt::ControlKind::PushButton) names.push_back(c.name + "_ON");
    std::vector<RoutineEntry> routines;
    for (const std::string& name : names) routines.push_back({name, [](Obj&) {}});
    rt::SetRoutineTable(routines);
    for (Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(QApplication::focusWidget(), key);
    }
    kvtest::Settle(platform, 2);
    EXPECT_EQ(rt::PendingEvents(), 0u);
}

// The main form's first tab stop is the push button that ends the program.
INSTANTIATE_TEST_SUITE_P(Forms, RealFormFocus,
                         ::testing::Values(FirstFocusCase{"MAINFORM", "COMBO1"}, FirstFocusCase{"FORM2", "LIST1"},
                                           FirstFocusCase{"FORM3", "EDIT1"}, FirstFocusCase{"FORM4", "LIST2"},
                                           FirstFocusCase{"FORM5", "EDIT6"}));

using QtFocus = kvtest::FormFixture;

TEST_F(QtFocus, AFormShownAgainWhileTheUserIsInAnotherWindowGetsItsFocusBackQuietly) {
    Show();
    platform.SetFocus(edit1);
    QWidget elsewhere;  // another program's window, as far as the form can tell
    elsewhere.show();
    elsewhere.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&elsewhere));
    EXPECT_EQ(platform.Focus(), edit1);  // for the program it stays where it was
    sink.events.clear();
    platform.SetVisible(form, false);
    platform.SetVisible(form, true);
    ASSERT_TRUE(QTest::qWaitForWindowActive(W(form)));
    kvtest::Settle(platform);
    EXPECT_EQ(QApplication::focusWidget(), W(edit1));
    EXPECT_TRUE(sink.events.empty()) << sink.events.front();
}

class FocusMark : public kvtest::FormFixture, public ::testing::WithParamInterface<const char*> {
protected:
    static constexpr int kMargin = 4;
    QImage Around(rt::WinHandle control) {
        kvtest::Settle(platform, 2);
        return W(form)->grab(W(control)->geometry().adjusted(-kMargin, -kMargin, kMargin, kMargin)).toImage();
    }
};

TEST_P(FocusMark, IsAFrameAroundTheFocusedControlThatGoesWithTheFocus) {
    const rt::WinHandle control = Named(GetParam());
    Show();
    platform.SetFocus(form);
    const QImage unfocused = Around(control);
    platform.SetFocus(control);
    const QImage focused = Around(control);
    if (const char* folder = std::getenv("KALVORO_QT_FOCUS_SHOTS"))
        W(form)->grab().save(QDir(QString::fromLocal8Bit(folder)).filePath(QString::fromLatin1(GetParam()) + ".png"));
    platform.SetFocus(form);
    EXPECT_EQ(Around(control), unfocused);
    // Only the margin counts: inside, a style may show the focus its own way (a caret).
    const QRect inside = QRect(QPoint(0, 0), unfocused.size()).adjusted(kMargin, kMargin, -kMargin, -kMargin);
    int marked = 0;
    for (int y = 0; y < unfocused.height(); ++y)
        for (int x = 0; x < unfocused.width(); ++x)
            marked += !inside.contains(x, y) && unfocused.pixel(x, y) != focused.pixel(x, y);
    EXPECT_GE(marked, 2 * (inside.width() + inside.height()));  // a line all around at least
}

INSTANTIATE_TEST_SUITE_P(Kinds, FocusMark,
                         ::testing::Values("BUTTON12", "CHECK1", "RADIO2", "EDIT1", "COMBO1", "LIST1", "HSCROLL1"));

}  // namespace
