// Files dragged from the desktop onto a form that takes them. The drop counts anywhere on the
// form: an edit box under the pointer would otherwise take a file's address as typed text.
#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include <memory>
#include <set>
#include <string>
#include <vector>

#include "runtime/backends/qt/qt_platform.h"
#include "runtime/backends/qt/qt_text.h"
#include "runtime/backends/qt/qt_window.h"

namespace rt {

class QtDropFilter : public QObject {
public:
    explicit QtDropFilter(QtPlatform& platform) : platform_(platform) {}
    void Take(WinHandle form) { forms_.insert(form); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const QEvent::Type type = event->type();
        if (type != QEvent::DragEnter && type != QEvent::DragMove && type != QEvent::Drop) return false;
        if (!watched->isWidgetType()) return false;
        const WinHandle form = platform_.HandleOf(static_cast<QWidget*>(watched)->window());
        if (!forms_.count(form)) return false;
        auto* drop = static_cast<QDropEvent*>(event);
        const QStringList files = LocalFiles(drop->mimeData());
        // Text and anything else that is not a file stays the widgets' own business.
        if (files.isEmpty()) return false;
        drop->acceptProposedAction();
        if (type == QEvent::Drop) Deliver(form, files, static_cast<QWidget*>(watched)->window());
        return true;
    }

private:
    static QStringList LocalFiles(const QMimeData* data) {
        QStringList files;
        if (!data || !data->hasUrls()) return files;
        for (const QUrl& url : data->urls())
            if (url.isLocalFile()) files << url.toLocalFile();
        return files;
    }

    void Deliver(WinHandle form, const QStringList& files, QWidget* window) {
        std::vector<std::string> paths;
        QStringList unusable;
        for (const QString& file : files) {
            if (auto sjis = qt::PathToSjis(QDir::toNativeSeparators(file))) paths.push_back(*sjis);
            else unusable << QDir::toNativeSeparators(file);
        }
        if (paths.empty()) {
            // Nothing the program can name: say why rather than do nothing.
            QMessageBox::warning(window, window->windowTitle(),
                                 QString::fromUtf8(reinterpret_cast<const char*>(
                                     u8"このファイル名は使えません:\n%1\n\n"
                                     u8"名前に、このプログラムでは扱えない文字が含まれています。")).arg(unusable.join('\n')));
            return;
        }
        if (platform_.sink_) platform_.sink_->OnDropFiles(form, paths);
    }

    QtPlatform& platform_;
    std::set<WinHandle> forms_;
};

void QtPlatform::AcceptDroppedFiles(WinHandle form) {
    Window* win = Find(form);
    if (!win || !win->Is(ControlKind::Form) || Later(*win, [this, form] { AcceptDroppedFiles(form); })) return;
    if (!dropFilter_) {
        dropFilter_ = std::make_unique<QtDropFilter>(*this);
        qApp->installEventFilter(dropFilter_.get());
    }
    static_cast<QtDropFilter*>(dropFilter_.get())->Take(form);
    win->widget->setAcceptDrops(true);
}

}  // namespace rt
