// The table of the windows the program made: handles given out in order and never again, a
// window found from its handle and a widget's handle found from the widget, and a window
// destroyed with everything inside it.
#include <QAbstractButton>
#include <QButtonGroup>

#include "runtime/backends/qt/qt_window.h"

namespace rt {

QtPlatform::Window* QtPlatform::Find(WinHandle w) const {
    Window* win = w > 0 && static_cast<size_t>(w) < byHandle_.size() ? byHandle_[static_cast<size_t>(w)] : nullptr;
    return win && (win->widget || win->awaitingWidget) ? win : nullptr;
}

QtPlatform::Window& QtPlatform::WindowAt(WinHandle w) const {
    Window* win = w > 0 && static_cast<size_t>(w) < byHandle_.size() ? byHandle_[static_cast<size_t>(w)] : nullptr;
    return win ? *win : *windows_.at(w);  // at() throws for a handle that is not there
}

WinHandle QtPlatform::HandleOf(const QObject* object) const {
    for (const QObject* o = object; o; o = o->parent()) {
        if (!o->isWidgetType()) continue;
        if (const auto it = handleOfWidget_.find(o); it != handleOfWidget_.end()) {
            // A widget deleted behind the program's back may have left its address to another.
            if (const Window* win = Find(it->second); win && win->widget == o) return it->second;
        }
        // A window of its own (a message box, a file dialog) belongs to no control; the list of
        // a combo box is a popup window and still belongs to its combo box.
        const auto* widget = static_cast<const QWidget*>(o);
        if (widget->isWindow() && widget->windowType() != Qt::Popup) break;
    }
    return 0;
}

WinHandle QtPlatform::Create(const WindowSpec& params) {
    Window* parent = nullptr;
    if (params.parent != 0) {
        // A form's owner and a control's form may still wait for their widgets.
        Window* const found = Find(params.parent);
        const bool mayWait = found && (params.kind == ControlKind::Form || found->Is(ControlKind::Form));
        parent = mayWait ? found : Built(params.parent);
        if (!parent) return 0;
    }
    if (params.kind != ControlKind::Form && !parent) return 0;

    auto owned = std::make_unique<Window>();
    Window& win = *owned;
    win.handle = nextHandle_++;
    win.parent = params.parent;
    win.kind = params.kind;
    win.style = params.style;
    windows_.emplace(win.handle, std::move(owned));
    if (byHandle_.size() <= static_cast<size_t>(win.handle)) byHandle_.resize(static_cast<size_t>(win.handle) + 1);
    byHandle_[static_cast<size_t>(win.handle)] = &win;
    // A form's own widget waits with its controls' (Build): a form that is never shown or looked
    // at costs the window system nothing.
    const bool form = params.kind == ControlKind::Form;
    if (form || (parent->Is(ControlKind::Form) && !parent->controlsBuilt)) {
        win.awaitingWidget = true;
        (form ? win : *parent).later.push_back([this, h = win.handle] {
            if (Window* w = Find(h)) MakeControl(*w);
        });
    } else {
        MakeControl(win);
    }
    return win.handle;
}

void QtPlatform::Destroy(WinHandle w) {
    if (!windows_.count(w)) return;
    // The window and everything created inside it go together.
    std::vector<WinHandle> doomed{w};
    for (size_t i = 0; i < doomed.size(); ++i) {
        for (const auto& [handle, win] : windows_) {
            if (win->parent == doomed[i]) doomed.push_back(handle);
        }
    }
    const WinHandle parent = windows_.at(w)->parent;
    const bool regroup = windows_.at(w)->Grouped();
    ProgramChange change(*this);
    for (WinHandle handle : doomed) {
        const auto it = windows_.find(handle);
        if (it == windows_.end()) continue;
        if (QWidget* widget = it->second->widget) {
            if (auto* button = qobject_cast<QAbstractButton*>(widget); button && button->group()) {
                button->group()->removeButton(button);
            }
            handleOfWidget_.erase(widget);
            // Deleted later: the window may be destroyed from inside one of its own signals.
            if (handle == w) {
                widget->hide();
                widget->deleteLater();
            }
        }
        if (focusReported_ == handle) focusReported_ = 0;
        if (focusPending_ == handle) focusPending_ = 0;
        if (focusLast_ == handle) focusLast_ = 0;
        byHandle_[static_cast<size_t>(handle)] = nullptr;
        windows_.erase(it);
        for (auto g = optionGroups_.begin(); g != optionGroups_.end();) {
            g = g->first.first == handle ? optionGroups_.erase(g) : std::next(g);
        }
    }
    if (regroup && windows_.count(parent)) Regroup(parent);
}

bool QtPlatform::Exists(WinHandle w) const { return Find(w) != nullptr; }

}  // namespace rt
