// When the fonts the program sets reach the widgets: just before the window system may draw or
// measure them, so that each face is loaded and each text laid out once, the hidden forms' not at
// all.
#include "runtime/backends/qt/qt_fonts.h"
#include "runtime/backends/qt/qt_window.h"

namespace rt {

void QtPlatform::SetFont(WinHandle w, const FontSpec& font) {
    Window* win = Find(w);
    if (!win) return;
    win->font = font;
    // Given to the widget just before the window system may draw or measure it (ApplyShownFonts):
    // a routine that sets a form's fonts one by one, or sets them again right after showing it,
    // then loads each face and lays each text out once, and the hidden forms not at all.
    win->fontPending = true;
}

void QtPlatform::ApplyFont(Window& win) {
    if (!win.font || !win.widget) return;
    ProgramChange change(*this);
    win.fontPending = false;
    win.widget->setFont(qt::MakeFont(*win.font, win.ByteColumns() ? qt::FontUse::ByteColumns : qt::FontUse::Normal));
    if (win.ByteColumns()) qt::KeepByteColumns(TextEditOf(win));
    if (win.IsCombo()) ApplyComboGeometry(win);
}

void QtPlatform::ApplyPendingFonts(WinHandle form) {
    // The controls first, as in ApplyShownFonts.
    for (const bool forms : {false, true}) {
        for (auto& [handle, win] : windows_)
            if (win->fontPending && (forms ? handle == form : win->parent == form)) ApplyFont(*win);
    }
}

void QtPlatform::ApplyShownFonts() {
    // The controls first: a form's font reaches every control of it that has no font of its
    // own yet, which would lay their texts out once more in a face they may never show.
    for (const bool forms : {false, true}) {
        for (auto& [handle, win] : windows_) {
            if (!win->fontPending || win->Is(ControlKind::Form) != forms) continue;
            const Window* form = forms ? win.get() : Find(win->parent);
            if (form && form->shownOnce) ApplyFont(*win);
        }
    }
}

FontSpec QtPlatform::Font(WinHandle w) const {
    const Window* win = Find(w);
    return win && win->font ? *win->font : FontSpec{};
}

}  // namespace rt
