// The states of buttons: checked, unchecked or grey for check boxes and option buttons, pushed
// for push buttons (the press of a key shows it before the release clicks).
#include <QCheckBox>
#include <QPushButton>

#include "runtime/backends/qt/qt_window.h"

namespace rt {

void QtPlatform::SetCheck(WinHandle w, int state) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, state] { SetCheck(w, state); })) return;
    auto* button = qobject_cast<QAbstractButton*>(win->widget.data());
    if (!button || !button->isCheckable()) return;
    ProgramChange change(*this);
    // Only this button changes: like the original, the program may check two option buttons
    // of a group or none.
    if (auto* check = qobject_cast<QCheckBox*>(button); check && state == 2) {
        check->setTristate(true);
        check->setCheckState(Qt::PartiallyChecked);
    } else {
        button->setChecked(state != 0);
    }
}

int QtPlatform::GetCheck(WinHandle w) const {
    const Window* win = Built(w);
    if (!win) return 0;
    if (auto* check = qobject_cast<QCheckBox*>(win->widget.data())) {
        switch (check->checkState()) {
            case Qt::Unchecked: return 0;
            case Qt::PartiallyChecked: return 2;
            case Qt::Checked: return 1;
        }
    }
    auto* button = qobject_cast<QAbstractButton*>(win->widget.data());
    return button && button->isChecked() ? 1 : 0;
}

void QtPlatform::SetPushed(WinHandle w, bool pushed) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, pushed] { SetPushed(w, pushed); })) return;
    if (auto* button = qobject_cast<QPushButton*>(win->widget.data())) button->setDown(pushed);
}

}  // namespace rt
