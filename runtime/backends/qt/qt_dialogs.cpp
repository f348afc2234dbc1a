// Message boxes, the error report with its help, and Qt's own file dialog, set up for the program's
// texts, buttons and file patterns, with the folder last chosen remembered across runs.
#include "runtime/backends/qt/qt_dialogs.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QPushButton>

#include <filesystem>
#include <map>

#include "runtime/backends/qt/qt_platform.h"
#include "runtime/backends/qt/qt_text.h"
#include "runtime/files/user_folders.h"
#include "runtime/files/whole_file.h"

namespace rt::qt {
namespace {

QString U8(const char8_t* s) { return QString::fromUtf8(reinterpret_cast<const char*>(s)); }

QString FilterOf(const QString& description, const QStringList& patterns) {
    QStringList globs;
    for (const QString& p : patterns) globs << CaseInsensitiveGlob(p);
    return description + QStringLiteral(" (") + globs.join(u' ') + QStringLiteral(")");
}

std::filesystem::path RememberedFolderFile() {
    const std::filesystem::path config = rt::ConfigFolder();
    return config.empty() ? config : config / rt::OwnFolderName() / "last-folder";
}

bool SameFolder(const QString& a, const QString& b) { return QDir(a).canonicalPath() == QDir(b).canonicalPath(); }

}  // namespace

QString RememberedFolder() {
    const std::filesystem::path file = RememberedFolderFile();
    if (file.empty()) return {};
    std::string bytes;
    if (!rt::ReadSystemFile(file.string(), "last-folder", bytes).ok) return {};
    while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r')) bytes.pop_back();
    const QString folder = QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
    if (!folder.isEmpty() && QFileInfo(folder).isDir()) return folder;
    std::error_code ec;
    std::filesystem::remove(file, ec);
    return {};
}

void RememberFolder(const QString& folder) {
    const std::filesystem::path file = RememberedFolderFile();
    if (file.empty()) return;
    std::error_code ec;
    std::filesystem::create_directories(file.parent_path(), ec);
    // Only a convenience: a folder that cannot be kept is simply not offered next time.
    rt::WriteSystemFileReplacing(file.string(), "last-folder", folder.toUtf8().toStdString() + "\n");
}

std::vector<MessageButton> ButtonsOf(MessageButtons buttons) {
    const MessageButton ok{QMessageBox::Ok, Answer::Ok, QStringLiteral("OK")};
    const MessageButton cancel{QMessageBox::Cancel, Answer::Cancel, U8(u8"キャンセル")};
    const MessageButton abort{QMessageBox::Abort, Answer::Abort, U8(u8"中止(&A)")};
    const MessageButton retry{QMessageBox::Retry, Answer::Retry, U8(u8"再試行(&R)")};
    const MessageButton ignore{QMessageBox::Ignore, Answer::Ignore, U8(u8"無視(&I)")};
    const MessageButton yes{QMessageBox::Yes, Answer::Yes, U8(u8"はい(&Y)")};
    const MessageButton no{QMessageBox::No, Answer::No, U8(u8"いいえ(&N)")};
    switch (buttons) {
        case MessageButtons::Ok: return {ok};
        case MessageButtons::OkCancel: return {ok, cancel};
        case MessageButtons::AbortRetryIgnore: return {abort, retry, ignore};
        case MessageButtons::YesNoCancel: return {yes, no, cancel};
        case MessageButtons::YesNo: return {yes, no};
        case MessageButtons::RetryCancel: return {retry, cancel};
    }
    return {ok};
}

Answer EscapeAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::Ok: return Answer::Ok;
        case MessageButtons::YesNo: return Answer::No;
        case MessageButtons::AbortRetryIgnore: return Answer::Abort;
        default: return Answer::Cancel;
    }
}

QString CaseInsensitiveGlob(const QString& pattern) {
    if (pattern == QStringLiteral("*.*")) return QStringLiteral("*");
    QString glob;
    for (const QChar c : pattern) {
        if (c.isLetter() && c.toUpper() != c.toLower()) {
            glob += u'[' + QString(c.toUpper()) + QString(c.toLower()) + u']';
        } else if (c == u'[' || c == u']') {
            glob += u'[' + QString(c) + u']';
        } else {
            glob += c;
        }
    }
    return glob;
}

FileDialogStart PlanFileDialog(const FileDialogSpec& params) {
    FileDialogStart start;
    start.folder = params.initialFolder.empty() ? QDir::currentPath() : PathFromSjis(params.initialFolder);
    const QString name = PathFromSjis(params.initialName);
    const bool pattern = name.contains(u'*') || name.contains(u'?');
    if (!pattern) start.fileName = name;
    int patternFilter = -1;
    for (const FileFilter& filter : params.filters) {
        QStringList patterns;
        for (const std::string& p : filter.patterns) patterns << PathFromSjis(p);
        if (pattern && patternFilter < 0 && patterns.contains(name, Qt::CaseInsensitive)) {
            patternFilter = static_cast<int>(start.nameFilters.size());
        }
        start.nameFilters << FilterOf(FromSjis(filter.description), patterns);
    }
    if (pattern && patternFilter < 0) {
        start.nameFilters.prepend(FilterOf(name, {name}));
        patternFilter = 0;
    }
    start.selectedFilter = std::max(patternFilter, 0);
    return start;
}

}  // namespace rt::qt

