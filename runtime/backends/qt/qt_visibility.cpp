// Shown and hidden, enabled and disabled. Forms are shown and hidden when the windows next run,
// so that the main form, hidden and shown again around every refresh of its figures, reaches the
// window system as a single show, with its controls and their fonts in place.
#include <utility>

#include "runtime/backends/qt/qt_window.h"

namespace rt {

void QtPlatform::SetVisible(WinHandle w, bool visible) {
    Window* win = Find(w);
    if (!win) return;
    if (win->Is(ControlKind::Form)) {
        // Done when the windows next run (ApplyVisibility): the main form, hidden around every
        // refresh of its figures and shown again, then costs the window system nothing, and a
        // form appears with its controls and their fonts in place.
        win->visibleLater = visible;
        std::erase(visibilityLater_, w);
        visibilityLater_.push_back(w);
        return;
    }
    if (Later(*win, [this, w, visible] { SetVisible(w, visible); })) return;
    ProgramChange change(*this);
    win->widget->setVisible(visible);
    NamesChanged(*win);
}

void QtPlatform::ApplyVisibility() {
    while (!visibilityLater_.empty()) {
        const std::vector<WinHandle> forms = std::exchange(visibilityLater_, {});
        for (const WinHandle handle : forms) {
            Window* form = Find(handle);
            if (!form || !form->visibleLater) continue;
            const bool visible = *std::exchange(form->visibleLater, std::nullopt);
            ProgramChange change(*this);
            if (visible) {
                Build(*form);
                ApplyPendingFonts(handle);
                ActivateForm(*form);
            } else if (form->widget) {
                form->widget->setVisible(false);
            }
        }
    }
}

void QtPlatform::BeforeEvents() {
    ApplyVisibility();
    ApplyShownFonts();
    RenameStaleForms();
}

bool QtPlatform::IsVisible(WinHandle w) const {
    if (const Window* form = Find(w); form && form->Is(ControlKind::Form)) {
        if (form->visibleLater) return *form->visibleLater;
        if (form->awaitingWidget) return false;  // never shown yet
    }
    const Window* win = Built(w);
    return win && !win->widget->isHidden();
}

void QtPlatform::SetEnabled(WinHandle w, bool enabled) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, enabled] { SetEnabled(w, enabled); })) return;
    ProgramChange change(*this);
    win->widget->setEnabled(enabled);
}

bool QtPlatform::IsEnabled(WinHandle w) const {
    const Window* win = Built(w);
    // WA_Disabled is also set on the controls of a disabled form; WA_ForceDisabled only by
    // setEnabled(false) on the widget itself.
    return win && !win->widget->testAttribute(Qt::WA_ForceDisabled);
}

}  // namespace rt
