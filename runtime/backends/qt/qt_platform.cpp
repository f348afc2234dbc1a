// The Qt platform's start and end: the application it runs on (its own or the one already
// there), the forms' face as the application's font, the desktop's translation of Qt's own texts,
// the keyboard's filter, and the messages of Qt that change nothing the customer sees.
#include "runtime/backends/qt/qt_platform.h"

#include <QApplication>
#include <QTimer>

#include <cstdio>

#include "runtime/backends/qt/qt_accessible.h"
#include "runtime/backends/qt/qt_first_paint.h"
#include "runtime/backends/qt/qt_fonts.h"
#include "runtime/backends/qt/qt_input.h"
#include "runtime/backends/qt/qt_translation.h"
#include "runtime/backends/qt/qt_window.h"

namespace rt {
namespace {

int g_argc = 1;
char g_arg0[] = "kalvoro";
char* g_argv[] = {g_arg0, nullptr};

// Messages Qt prints for what it cannot do on some platforms, which change nothing the customer
// sees: the offscreen platform cannot raise a window, and a session without a runtime folder
// gets a temporary one. Everything else Qt says is passed on as before.
QtMessageHandler g_nextHandler = nullptr;

bool Harmless(const QString& message) {
    return message.startsWith(QLatin1String("This plugin does not support ")) ||
           message.startsWith(QLatin1String("QStandardPaths: XDG_RUNTIME_DIR not set"));
}

void FilterMessages(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (type != QtCriticalMsg && type != QtFatalMsg && Harmless(message)) return;
    if (g_nextHandler) {
        g_nextHandler(type, context, message);
    } else {
        std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
    }
}

}  // namespace

QtPlatform::QtPlatform() {
    static const bool filtering = [] {
        g_nextHandler = qInstallMessageHandler(FilterMessages);
        return true;
    }();
    (void)filtering;
    if (!QApplication::instance()) ownApp_ = std::make_unique<QApplication>(g_argc, g_argv);
    // Widgets lay their text out with the application's font as soon as they are made, before
    // the program gives them theirs: with the forms' own face as that font, no other face is
    // opened for it at start.
    QFont base = QApplication::font();
    base.setFamilies({qt::FamilyFor("ＭＳ Ｐゴシック", qt::FontUse::Normal)});
    QApplication::setFont(base);
    translator_ = qt::DesktopTranslation();
    if (translator_) QCoreApplication::installTranslator(translator_.get());
    qt::InstallAccessibleInterfaces();
    accessibleNames_ = QAccessible::isActive();
    accessibilityWatch_ = std::make_unique<qt::AccessibilityWatch>([this](bool active) {
        accessibleNames_ = active;
        if (!active) return;
        for (const auto& [handle, win] : windows_) {
            if (win->Is(ControlKind::Form) && win->controlsBuilt) NameByCaptions(handle);
        }
    });
    keyFilter_ = std::make_unique<QtKeyFilter>(*this);
    qApp->installEventFilter(keyFilter_.get());
    QObject::connect(qApp, &QApplication::focusChanged, keyFilter_.get(),
                     [this](QWidget* old, QWidget* now) { FocusChanged(old, now); });
    wake_ = std::make_unique<QTimer>();
    wake_->setSingleShot(true);
    InstallFirstPaintExit();
}

QtPlatform::~QtPlatform() {
    sink_ = nullptr;
    if (qApp) {
        qApp->removeEventFilter(keyFilter_.get());
        QCoreApplication::removeTranslator(translator_.get());
    }
    accessibilityWatch_.reset();
    keyFilter_.reset();
    dropFilter_.reset();
    while (!windows_.empty()) Destroy(windows_.begin()->first);
    FlushDeletes();
    wake_.reset();
    ownApp_.reset();
}

void QtPlatform::SetSink(EventSink* sink) { sink_ = sink; }
}  // namespace rt
