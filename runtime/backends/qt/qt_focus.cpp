// The focus: where the program puts it, what is reported when it moves, and its mark.
#include <QApplication>

#include <utility>

#include "runtime/backends/qt/qt_window.h"

namespace rt {
namespace {

// The controls whose focus changes the original reported to their form (edit, list and combo
// boxes), and the forms themselves.
bool NotifiesFocus(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::ListBox || kind == ControlKind::ComboBox ||
           kind == ControlKind::Form;
}

}  // namespace

void QtPlatform::SetFocus(WinHandle w) {
    Window* win = Built(w);
    if (!win) return;
    ProgramChange change(*this);
    QWidget* window = win->widget->window();
    if (!window->isActiveWindow()) window->activateWindow();
    // In a window that is not active (yet) this only chooses the widget that gets the focus
    // when the window becomes active.
    win->widget->setFocus(Qt::OtherFocusReason);
    focusPending_ = HandleOf(QApplication::focusWidget()) == w ? 0 : w;
}

// The focus as the program knows it: one it gave to a window that the window system has not
// activated yet counts already, as the original activated the window at once; and while no
// window of the program is active (one was hidden, or the user is in another program) the
// focus is still where it was last.
WinHandle QtPlatform::Focus() const {
    if (Find(focusPending_)) return focusPending_;
    if (const WinHandle now = HandleOf(QApplication::focusWidget())) return now;
    return Find(focusLast_) ? focusLast_ : 0;
}

void QtPlatform::ActivateForm(Window& form) {
    Build(form);
    const bool first = !std::exchange(form.shownOnce, true);
    QWidget* widget = form.widget;
    // Showing a form activates it, as the original's ShowWindow did. One shown for the first
    // time is on top already: raising it would only cost a round trip to the X server.
    widget->show();
    if (!first) widget->raise();
    widget->activateWindow();
    // Qt Widgets forgets the activation of a window that is hidden, but the window system may
    // never report it inactive (the offscreen platform does not, and a quick hide and show may
    // reach Qt as no change at all). The main form, hidden and shown around every refresh of
    // its figures, would then stay without focus: it is made active here instead.
    if (QGuiApplication::focusWindow() == widget->windowHandle() && QApplication::activeWindow() != widget) {
        QApplication::setActiveWindow(widget);
    }
    // Otherwise the form gets the focus back that it had when the window system activates it,
    // which is no news to the program.
    const QWidget* kept = widget->focusWidget();
    if (!QApplication::focusWidget() && !Find(focusPending_) && kept && kept->isVisible() && kept->isEnabled() &&
        HandleOf(kept) == focusLast_) {
        focusPending_ = focusLast_;
    }
}

void QtPlatform::FocusChanged(QWidget*, QWidget* now) {
    MarkFocus(now);
    const WinHandle gaining = HandleOf(now);
    if (gaining != 0) focusLast_ = gaining;
    // The focus the program gave arrives when its window becomes active; one the user gives
    // first takes its place.
    const bool awaited = gaining != 0 && gaining == focusPending_;
    if (awaited || (gaining != 0 && !ProgramChanging())) focusPending_ = 0;
    if (gaining == focusReported_) return;
    const WinHandle losing = focusReported_;
    focusReported_ = gaining;
    if (ProgramChanging() || awaited) return;
    if (const Window* old = Find(losing); old && NotifiesFocus(old->kind)) Notify(losing, Notification::KillFocus);
    if (const Window* win = Find(gaining); win && NotifiesFocus(win->kind)) Notify(gaining, Notification::SetFocus);
}

void QtPlatform::MarkFocus(QWidget* now) {
    WinHandle form = 0;
    QWidget* control = nullptr;
    if (const Window* win = Find(HandleOf(now)); win && win->kind != ControlKind::Form) {
        form = win->parent;
        control = win->widget;
    }
    if (markedForm_ != form) {
        if (const Window* old = Find(markedForm_); old && old->focusFrame) old->focusFrame->Mark(nullptr);
        markedForm_ = form;
    }
    if (const Window* win = Find(form); win && win->focusFrame) win->focusFrame->Mark(control);
}

}  // namespace rt
