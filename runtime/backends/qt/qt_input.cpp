// The keys the window layer takes itself (Tab, Enter, Space, Escape), caught before the focused widget acts
// on them, and Shift+F10 opening a control's context menu.
#include "runtime/backends/qt/qt_input.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QWidget>

#include <optional>

#include "runtime/backends/qt/qt_platform.h"

namespace rt {
namespace {

std::optional<Key> KeyOf(int qtKey) {
    switch (qtKey) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab: return Key::Tab;
        case Qt::Key_Return:
        case Qt::Key_Enter: return Key::Enter;
        case Qt::Key_Space: return Key::Space;
        case Qt::Key_Escape: return Key::Escape;
        default: return std::nullopt;
    }
}

}  // namespace

bool QtKeyFilter::eventFilter(QObject* watched, QEvent* event) {
    const bool press = event->type() == QEvent::KeyPress;
    if (!press && event->type() != QEvent::KeyRelease) return false;
    if (!platform_.sink_) return false;
    // A key that a widget passed on to its parent arrives here again; only the first
    // delivery, to the widget with the focus, counts.
    QWidget* focus = QApplication::focusWidget();
    if (focus ? watched != focus : !watched->isWidgetType() || !static_cast<QWidget*>(watched)->isWindow()) {
        return false;
    }
    auto* keyEvent = static_cast<QKeyEvent*>(event);
    // Shift+F10 opens a control's context menu as the Menu key does, as on the desktop: the
    // statement's print and PDF commands are found there by keyboard.
    if (keyEvent->key() == Qt::Key_F10 && keyEvent->modifiers() == Qt::ShiftModifier && platform_.HandleOf(watched)) {
        if (press) {
            auto* widget = static_cast<QWidget*>(watched);
            // At the caret, as the Menu key opens it.
            QPoint at = widget->inputMethodQuery(Qt::ImCursorRectangle).toRect().center();
            if (!widget->rect().contains(at)) at = widget->rect().center();
            QContextMenuEvent menu(QContextMenuEvent::Keyboard, at, widget->mapToGlobal(at));
            QCoreApplication::sendEvent(widget, &menu);
        }
        return true;
    }
    const std::optional<Key> key = KeyOf(keyEvent->key());
    if (!key) return false;
    // With Alt, Ctrl or Meta held the keys are the widgets' own (Ctrl+Tab types a tab).
    if (keyEvent->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier)) return false;
    const WinHandle handle = platform_.HandleOf(watched);
    if (handle == 0) return false;
    if (keyEvent->isAutoRepeat()) return taken_[*key];
    const bool shift = keyEvent->key() == Qt::Key_Backtab || (keyEvent->modifiers() & Qt::ShiftModifier);
    const bool taken = platform_.sink_->OnKey(handle, *key, shift, press);
    if (press) taken_[*key] = taken;
    return taken;
}

}  // namespace rt
