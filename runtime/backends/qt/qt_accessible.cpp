// Accessible names: each box and scroll bar is named by the label placed as its caption.
#include "runtime/backends/qt/qt_accessible.h"

#include <QAbstractItemView>
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

QAccessibleInterface* MakeInterface(const QString& className, QObject* object) {
    // ComboWidget has no meta-object of its own: it is asked for as a QComboBox.
    if (className != QLatin1String("QComboBox")) return nullptr;
    auto* combo = dynamic_cast<ComboWidget*>(object);
    return combo ? new ComboAccessible(combo) : nullptr;
}

enum class Side { Left, Above, Right };

// Of the controls wholly on that side of `box` and level with it (or over it, for above), the
// nearest.
std::optional<size_t> Nearest(const std::vector<QRect>& boxes, const QRect& box, Side side) {
    const bool above = side == Side::Above;
    std::optional<size_t> nearest;
    int nearestGap = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const QRect& o = boxes[i];
        const bool level = o.top() <= box.bottom() && box.top() <= o.bottom();
        const bool beside = above                  ? o.bottom() < box.top() && o.left() <= box.right() && box.left() <= o.right()
                            : side == Side::Left ? o.right() < box.left() && level
                                                 : box.right() < o.left() && level;
        const int gap = above ? box.top() - o.bottom() : side == Side::Left ? box.left() - o.right() : o.left() - box.right();
        if (beside && (!nearest || gap < nearestGap)) {
            nearest = i;
            nearestGap = gap;
        }
    }
    return nearest;
}

bool NamedByCaption(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::ListBox || kind == ControlKind::ComboBox ||
           kind == ControlKind::HScroll || kind == ControlKind::VScroll;
}

// Of the controls `boxes` of one form, the label that is the caption of boxes[self]: the control
// nearest on its left on the same line, or else, when that one is no label, the control nearest
// above it and over it. Captions sit there; a label placed anywhere else, or with another control
// between, belongs to something else (the caption of a figure names the figure, not the box that
// follows it on the form).
std::optional<size_t> CaptionPlace(const std::vector<QRect>& boxes, const std::vector<bool>& isLabel, size_t self) {
    std::optional<size_t> caption = Nearest(boxes, boxes[self], Side::Left);
    if (!caption || !isLabel[*caption]) caption = Nearest(boxes, boxes[self], Side::Above);
    return caption && isLabel[*caption] ? caption : std::nullopt;
}

// Without a caption, a box is announced by what a sighted user reads it by: the button right
// beside it that acts on it (the coupon box's "割引券番号登録"), or else the window it fills (the
// title list, the statement).
QString NameWithoutCaption(const std::vector<QtPlatform::Window*>& controls, const std::vector<QRect>& boxes,
                           size_t self) {
    // Level with its top line: a combo box's edit field, not the room of its list.
    const QRect& box = boxes[self];
    if (const auto right = Nearest(boxes, QRect(box.topLeft(), QSize(box.width(), 1)), Side::Right);
        right && controls[*right]->Is(ControlKind::PushButton)) {
        return QAccessible::queryAccessibleInterface(controls[*right]->widget.data())->text(QAccessible::Name);
    }
    return controls[self]->widget->window()->windowTitle();
}

}  // namespace

void InstallAccessibleInterfaces() { QAccessible::installFactory(MakeInterface); }

AccessibilityWatch::AccessibilityWatch(std::function<void(bool)> changed) : changed_(std::move(changed)) {
    QAccessible::installActivationObserver(this);
}

AccessibilityWatch::~AccessibilityWatch() { QAccessible::removeActivationObserver(this); }

}  // namespace qt

// Names the boxes and scroll bars of a form by their captions, as the form places them now.
// The labels keep the names in step with their texts (LabelWidget::SetShownText). Run when the
// form's controls have their widgets and when one moves: a form has a few dozen controls.
// Only while a screen reader listens: Qt makes a widget's accessible interface whenever its
// name is set, which would cost every start more than the rest of the names' work together.
void QtPlatform::NameByCaptions(WinHandle form) {
    if (!accessibleNames_) return;
    std::vector<Window*> controls;
    std::vector<QRect> boxes;
    std::vector<bool> isLabel;
    for (const auto& [handle, win] : windows_) {
        const bool invisibleKind =
            win->Is(ControlKind::Timer) || win->Is(ControlKind::Media) || win->Is(ControlKind::Printer);
        if (win->parent != form || !win->widget || invisibleKind) continue;
        // A combo box with the room of its dropped-down list, as the form places it.
        const Rect& r = win->requested;
        const QRect box = win->IsCombo() ? QRect(r.x, r.y, r.width, r.height) : win->widget->geometry();
        if (box.isEmpty()) continue;
        if (win->Is(ControlKind::Label)) static_cast<qt::LabelWidget*>(win->widget.data())->captioned.clear();
        controls.push_back(win.get());
        boxes.push_back(box);
        isLabel.push_back(win->Is(ControlKind::Label));
    }
    for (size_t i = 0; i < controls.size(); ++i) {
        if (!qt::NamedByCaption(controls[i]->kind)) continue;
        QWidget* control = controls[i]->widget;
        QString name;
        if (const auto caption = qt::CaptionPlace(boxes, isLabel, i)) {
            auto* label = static_cast<qt::LabelWidget*>(controls[*caption]->widget.data());
            label->captioned.emplace_back(control);
            name = label->text();
        } else {
            name = qt::NameWithoutCaption(controls, boxes, i);
        }
        if (control->accessibleName() != name) control->setAccessibleName(name);
    }
}

}  // namespace rt
