// Edit boxes and the edit field of combo boxes: selection, limit, input method.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QInputMethod>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>

#include <memory>

#include "runtime/backends/qt/qt_window.h"

namespace rt {

using qt::LineEnds;

namespace {
// Marks the actions that are the program's commands, with their index.
constexpr char kCommandProperty[] = "kalvoroCommand";
}  // namespace

void QtPlatform::SetImeMode(WinHandle w, int mode) {
    Window* win = Find(w);
    if (!win) return;
    win->imeMode = mode;
    ApplyImeMode(*win);
}

int QtPlatform::ImeMode(WinHandle w) const {
    const Window* win = Find(w);
    return win ? win->imeMode : 0;
}

void QtPlatform::ApplyImeMode(Window& win) {
    if (!win.widget) return;  // its widget takes the mode when it is made
    // 1 opens the input method and 4..7 open it in a fixed conversion mode: Qt can only allow
    // it. 2 closes it (digits and coupon numbers are typed half-width) and 3 disables it; for
    // both the input method is switched off for the control. A form's mode is only kept.
    QList<QWidget*> targets;
    if (QLineEdit* edit = LineEditOf(win)) targets << edit;
    if (QPlainTextEdit* edit = TextEditOf(win)) targets << edit;
    if (win.IsCombo()) targets << win.widget;
    const bool closed = win.imeMode == 2 || win.imeMode == 3;
    Qt::InputMethodHints hints = Qt::ImhNone;
    if (closed) hints |= Qt::ImhLatinOnly | Qt::ImhNoPredictiveText;
    if (win.DigitsOnly()) hints |= Qt::ImhDigitsOnly;
    for (QWidget* target : targets) {
        target->setAttribute(Qt::WA_InputMethodEnabled, !closed);
        target->setInputMethodHints(hints);
        if (QApplication::focusWidget() == target) QGuiApplication::inputMethod()->update(Qt::ImEnabled | Qt::ImHints);
    }
}

void QtPlatform::SetMaxLength(WinHandle w, int n) {
    Window* win = Find(w);
    if (!win || !(win->kind == ControlKind::Edit || win->IsCombo())) return;
    win->maxLength = std::max(n, 0);
    ApplyInputRules(*win);
}

int QtPlatform::MaxLength(WinHandle w) const {
    const Window* win = Find(w);
    return win ? win->maxLength : 0;
}

void QtPlatform::ApplyInputRules(Window& win) {
    if (win.validator) win.validator->rules = qt::InputRules{win.maxLength, win.DigitsOnly()};
}

QLineEdit* QtPlatform::LineEditOf(const Window& win) const {
    if (win.IsCombo()) return static_cast<QComboBox*>(win.widget.data())->lineEdit();
    return qobject_cast<QLineEdit*>(win.widget.data());
}

QPlainTextEdit* QtPlatform::TextEditOf(const Window& win) const {
    return qobject_cast<QPlainTextEdit*>(win.widget.data());
}

// Selections are in Shift-JIS bytes, CR LF counting two in a multi-line box, as the program
// counts them in the texts it gets from GetText.
void QtPlatform::SetEditSel(WinHandle w, int start, int end) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, start, end] { SetEditSel(w, start, end); })) return;
    ProgramChange change(*this);
    if (QPlainTextEdit* edit = TextEditOf(*win)) {
        const QString text = edit->toPlainText();
        QTextCursor cursor = edit->textCursor();
        if (start < 0) {
            cursor.clearSelection();  // -1 removes the selection and leaves the caret
        } else {
            const int length = static_cast<int>(text.size());
            const int anchor = qt::IndexOfSjisOffset(text, start, LineEnds::CrLf);
            const int caret = end < 0 ? length : qt::IndexOfSjisOffset(text, end, LineEnds::CrLf);
            cursor.setPosition(anchor);
            cursor.setPosition(caret, QTextCursor::KeepAnchor);
        }
        edit->setTextCursor(cursor);
        return;
    }
    QLineEdit* edit = LineEditOf(*win);
    if (!edit) return;
    if (start < 0) {
        edit->deselect();
        return;
    }
    const QString text = edit->text();
    const int anchor = qt::IndexOfSjisOffset(text, start, LineEnds::AsIs);
    const int caret = end < 0 ? static_cast<int>(text.size()) : qt::IndexOfSjisOffset(text, end, LineEnds::AsIs);
    edit->setSelection(anchor, caret - anchor);
}

