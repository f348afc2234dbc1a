// Where windows are and how large: a form's client area at a desktop position, a control in its
// form, a combo box with its dropped-down list, and the desktop's free area.
#include <QGuiApplication>
#include <QScreen>

#include "runtime/backends/qt/qt_window.h"

namespace rt {
namespace {

QRect ToQt(const Rect& r) { return QRect(r.x, r.y, std::max(r.width, 0), std::max(r.height, 0)); }
Rect FromQt(const QRect& r) { return Rect{r.x(), r.y(), r.width(), r.height()}; }

}  // namespace

void QtPlatform::SetGeometry(WinHandle w, const Rect& r) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, r] { SetGeometry(w, r); })) return;
    ProgramChange change(*this);
    QWidget* widget = win->widget;
    switch (win->kind) {
        case ControlKind::Form: {
            // The rectangle is the client area at a desktop position; the window manager adds
            // the frame. A form without a sizing border keeps its size.
            constexpr uint32_t kThickFrame = 0x00040000;
            if (win->filler) {
                Grow(*win, QSize(std::max(r.width, 0), std::max(r.height, 0)));
            } else if (win->style & kThickFrame) {
                widget->setMinimumSize(0, 0);
                widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
                widget->resize(std::max(r.width, 0), std::max(r.height, 0));
            } else {
                widget->setFixedSize(std::max(r.width, 0), std::max(r.height, 0));
            }
            widget->move(r.x, r.y);
            break;
        }
        case ControlKind::ComboBox:
            win->requested = r;
            // Its height follows its font: a font still to come sizes it then.
            if (!win->fontPending) ApplyComboGeometry(*win);
            break;
        default:
            win->requested = r;
            widget->setGeometry(ToQt(r));
            if (const Window* form = Find(win->parent); form && form->filler == w) FollowGrowth(WindowAt(win->parent));
            break;
    }
    if (win->Grouped()) Regroup(win->parent);
    // Captions are found by where the controls are (once the form's controls have their widgets).
    const Window* form = win->Is(ControlKind::Form) ? nullptr : Find(win->parent);
    if (form && form->controlsBuilt && !building_) NameByCaptions(form->handle);
}

Rect QtPlatform::Geometry(WinHandle w) const {
    const Window* win = Built(w);
    if (!win) return {};
    switch (win->kind) {
        case ControlKind::Form: return Rect{win->widget->x(), win->widget->y(), win->widget->width(), win->widget->height()};
        case ControlKind::ComboBox: return win->requested;
        default: return FromQt(win->widget->geometry());
    }
}

Rect QtPlatform::Desktop() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    return screen ? FromQt(screen->availableGeometry()) : Rect{0, 0, 1024, 768};
}

}  // namespace rt
