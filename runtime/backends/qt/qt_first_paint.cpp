// For the start-up benchmark: the process ended once its first window has been painted, the window
// saved as a picture first when one is asked for.
#include "runtime/backends/qt/qt_first_paint.h"

#include <QApplication>
#include <QEvent>
#include <QPixmap>
#include <QPointer>
#include <QStyleHints>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

namespace rt {
namespace {

class FirstPaintExit : public QObject {
public:
    FirstPaintExit(QObject* parent, const char* png) : QObject(parent), png_(png) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !armed_) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window()->isVisible()) {
                armed_ = true;
                // Ends once the paint in progress is done and on screen.
                QTimer::singleShot(0, [window = QPointer<QWidget>(widget->window()), png = png_] {
                    if (png && (!window || !window->grab().save(QString::fromLocal8Bit(png), "PNG"))) {
                        std::fprintf(stderr, "kalvoro: cannot write the first paint to %s\n", png);
                        std::_Exit(1);
                    }
                    std::_Exit(0);
                });
            }
        }
        return false;
    }

private:
    const char* png_;
    bool armed_ = false;
};

}  // namespace

void InstallFirstPaintExit() {
    const char* png = std::getenv("KALVORO_FIRST_PAINT_PNG");
    if ((!png && !std::getenv("KALVORO_EXIT_AFTER_FIRST_PAINT")) || !qApp) return;
    // The caret of the focused box is drawn at the first paint and would blink off later: for the
    // picture it stays on, so that the picture does not depend on how long the grab takes.
    if (png) QGuiApplication::styleHints()->setCursorFlashTime(0);
    qApp->installEventFilter(new FirstPaintExit(qApp, png));
}

}  // namespace rt
