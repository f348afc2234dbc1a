// The texts of windows: a form's title, a button's or label's caption, a box's contents, kept in
// the program's Shift-JIS bytes and given back as they were while the user has not changed them.
#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include "runtime/backends/qt/qt_accessible.h"
#include "runtime/backends/qt/qt_fonts.h"
#include "runtime/backends/qt/qt_text.h"
#include "runtime/backends/qt/qt_window.h"

namespace rt {

using qt::FromSjis;
using qt::LineEnds;
using qt::ToSjis;

void QtPlatform::SetText(WinHandle w, const std::string& text) {
    Window* win = Find(w);
    if (!win) return;
    QWidget* widget = win->widget;
    const std::string bytes = text.substr(0, text.find('\0'));
    QString shown;
    if (Later(*win, [this, w, bytes] { SetText(w, bytes); })) {
        win->textBytes = bytes;  // what GetText answers until then
    } else {
        ProgramChange change(*this);
        switch (win->kind) {
            case ControlKind::Form:
                shown = FromSjis(bytes);
                widget->setWindowTitle(shown);
                NamesChanged(*win);  // the boxes that have no caption are announced by the title
                break;
            case ControlKind::PushButton:
            case ControlKind::OptionButton:
            case ControlKind::CheckBox:
            case ControlKind::BitmapButton:
                shown = FromSjis(bytes);
                static_cast<QAbstractButton*>(widget)->setText(shown);
                NamesChanged(*win);
                break;
            case ControlKind::GroupBox:
                shown = FromSjis(bytes);
                static_cast<QGroupBox*>(widget)->setTitle(shown);
                break;
            case ControlKind::Label:
                shown = FromSjis(bytes, LineEnds::CrLf);
                static_cast<QLabel*>(widget)->setText(shown);
                NamesChanged(*win);  // a caption, or a figure, is announced as it is shown
                break;
            case ControlKind::Edit:
                if (QPlainTextEdit* edit = TextEditOf(*win)) {
                    shown = FromSjis(bytes, LineEnds::CrLf);
                    edit->setPlainText(shown);
                    win->multiLineBefore = shown;
                    // A font still to come sets the columns then.
                    if (win->ByteColumns() && !win->fontPending) qt::KeepByteColumns(edit);
                    // A statement read with the caret: a new one is read from its top, and a
                    // screen reader says its first line (its heading), or the change is silent.
                    if (win->ByteColumns() && !shown.isEmpty() && edit->window()->isActiveWindow()) {
                        const QString first = shown.trimmed().section(QLatin1Char('\n'), 0, 0).trimmed();
                        qt::SpeakToScreenReader(edit->window(), first);
                    }
                } else {
                    shown = FromSjis(bytes);
                    LineEditOf(*win)->setText(shown);
                }
                break;
            case ControlKind::ComboBox:
                shown = FromSjis(bytes);
                LineEditOf(*win)->setText(shown);
                break;
            default:
                break;  // a window text nobody shows, kept for GetText
        }
        win->textBytes = bytes;
        win->textShown = shown;
    }
    // Kept from the original window system, whose single-line edit boxes report a text set by
    // the program as a change; the program's _CHANGE routines rely on it.
    if (win->kind == ControlKind::Edit && !win->MultiLine() && sink_ && !building_) {
        sink_->OnNotify(w, Notification::EditChanged);
    }
}

std::string QtPlatform::GetText(WinHandle w) const {
    const Window* win = Find(w);
    if (!win) return {};
    // Until then only SetText changes the text (a combo box's is also its list's).
    if (win->awaitingWidget && !win->IsCombo()) return win->kind == ControlKind::ListBox ? std::string() : win->textBytes;
    if (win->awaitingWidget && !(win = Built(w))) return {};
    QString current = win->textShown;
    LineEnds ends = LineEnds::AsIs;
    switch (win->kind) {
        case ControlKind::Edit:
            if (const QPlainTextEdit* edit = TextEditOf(*win)) {
                current = edit->toPlainText();
                ends = LineEnds::CrLf;
            } else {
                current = LineEditOf(*win)->text();
            }
            break;
        case ControlKind::ComboBox: current = LineEditOf(*win)->text(); break;
        case ControlKind::ListBox: return {};  // a list box has no text of its own
        default: break;  // only the program changes the other texts
    }
    if (current == win->textShown) return win->textBytes;
    return ToSjis(current, ends);
}

}  // namespace rt
