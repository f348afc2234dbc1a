// Qt's own texts in the desktop's language: Qt's translation for the locale, and the type names of
// folders and drives looked up where that translation keeps them.
#include "runtime/backends/qt/qt_translation.h"

#include <QLibraryInfo>
#include <QLocale>

#include <cstring>

namespace rt::qt {
namespace {

// Qt's Japanese translation keeps the file types of folders and drives ("Folder", "Drive") under
// the file dialog's name, where Qt 5 asked for them; Qt 6 asks under its icon provider's, and
// would show them in English among Japanese texts.
class Translation final : public QTranslator {
public:
    QString translate(const char* context, const char* source, const char* disambiguation, int n) const override {
        QString text = QTranslator::translate(context, source, disambiguation, n);
        if (text.isEmpty() && context && std::strcmp(context, "QAbstractFileIconProvider") == 0) {
            text = QTranslator::translate("QFileDialog", source, disambiguation, n);
        }
        return text;
    }
};

}  // namespace

// The file dialog is the desktop's: it writes dates, sizes and the type names of files in the
// desktop's language, as every other file dialog there does. Its buttons and headings follow,
// so that the dialog speaks one language, the one the customer's desktop speaks; the program's
// own texts in it, its title and the kinds of file it offers, stay Japanese.
std::unique_ptr<QTranslator> DesktopTranslation() {
    const QLocale desktop = QLocale::system();
    // Qt writes its texts in English.
    if (desktop.language() == QLocale::C || desktop.language() == QLocale::English) return nullptr;
    auto translation = std::make_unique<Translation>();
    if (!translation->load(desktop, QStringLiteral("qtbase"), QStringLiteral("_"),
                           QLibraryInfo::path(QLibraryInfo::TranslationsPath)) ||
        translation->isEmpty()) {
        return nullptr;
    }
    return translation;
}

}  // namespace rt::qt
