#include "runtime/backends/qt/qt_first_paint.h"

#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>
#include <cstdlib>

namespace rt {
namespace {

class FirstPaintExit : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !armed_) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window()->isVisible()) {
                armed_ = true;
                // Ends once the paint in progress is done and on screen.
                QTimer::singleShot(0, [] { std::_Exit(0); });
            }
        }
        return false;
    }

private:
    bool armed_ = false;
};

}  // namespace

void InstallFirstPaintExit() {
    if (!std::getenv("KALVORO_EXIT_AFTER_FIRST_PAINT") || !qApp) return;
    qApp->installEventFilter(new FirstPaintExit(qApp));
}

}  // namespace rt