namespace rt {
namespace {

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Stop: return QMessageBox::Critical;
        case MessageIcon::Question: return QMessageBox::Question;
        case MessageIcon::Exclamation: return QMessageBox::Warning;
        case MessageIcon::Information: return QMessageBox::Information;
        case MessageIcon::None: break;
    }
    return QMessageBox::NoIcon;
}

// The program's own texts as they are, line ends and all, never read as markup.
void SetPlainText(QMessageBox& box, const std::string& title, const std::string& text, QMessageBox::Icon icon) {
    box.setWindowTitle(qt::FromSjis(title));
    box.setTextFormat(Qt::PlainText);
    box.setText(qt::FromSjis(text, qt::LineEnds::CrLf));
    box.setIcon(icon);
}

QPushButton* AddOk(QMessageBox& box) {
    QPushButton* ok = box.addButton(QMessageBox::Ok);
    ok->setText(QStringLiteral("OK"));
    return ok;
}

}  // namespace

Answer QtPlatform::MessageBox(WinHandle owner, const std::string& title, const std::string& text,
                              MessageButtons buttons, MessageIcon icon, DefaultButton defaultButton) {
    BeforeEvents();  // the forms are drawn behind the box
    QMessageBox box(OwnerWidget(owner));
    SetPlainText(box, title, text, IconOf(icon));
    std::map<QAbstractButton*, Answer> answers;
    QAbstractButton* escape = nullptr;
    const Answer escapeAnswer = qt::EscapeAnswer(buttons);
    const std::vector<qt::MessageButton> set = qt::ButtonsOf(buttons);
    for (size_t i = 0; i < set.size(); ++i) {
        QPushButton* button = box.addButton(set[i].button);
        button->setText(set[i].label);
        answers[button] = set[i].answer;
        if (i == 0 || i == static_cast<size_t>(defaultButton)) box.setDefaultButton(button);
        if (set[i].answer == escapeAnswer) escape = button;
    }
    box.setEscapeButton(escape);
    box.exec();
    const auto it = answers.find(box.clickedButton());
    return it != answers.end() ? it->second : escapeAnswer;
}

void QtPlatform::ErrorReport(WinHandle owner, const std::string& caption, const std::string& report,
                             const std::string& helpText) {
    BeforeEvents();
    QWidget* parent = OwnerWidget(owner);
    QMessageBox box(parent);
    SetPlainText(box, caption, report, QMessageBox::Warning);
    QPushButton* ok = AddOk(box);
    QPushButton* help = box.addButton(QMessageBox::Help);
    help->setText(qt::U8(u8"ヘルプ(&H)"));
    // Enter, Esc and the close box all end the program: only OK does, and the report must not
    // be lost to a key pressed by accident while Help is the focus.
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
    // A message box closes on every button, Help included; the report comes back after the
    // help until the customer presses OK, so it can be read (and read out) again.
    for (;;) {
        box.exec();
        if (box.clickedButton() != help) return;
        QMessageBox helpBox(parent);
        SetPlainText(helpBox, caption, helpText, QMessageBox::Information);
        helpBox.setEscapeButton(AddOk(helpBox));
        // The record's path can be selected and copied into a mail to the shop.
        helpBox.setTextInteractionFlags(Qt::TextSelectableByMouse);
        helpBox.exec();
    }
}

std::optional<std::string> QtPlatform::FileDialog(const FileDialogSpec& params) {
    BeforeEvents();
    qt::FileDialogStart start = qt::PlanFileDialog(params);
    if (!fileChosen_ && qt::SameFolder(start.folder, QDir::currentPath())) {
        if (const QString remembered = qt::RememberedFolder(); !remembered.isEmpty()) start.folder = remembered;
    }
    QFileDialog dialog(OwnerWidget(params.owner), qt::FromSjis(params.title), start.folder);
    // Qt's own dialog: the same on every desktop, and it can be driven in tests.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::HideNameFilterDetails);
    dialog.setOption(QFileDialog::DontConfirmOverwrite, !params.overwritePrompt);
    if (params.kind == FileDialogKind::Save) {
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
    } else {
        dialog.setAcceptMode(QFileDialog::AcceptOpen);
        dialog.setFileMode(params.fileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    }
    if (!start.nameFilters.isEmpty()) {
        dialog.setNameFilters(start.nameFilters);
        dialog.selectNameFilter(start.nameFilters.at(start.selectedFilter));
    }
    if (!start.fileName.isEmpty()) dialog.selectFile(start.fileName);
    for (;;) {
        if (dialog.exec() != QDialog::Accepted) return std::nullopt;
        const QString path = dialog.selectedFiles().value(0);
        if (auto sjis = qt::PathToSjis(path)) {
            fileChosen_ = true;
            qt::RememberFolder(QFileInfo(path).absolutePath());
            return sjis;
        }
        // The program can only name files in Shift-JIS; another name must be chosen.
        QMessageBox::warning(&dialog, dialog.windowTitle(),
                             qt::U8(u8"このファイル名は使えません:\n%1\n\n"
                                    u8"名前に、このプログラムでは扱えない文字が含まれています。別の名前を選んでください。")
                                 .arg(QDir::toNativeSeparators(path)));
    }
}

}  // namespace rt