std::pair<int, int> QtPlatform::EditSel(WinHandle w) const {
    const Window* win = Built(w);
    if (!win) return {0, 0};
    if (const QPlainTextEdit* edit = TextEditOf(*win)) {
        const QString text = edit->toPlainText();
        const QTextCursor cursor = edit->textCursor();
        return {qt::SjisOffsetOf(text, cursor.selectionStart(), LineEnds::CrLf),
                qt::SjisOffsetOf(text, cursor.selectionEnd(), LineEnds::CrLf)};
    }
    const QLineEdit* edit = LineEditOf(*win);
    if (!edit) return {0, 0};
    const QString text = edit->text();
    if (!edit->hasSelectedText()) {
        const int caret = qt::SjisOffsetOf(text, edit->cursorPosition(), LineEnds::AsIs);
        return {caret, caret};
    }
    const int start = edit->selectionStart();
    return {qt::SjisOffsetOf(text, start, LineEnds::AsIs),
            qt::SjisOffsetOf(text, start + static_cast<int>(edit->selectedText().size()), LineEnds::AsIs)};
}

void QtPlatform::SetCommands(WinHandle w, const std::vector<ControlCommand>& commands) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, commands] { SetCommands(w, commands); })) return;
    QWidget* widget = win->widget;
    for (QAction* old : widget->actions()) {
        if (!old->property(kCommandProperty).isValid()) continue;
        widget->removeAction(old);
        old->deleteLater();
    }
    for (size_t i = 0; i < commands.size(); ++i) {
        auto* action = new QAction(qt::FromSjis(commands[i].caption), widget);
        action->setProperty(kCommandProperty, static_cast<int>(i));
        if (!commands[i].shortcut.empty()) {
            action->setShortcut(QKeySequence(QString::fromStdString(commands[i].shortcut), QKeySequence::PortableText));
            action->setShortcutContext(Qt::WindowShortcut);
        }
        QObject::connect(action, &QAction::triggered, widget, [this, w, i] {
            if (sink_ && !ProgramChanging()) sink_->OnCommand(w, static_cast<int>(i));
        });
        widget->addAction(action);
    }
    if (widget->contextMenuPolicy() == Qt::CustomContextMenu) return;  // the menu is wired already
    widget->setContextMenuPolicy(Qt::CustomContextMenu);
    QObject::connect(widget, &QWidget::customContextMenuRequested, widget, [this, w](const QPoint& pos) {
        Window* win = Find(w);
        if (!win || !win->widget) return;
        // A scroll area reports the position in its viewport.
        QPoint global = win->widget->mapToGlobal(pos);
        std::unique_ptr<QMenu> menu;
        if (QPlainTextEdit* edit = TextEditOf(*win)) {
            menu.reset(edit->createStandardContextMenu(pos));
            global = edit->viewport()->mapToGlobal(pos);
        } else if (QLineEdit* edit = LineEditOf(*win)) {
            menu.reset(edit->createStandardContextMenu());
        } else {
            menu = std::make_unique<QMenu>();
        }
        if (!menu->isEmpty()) menu->addSeparator();
        for (QAction* action : win->widget->actions())
            if (action->property(kCommandProperty).isValid()) menu->addAction(action);
        menu->exec(global);
    });
}

void QtPlatform::ScrollCaret(WinHandle w) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w] { ScrollCaret(w); })) return;
    if (QPlainTextEdit* edit = TextEditOf(*win)) edit->ensureCursorVisible();
    // A line edit always keeps its caret in view.
}

}  // namespace rt
