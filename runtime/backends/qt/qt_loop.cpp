// The message loop and screenshots.
#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include "runtime/backends/qt/qt_window.h"

namespace rt {

void QtPlatform::Notify(WinHandle w, Notification what) {
    if (sink_ && !ProgramChanging()) sink_->OnNotify(w, what);
}

void QtPlatform::ProcessPending() {
    BeforeEvents();
    QCoreApplication::processEvents(QEventLoop::AllEvents);
    FlushDeletes();
}

bool QtPlatform::WaitForInput() {
    // Wakes at the latest after 50 ms, so that the window layer's loop keeps its own pace.
    BeforeEvents();
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
    // A form drawn without being shown is drawn as it would be shown: with its controls (made
    // by Widget) and their fonts.
    const QWidget* widget = Widget(form);
    if (!widget) return false;
    ApplyPendingFonts(HandleOf(widget->window()));
    const QPixmap pixmap = widget->window()->grab();
    return pixmap.save(QString::fromUtf8(pngPathUtf8.data(), static_cast<qsizetype>(pngPathUtf8.size())), "PNG");
}

}  // namespace rt
