// A form and its controls get their widgets when the form is first shown or looked at, not at
// start; what the program did to them meanwhile is kept and done again on the widgets, in order.
#include <utility>

#include "runtime/backends/qt/qt_window.h"

namespace rt {

QtPlatform::Window* QtPlatform::Built(WinHandle w) const {
    Window* win = Find(w);
    if (win && win->awaitingWidget) {
        const_cast<QtPlatform*>(this)->Build(win->Is(ControlKind::Form) ? *win : WindowAt(win->parent));
    }
    return win && win->widget ? win : nullptr;
}

bool QtPlatform::Later(Window& win, std::function<void()> change) {
    if (!win.awaitingWidget) return false;
    (win.Is(ControlKind::Form) ? win : WindowAt(win.parent)).later.push_back(std::move(change));
    return true;
}

// The widgets of a form and its controls are made when the form is first shown or looked at, not
// at start: the hidden forms' widgets would only delay the main window's first paint. What the
// program did to the controls meanwhile is done again on the widgets, in the same order, so
// that they end as if they had been there all along.
void QtPlatform::Build(Window& form) {
    if (form.controlsBuilt) return;
    form.controlsBuilt = true;
    // The program was told of its changes when it made them (a text set on an edit box).
    const bool outer = std::exchange(building_, true);
    // A change may reach a control whose widget comes later in the list: it is kept again and
    // made in the next round.
    while (!form.later.empty()) {
        const std::vector<std::function<void()>> changes = std::move(form.later);
        form.later.clear();
        for (const auto& change : changes) change();
    }
    building_ = outer;
    LetGrow(form);
    NameByCaptions(form.handle);
}

QWidget* QtPlatform::Widget(WinHandle w) const {
    Window* win = Built(w);
    if (!win) return nullptr;
    // Whoever looks at a widget sees it as the program made it: a form with its controls, each
    // with its font.
    if (win->Is(ControlKind::Form)) const_cast<QtPlatform*>(this)->Build(*win);
    const_cast<QtPlatform*>(this)->ApplyVisibility();
    if (win->fontPending) const_cast<QtPlatform*>(this)->ApplyFont(*win);
    return win->widget.data();
}

void QtPlatform::MakeControl(Window& win) {
    ProgramChange change(*this);
    const Window* parent = win.parent ? Built(win.parent) : nullptr;
    QWidget* widget = MakeWidget(win, parent ? parent->widget.data() : nullptr);
    handleOfWidget_[widget] = win.handle;
    win.widget = widget;
    win.awaitingWidget = false;
    Wire(win);

    if (win.style & style::kDisabled) widget->setEnabled(false);
    // A form starts hidden whatever its style says; the window layer shows it.
    const bool hiddenKind = win.kind == ControlKind::Form || win.kind == ControlKind::Timer ||
                            win.kind == ControlKind::Media || win.kind == ControlKind::Printer;
    // A window is created with an empty rectangle, as the original system creates it: marked as
    // sized, Qt does not measure its text to size it when it is shown before SetGeometry.
    widget->setAttribute(Qt::WA_Resized);
    widget->setVisible((win.style & style::kVisible) && !hiddenKind);
    if (win.kind != ControlKind::Form) {
        // The original window system put each new control below its siblings: the first one
        // created is on top. The forms rely on it: a group box is created after its option
        // buttons and must not cover them, and FORM3's large note label comes last, under the
        // controls it overlaps.
        widget->lower();
    }
    if (win.Grouped()) Regroup(win.parent);
}

}  // namespace rt
