// Focus, the message loop and screenshots.
#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include "runtime/qt/qt_window.h"

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
    Window* win = Find(w);
    if (!win) return;
    ProgramChange change(*this);
    QWidget* window = win->widget->window();
    if (!window->isActiveWindow()) window->activateWindow();
    win->widget->setFocus(Qt::OtherFocusReason);
}

WinHandle QtPlatform::Focus() const { return HandleOf(QApplication::focusWidget()); }

void QtPlatform::FocusChanged(QWidget*, QWidget* now) {
    const WinHandle gaining = HandleOf(now);
    if (gaining == focusReported_) return;
    const WinHandle losing = focusReported_;
    focusReported_ = gaining;
    if (ProgramChanging()) return;
    if (const Window* old = Find(losing); old && NotifiesFocus(old->kind)) Notify(losing, Notification::KillFocus);
    if (const Window* win = Find(gaining); win && NotifiesFocus(win->kind)) Notify(gaining, Notification::SetFocus);
}

void QtPlatform::Notify(WinHandle w, Notification what) {
    if (sink_ && !ProgramChanging()) sink_->OnNotify(w, what);
}

void QtPlatform::ProcessPending() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    FlushDeletes();
}

bool QtPlatform::WaitForInput() {
    // Wakes at the latest after 50 ms, so that the window layer's loop keeps its own pace.
    wake_->start(50);
    QCoreApplication::processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    wake_->stop();
    FlushDeletes();
    return !QCoreApplication::closingDown();
}

void QtPlatform::FlushDeletes() {
    // Destroyed windows are deleted here, outside any of their own signals; without a running
    // exec() Qt would not delete them at all.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

bool QtPlatform::Screenshot(WinHandle form, const std::string& pngPathUtf8) {
    const Window* win = Find(form);
    if (!win) return false;
    const QPixmap pixmap = win->widget->window()->grab();
    return pixmap.save(QString::fromUtf8(pngPathUtf8.data(), static_cast<qsizetype>(pngPathUtf8.size())), "PNG");
}

}  // namespace rt
