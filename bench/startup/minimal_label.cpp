// The yardstick of the start-up benchmark: the smallest Qt Widgets program, one label in one
// window, ending after its first paint exactly as kalvoro does.
#include <QApplication>
#include <QLabel>

#include "runtime/backends/qt/qt_first_paint.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    rt::InstallFirstPaintExit();
    QLabel label(QString::fromUtf8(reinterpret_cast<const char*>(u8"Kalvoro総合画面")));
    label.resize(646, 418);
    label.show();
    return app.exec();
}
