// What a screen reader announces for every control a user can reach on the program's forms.
#include <QAbstractButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QScrollBar>

#include <tuple>

#include "app/forms/controls.h"
#include "app/screens/options.h"
#include "runtime/window/dialogs.h"
#include "runtime/backends/qt/qt_accessible.h"
#include "tests/qt/qt_test_support.h"
#include "tests/screens/program_run.h"
#include "tests/support/user_input.h"

namespace {

// The label placed as the caption (on the left, or right above) of each reachable box and scroll
// bar. The statement, with buttons above, is named by its window's title; the title list has no
// name (its lines are heard, not its title twice); the program names the coupon box and arrows.
const std::map<std::string, const Obj*> kCaptions = {
    {"FORM2.LIST1", nullptr}, {"FORM3.EDIT1", &TEXT17}, {"FORM3.HSCROLL1", &TEXT36},
    {"FORM4.LIST2", &TEXT47}, {"FORM4.LIST3", &TEXT48}, {"FORM5.EDIT6", &FORM5}};
const std::map<std::string, const char8_t*> kGivenNames = {
    {"MAINFORM.COMBO1", u8"割引券番号"},
    {"FORM4.BUTTON17", u8"選んだ項目を抽出タイトル部へ移す"},
    {"FORM4.BUTTON18", u8"選んだ項目を元データの項目へ戻す"}};

QString Name(QWidget* w) { return QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name); }
QAccessible::Role Role(QWidget* w) { return QAccessible::queryAccessibleInterface(w)->role(); }

TEST(ScreenReader, NamesDropTheArrowsAndBlanksAroundACaption) {
    // Blanks inside go too, but one between two words of Latin letters, digits or signs.
    const std::pair<const char8_t*, const char8_t*> cases[] = {
        {u8"←　割引券番号登録", u8"割引券番号登録"}, {u8"見開きページ化しない　", u8"見開きページ化しない"},
        {u8"→", u8""}, {u8" 終　了 ", u8"終了"}, {u8"終　　　了", u8"終了"}, {u8"a→b", u8"a→b"},
        {u8"データ転送　実行", u8"データ転送実行"}, {u8"PDF 　file", u8"PDF file"}, {u8"A4 なら", u8"A4なら"},
        {u8"157 dpi (A4なら約)", u8"157 dpi (A4なら約)"}, {u8"a　→", u8"a"}};
    for (const auto& [caption, spoken] : cases) EXPECT_EQ(rt::qt::SpokenCaption(kvtest::Q(caption)), kvtest::Q(spoken));
    EXPECT_EQ(rt::qt::WithoutMnemonic("&156&&dpi"), "156&dpi");
    EXPECT_EQ(rt::qt::WithoutMnemonic("a&"), "a&");
    const std::pair<const char8_t*, bool> figures[] = {
        {u8"４,０５０円", true}, {u8"+800", true}, {u8" 0円", true}, {u8"１,４００", true}, {u8"０円", true},
        {u8"着払の為、０円", true}, {u8"円", false}, {u8"", false}, {u8"200 dpi (A4なら約2338×1648ピクセル)", false}, {u8"TEXT4", false}};
    for (const auto& [text, figure] : figures) EXPECT_EQ(rt::qt::ShowsFigure(kvtest::Q(text)), figure) << (const char*)text;
}

