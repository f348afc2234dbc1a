#pragma once
// Qt's own texts (the file dialogs' buttons, labels and headings, the edit boxes' menus) in the
// desktop's language.
#include <QTranslator>

#include <memory>

namespace rt::qt {

// Qt's translation for the desktop's language, or null when Qt's texts need none (an English or
// C locale) or the language has none: then they stay as Qt writes them, in English.
std::unique_ptr<QTranslator> DesktopTranslation();

}  // namespace rt::qt
