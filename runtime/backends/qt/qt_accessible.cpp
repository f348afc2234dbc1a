// What a screen reader finds on the program's forms: a form as a window with its title, the
// combo boxes named by their caption, the resolution bar as the slider it is to a user; and the
// watch that tells when a screen reader starts or stops listening. The names themselves are
// qt_accessible_names.cpp's, what is said without the focus moving qt_spoken_figures.cpp's.
#include "runtime/backends/qt/qt_accessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QLineEdit>

#include <utility>

#include "runtime/backends/qt/qt_window.h"

namespace rt {
namespace qt {
namespace {

// As Qt's own interface for an editable combo box, with its list and its edit field as its
// children and the list to open, but named by its caption and worth its text.
class ComboAccessible : public QAccessibleWidget {
public:
    explicit ComboAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return widget()->accessibleName();
        if (t == QAccessible::Value) return Combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return Combo()->lineEdit() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) return QAccessible::queryAccessibleInterface(Combo()->view());
        if (index == 1 && Combo()->lineEdit()) return QAccessible::queryAccessibleInterface(Combo()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        if (child->object() == Combo()->view()) return 0;
        return Combo()->lineEdit() && child->object() == Combo()->lineEdit() ? 1 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QLineEdit* edit = Combo()->lineEdit();
        return edit && edit->rect().contains(edit->mapFromGlobal(QPoint(x, y))) ? child(1) : nullptr;
    }
    // The edit field has the keyboard while the combo box has the focus.
    QAccessibleInterface* focusChild() const override { return Combo()->lineEdit() ? child(1) : nullptr; }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) return;
        if (Combo()->view()->isVisible()) {
            Combo()->hidePopup();
        } else {
            Combo()->showPopup();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

// The resolution bar as the slider it is to a user (Qt announces any QScrollBar as a scroll
// bar, which a screen reader presents as scrolling something). Its value is the program's
// position (Qt reports every change of it, and needs the value to do so); one set by the screen
// reader is taken as the thumb put there by the user. Its name is the text beside it.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(ScrollBarWidget* bar) : QAccessibleWidget(bar, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QVariant currentValue() const override { return Bar()->StoredPosition(); }
    void setCurrentValue(const QVariant& value) override {
        if (Bar()->onAction) Bar()->onAction(ScrollAction::ThumbPosition, value.toInt());
    }
    QVariant maximumValue() const override { return Bar()->maximum(); }
    QVariant minimumValue() const override { return Bar()->minimum(); }
    QVariant minimumStepSize() const override { return Bar()->singleStep(); }

private:
    ScrollBarWidget* Bar() const { return static_cast<ScrollBarWidget*>(widget()); }
};

QAccessibleInterface* MakeInterface(const QString& className, QObject* object) {
    // ComboWidget and FormWidget have no meta-object of their own: they are asked for as a
    // QComboBox and a QWidget. A form is a window with its title (Qt would announce a plain
    // top-level widget as a filler without a name).
    if (className == QLatin1String("QComboBox")) {
        auto* combo = dynamic_cast<ComboWidget*>(object);
        return combo ? new ComboAccessible(combo) : nullptr;
    }
    if (className == QLatin1String("QScrollBar")) {
        auto* bar = dynamic_cast<ScrollBarWidget*>(object);
        return bar ? new SliderAccessible(bar) : nullptr;
    }
    if (className == QLatin1String("QWidget")) {
        if (auto* form = dynamic_cast<FormWidget*>(object)) return new QAccessibleWidget(form, QAccessible::Window);
        // The marker SpeakToScreenReader moves the screen reader's focus to.
        return object->objectName() == QLatin1String("kalvoro-marker") ? MakeMarkerInterface(object) : nullptr;
    }
    return nullptr;
}

}  // namespace

void InstallAccessibleInterfaces() { QAccessible::installFactory(MakeInterface); }

AccessibilityWatch::AccessibilityWatch(std::function<void(bool)> changed) : changed_(std::move(changed)) {
    QAccessible::installActivationObserver(this);
}

AccessibilityWatch::~AccessibilityWatch() { QAccessible::removeActivationObserver(this); }

}  // namespace qt
}  // namespace rt