TEST(ScreenReader, EveryReachableControlIsNamedByItsCaption) {
    std::unique_ptr<UserInput> user = Backends().front().make();
    auto W = [&](rt::WinHandle h) { return static_cast<rt::QtPlatform&>(user->platform()).Widget(h); };
    auto O = [&](const Obj& o) { return W(rt::WindowOf(o)); };
    auto run = [&] { user->Settle(); RunQueuedRoutines(); user->Settle(); };
    // Checks the controls of a shown form that take the focus or clicks; returns how many.
    auto check = [&](const Obj& form) {
        int reachable = 0;
        const std::vector<rt::ControlInfo> windows = rt::FormWindows(form.handle);  // the form first
        // The form itself: a window with its title.
        EXPECT_EQ(Role(W(windows[0].window)), QAccessible::Window) << windows[0].name;
        EXPECT_EQ(Name(W(windows[0].window)), W(windows[0].window)->windowTitle()) << windows[0].name;
        for (const rt::ControlInfo& control : windows) {
            QWidget* w = W(control.window);
            const bool takesClicks = w->focusPolicy() != Qt::NoFocus || qobject_cast<QScrollBar*>(w);
            if (!w->isVisible() || !w->isEnabled() || w->isWindow() || !takesClicks) continue;
            ++reachable;
            const std::string where = windows[0].name + "." + control.name;
            QString expected;
            if (kGivenNames.count(where)) {
                expected = kvtest::Q(kGivenNames.at(where));
            } else if (const auto* button = qobject_cast<QAbstractButton*>(w)) {
                expected = rt::qt::SpokenCaption(button->text());  // no caption of the forms has a mnemonic
            } else if (!kCaptions.count(where)) {
                ADD_FAILURE() << where << " is reachable but has no caption listed";
            } else if (const Obj* label = kCaptions.at(where); !label) {
                expected = QString();
            } else if (label->handle == form.handle) {
                expected = O(*label)->windowTitle();
            } else {
                expected = static_cast<QLabel*>(O(*label))->text();
            }
            EXPECT_EQ(Name(w).toStdString(), expected.toStdString()) << where;
            for (const QChar arrow : {QChar(0x2190), QChar(0x2192)}) EXPECT_FALSE(Name(w).contains(arrow)) << where;
            if (qobject_cast<QRadioButton*>(w)) {
                EXPECT_EQ(Role(w), QAccessible::RadioButton) << where;
            }
            if (qobject_cast<QCheckBox*>(w)) {
                EXPECT_EQ(Role(w), QAccessible::CheckBox) << where;
            }
        }
        return reachable;
    };
    StartProgramForTest(user->platform());
    struct End {
        ~End() {
            QAccessible::setActive(false);
            EndProgramForTest();
        }
    } end;
    run();
    // The names wait for a screen reader; once one listens, the forms already shown get theirs.
    EXPECT_EQ(Name(O(COMBO1)).toStdString(), "");
    QAccessible::setActive(true);
    EXPECT_EQ(check(MAINFORM), 8);
    user->Type(rt::WindowOf(COMBO1), "2612310035");
    EXPECT_EQ(Name(O(COMBO1)), kvtest::Q(u8"割引券番号"));  // what is typed is its value, not its name
    // Its edit field has no name: a screen reader would read the name as the empty field's text.
    EXPECT_EQ(Name(static_cast<QComboBox*>(O(COMBO1))->lineEdit()), QString());
    // A figure is heard with its caption: on its left, above it, or the button whose kind it totals.
    for (const auto& [figure, name] : {std::pair{&TEXT12, u8"総合計金額　０円"}, {&TEXT2, u8"作業代の合計　０円"},
                                       {&TEXT41, u8"コミックの申込資料作成　０円"}, {&TEXT10, u8"割引券の合計額　0円"}})
        EXPECT_EQ(Name(O(*figure)), kvtest::Q(name));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(O(COMBO1))->text(QAccessible::Value), "2612310035");
    user->Click(rt::WindowOf(BUTTON5));
    run();
    EXPECT_EQ(check(FORM2), 4);
    EXPECT_EQ(Name(O(LIST1)), QString()) << "the kind's list, heard by its lines, not by its title again";
    user->Select(rt::WindowOf(LIST1), 0);
    run();
    EXPECT_EQ(Name(O(HSCROLL1)), kvtest::Q(u8"156 dpi (A4なら約1824×1285ピクセル)"));
    user->Scroll(rt::WindowOf(HSCROLL1), rt::ScrollAction::PageRight);
    run();
    EXPECT_EQ(Name(O(HSCROLL1)), kvtest::Q(u8"166 dpi (A4なら約1941×1368ピクセル)"));
    EXPECT_EQ(check(FORM3), 10);
    SetText(BUTTON13, "&156&&dpi");  // an underlined 1 and an ampersand
    run();
    EXPECT_EQ(Name(O(BUTTON13)), "156&dpi");
    // An option's amount stands before it on the form, and is heard after it.
    EXPECT_EQ(Name(O(TEXT34)), kvtest::Q(u8"トリミングする　0"));
    EXPECT_EQ(QAccessible::queryAccessibleInterface(O(RADIO5))->text(QAccessible::Description),
              kvtest::Q(u8"作業内容の指定"));  // the group the option belongs to

    // The focus frame round the scroll bar just clicked keeps off the text right above it.
    EXPECT_EQ(QApplication::focusWidget(), O(HSCROLL1));
    const QImage shot = O(FORM3)->grab().toImage();
    const QColor mark = O(FORM3)->palette().color(QPalette::Active, QPalette::Highlight);
    const QRect text = O(TEXT36)->geometry(), bar = O(HSCROLL1)->geometry();
    for (int i = 0; i < text.width() * text.height(); ++i)
        ASSERT_NE(shot.pixelColor(text.left() + i % text.width(), text.top() + i / text.width()), mark) << i;
    EXPECT_EQ(shot.pixelColor(bar.center().x(), bar.top()), mark);
    EXPECT_EQ(shot.pixelColor(bar.left() - 2, bar.center().y()), mark);

    // A screen reader moves the slider as a user does, but nothing reaches a form under a message box.
    QAccessibleValueInterface* slider = QAccessible::queryAccessibleInterface(O(HSCROLL1))->valueInterface();
    kvtest::WithModalSteps({[&](QWidget* box) {
                               slider->setCurrentValue(300);
                               qobject_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
                               return true;
                           }},
                           [] { MessageBox(FORM3, "", "", 0, 3); });
    run();
    EXPECT_EQ(ScrollGetPos(HSCROLL1), 166);
    slider->setCurrentValue(300);
    run();
    EXPECT_EQ(ScrollGetPos(HSCROLL1), 300);
    // The preset button says what it does: back to the preset of the title's kind and binding.
    for (const auto& [kind, type, said] : {std::tuple{kSaddleMagazine, 1, u8"解像度を120dpiに戻します"},
                                           {kDoujin, 1, u8"解像度を120dpiに戻します"}, {kDoujin, 2, u8"解像度を156dpiに戻します"},
                                           {kComic, 1, u8"解像度を156dpiに戻します"}}) {
        CUR_KIND = static_cast<int>(kind);
        BOOK_TYPE(CUR_TITLE, kind) = type;
        SETDPI_SUB1();
        run();
        EXPECT_EQ(QAccessible::queryAccessibleInterface(O(BUTTON13))->text(QAccessible::Description), kvtest::Q(said)) << kind;
    }

    for (const auto& [form, reachable] : {std::pair{&FORM4, 7}, {&FORM5, 4}}) {
        SetVisible(*form, -1);
        run();
        EXPECT_EQ(check(*form), reachable);
    }
}

}  // namespace
