// The statement's window may be enlarged, maximised or resized by hand, so that its widest lines
// are read without scrolling sideways: the box showing the statement takes all the room the form
// gains, and the buttons stay where the form placed them. Other forms keep their size.
#include <QSize>

#include "runtime/backends/qt/qt_window.h"

namespace rt {

namespace {

// A read-only box of several lines that scrolls both ways shows a statement's table.
bool ShowsAStatement(const QtPlatform::Window& win) {
    return win.ByteColumns() && (win.style & style::kHScroll) && (win.style & style::kVScroll);
}

}  // namespace

void QtPlatform::LetGrow(Window& form) {
    for (const auto& [handle, win] : windows_) {
        if (win->parent != form.handle || !ShowsAStatement(*win)) continue;
        form.filler = handle;
        auto* widget = static_cast<qt::FormWidget*>(form.widget.data());
        widget->setWindowFlags(widget->windowFlags() | Qt::WindowMaximizeButtonHint);
        widget->onResized = [this, h = form.handle] {
            if (Window* f = Find(h)) FollowGrowth(*f);
        };
        Grow(form, widget->size());
        return;
    }
}

// The size the program gave is the smallest; the window manager may make it larger.
void QtPlatform::Grow(Window& form, QSize smallest) {
    QWidget* widget = form.widget;
    widget->setMinimumSize(smallest);
    widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (widget->size() != smallest) widget->resize(smallest);
    FollowGrowth(form);
}

void QtPlatform::FollowGrowth(Window& form) {
    const Window* filler = Find(form.filler);
    if (!filler || !filler->widget) return;
    const QSize gained = form.widget->size() - form.widget->minimumSize();
    const Rect& r = filler->requested;
    filler->widget->setGeometry(r.x, r.y, std::max(r.width + gained.width(), 0), std::max(r.height + gained.height(), 0));
}

}  // namespace rt
