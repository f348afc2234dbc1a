// The user of the window layer's behaviour suite on real widgets: mouse clicks and keys through
// QTest, where a user would click.
#include <QAbstractButton>
#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QWidget>

#include <map>

#include "runtime/backends/qt/qt_platform.h"
#include "runtime/backends/qt/qt_text.h"
#include "runtime/backends/qt/qt_widgets.h"
#include "tests/qt/qt_test_support.h"
#include "tests/support/user_input.h"

namespace {

class QtInput final : public UserInput {
public:
    rt::Platform& platform() override { return p; }

    void Click(rt::WinHandle w) override {
        QWidget* widget = p.Widget(w);
        // Check boxes and option buttons are clicked on their indicator, at the left.
        const bool indicator = qobject_cast<QAbstractButton*>(widget) && !qobject_cast<QPushButton*>(widget);
        QTest::mouseClick(widget, Qt::LeftButton, {}, indicator ? QPoint(6, widget->height() / 2) : widget->rect().center());
        Settle();
    }

    void Select(rt::WinHandle list, int index) override {
        if (auto* combo = qobject_cast<QComboBox*>(p.Widget(list))) {
            // The list drops down and the item is clicked there.
            combo->showPopup();
            Settle();
            QAbstractItemView* popup = combo->view();
            QTest::mouseClick(popup->viewport(), Qt::LeftButton, {},
                              popup->visualRect(popup->model()->index(index, 0)).center());
            Settle();
            return;
        }
        auto* view = qobject_cast<QListWidget*>(p.Widget(list));
        ASSERT_NE(view, nullptr);
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualItemRect(view->item(index)).center());
        Settle();
    }

    void Scroll(rt::WinHandle bar, rt::ScrollAction action, int pos) override {
        auto* widget = static_cast<rt::qt::ScrollBarWidget*>(p.Widget(bar));
        auto clickOn = [&](QStyle::SubControl control, bool leftHalf) {
            QRect r = widget->SubControlRect(control);
            QPoint at = r.center();
            if (control == QStyle::SC_ScrollBarGroove) {
                // The trough on one side of the thumb.
                QRect thumb = widget->SubControlRect(QStyle::SC_ScrollBarSlider);
                at = leftHalf ? QPoint((r.left() + thumb.left()) / 2, r.center().y())
                              : QPoint((thumb.right() + r.right()) / 2, r.center().y());
            }
            QTest::mouseClick(widget, Qt::LeftButton, {}, at);
        };
        switch (action) {
            case rt::ScrollAction::LineLeft: clickOn(QStyle::SC_ScrollBarSubLine, true); break;
            case rt::ScrollAction::LineRight: clickOn(QStyle::SC_ScrollBarAddLine, false); break;
            case rt::ScrollAction::PageLeft: clickOn(QStyle::SC_ScrollBarGroove, true); break;
            case rt::ScrollAction::PageRight: clickOn(QStyle::SC_ScrollBarGroove, false); break;
            case rt::ScrollAction::ThumbTrack:
                widget->setSliderDown(true);
                widget->setSliderPosition(pos);
                break;
            default: break;
        }
        Settle();
    }

    void Key(rt::WinHandle w, rt::Key key, bool shift) override {
        QWidget* widget = p.Widget(w);
        widget->activateWindow();
        widget->setFocus(Qt::OtherFocusReason);
        Settle();
        static const std::map<rt::Key, Qt::Key> kKeys = {
            {rt::Key::Enter, Qt::Key_Return}, {rt::Key::Space, Qt::Key_Space},   {rt::Key::Left, Qt::Key_Left},
            {rt::Key::Right, Qt::Key_Right},  {rt::Key::Up, Qt::Key_Up},         {rt::Key::Down, Qt::Key_Down},
            {rt::Key::PageUp, Qt::Key_PageUp}, {rt::Key::PageDown, Qt::Key_PageDown}, {rt::Key::Home, Qt::Key_Home},
            {rt::Key::End, Qt::Key_End}};
        const Qt::Key qtKey = key == rt::Key::Tab ? (shift ? Qt::Key_Backtab : Qt::Key_Tab) : kKeys.at(key);
        QTest::keyClick(widget, qtKey, shift ? Qt::ShiftModifier : Qt::NoModifier);
        Settle();
    }

    // Everything in the box is selected and typed over, key by key.
    void Type(rt::WinHandle w, const std::string& sjis) override {
        QWidget* widget = p.Widget(w);
        auto* combo = qobject_cast<QComboBox*>(widget);
        QLineEdit* edit = combo ? combo->lineEdit() : qobject_cast<QLineEdit*>(widget);
        ASSERT_NE(edit, nullptr);
        widget->activateWindow();
        edit->setFocus(Qt::OtherFocusReason);
        Settle();
        QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(edit, Qt::Key_Delete);
        // Characters without a key of their own (kana, kanji) arrive as a keyboard's text.
        for (const QChar c : rt::qt::FromSjis(sjis)) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(edit, &press);
            QApplication::sendEvent(edit, &release);
        }
        Settle();
    }

    void Close(rt::WinHandle form) override {
        p.Widget(form)->close();
        Settle();
    }

    void Settle() override { kvtest::Settle(p, 3); }

    rt::QtPlatform p;
};

}  // namespace

std::vector<Backend> Backends() {
    return {{"qt", [] { return std::make_unique<QtInput>(); }}};
}
