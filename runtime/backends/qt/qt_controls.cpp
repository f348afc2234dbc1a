// The widgets of each control kind and how their signals become EventSink calls.
#include <QAbstractItemView>
#include <QApplication>
#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>

#include <limits>

#include "runtime/backends/qt/qt_fonts.h"
#include "runtime/backends/qt/qt_form_palette.h"
#include "runtime/backends/qt/qt_option_groups.h"
#include "runtime/backends/qt/qt_window.h"

namespace rt {
namespace {

Qt::Alignment LabelAlignment(uint32_t s) {
    switch (s & style::kSsTypeMask) {
        case style::kSsCenter: return Qt::AlignHCenter | Qt::AlignTop;
        case style::kSsRight: return Qt::AlignRight | Qt::AlignTop;
        default: return Qt::AlignLeft | Qt::AlignTop;
    }
}

QColor ToQColor(Colour c) { return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF); }

constexpr uint32_t kBsCheckBox = 0x2;
constexpr uint32_t kBs3State = 0x5;
constexpr uint32_t kBsAuto3State = 0x6;
constexpr uint32_t kLbsExtendedSel = 0x0800;
constexpr uint32_t kLbsNoSel = 0x4000;

}  // namespace

QWidget* QtPlatform::MakeWidget(Window& win, QWidget* parent) {
    const uint32_t s = win.style;
    switch (win.kind) {
        case ControlKind::Form: {
            auto* form = new qt::FormWidget(parent);
            constexpr uint32_t kSysMenu = 0x00080000, kMinimizeBox = 0x00020000, kMaximizeBox = 0x00010000;
            // Every form can be closed from the window manager (its close button, Alt+F4): the
            // program's routine for it leaves the screen by the screen's own way out. Without
            // the hint a window manager refuses the close and the customer hears nothing.
            Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;
            if (s & kSysMenu) {
                flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
                if (s & kMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
                if (s & kMaximizeBox) flags |= Qt::WindowMaximizeButtonHint;
            }
            form->setWindowFlags(flags);
            // Its controls take it from the form; the desktop's windows opened over it do not.
            form->setPalette(qt::FormPalette());
            win.focusFrame = new qt::FocusFrame(form);
            return form;
        }
        case ControlKind::PushButton:
        case ControlKind::BitmapButton: {
            auto* button = new QPushButton(parent);
            button->setAutoDefault(false);
            return button;
        }
        case ControlKind::CheckBox: {
            const uint32_t type = win.ButtonType();
            auto* check = new qt::CheckButton(parent, type != kBsCheckBox && type != kBs3State);
            check->setTristate(type == kBs3State || type == kBsAuto3State);
            return check;
        }
        case ControlKind::OptionButton:
            return new qt::OptionButton(parent, win.ButtonType() == style::kBsAutoRadioButton);
        case ControlKind::GroupBox: return new QGroupBox(parent);
        case ControlKind::Label: {
            auto* label = new qt::LabelWidget(parent);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);  // the original's left, centred and right labels all wrap
            label->setAlignment(LabelAlignment(s));
            return label;
        }
        case ControlKind::Edit: {
            if (s & style::kEsMultiLine) {
                auto* edit = new QPlainTextEdit(parent);
                edit->setReadOnly(s & style::kEsReadOnly);
                // A read-only text still has a caret, so that the keys move it line by line and
                // a screen reader reads each line (a mouse selects as before).
                if (s & style::kEsReadOnly)
                    edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
                const bool scrollsSideways = s & (style::kHScroll | style::kEsAutoHScroll);
                edit->setLineWrapMode(scrollsSideways ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth);
                edit->setHorizontalScrollBarPolicy((s & style::kHScroll) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
                edit->setVerticalScrollBarPolicy((s & style::kVScroll) ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
                edit->setFrameShape((s & style::kBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
                edit->setTabChangesFocus(true);
                return edit;
            }
            auto* edit = new QLineEdit(parent);
            edit->setReadOnly(s & style::kEsReadOnly);
            edit->setFrame(s & style::kBorder);
            // The limit is the validator's, in bytes; Qt's own would also cut the program's texts.
            edit->setMaxLength(std::numeric_limits<int>::max());
            return edit;
        }
        case ControlKind::ListBox: {
            auto* list = new qt::ListWidget(parent);
            if (s & style::kLbsMultipleSel) {
                list->setSelectionMode(QAbstractItemView::MultiSelection);
            } else if (s & kLbsExtendedSel) {
                list->setSelectionMode(QAbstractItemView::ExtendedSelection);
            } else if (s & kLbsNoSel) {
                list->setSelectionMode(QAbstractItemView::NoSelection);
            }
            list->setVerticalScrollBarPolicy((s & style::kVScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
            list->setHorizontalScrollBarPolicy((s & style::kHScroll) ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
            list->setFrameShape((s & style::kBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
            return list;
        }
        case ControlKind::ComboBox: {
            auto* combo = new qt::ComboWidget(parent);
            combo->lineEdit()->setMaxLength(std::numeric_limits<int>::max());
            return combo;
        }
        case ControlKind::HScroll:
        case ControlKind::VScroll: {
            auto* bar = new qt::ScrollBarWidget(win.kind == ControlKind::HScroll ? Qt::Horizontal : Qt::Vertical, parent);
            // The original's scroll bar took the focus when clicked if it was a tab stop.
            bar->setFocusPolicy((s & style::kTabStop) ? Qt::ClickFocus : Qt::NoFocus);
            return bar;
        }
        default: return new QWidget(parent);  // pictures and the invisible kinds: a blank window
    }
}

void QtPlatform::Wire(Window& win) {
    const WinHandle h = win.handle;
    switch (win.kind) {
        case ControlKind::Form:
            static_cast<qt::FormWidget*>(win.widget.data())->onCloseRequest = [this, h] {
                if (sink_) sink_->OnClose(h);
            };
            break;
        case ControlKind::PushButton:
        case ControlKind::BitmapButton:
        case ControlKind::CheckBox:
            QObject::connect(static_cast<QAbstractButton*>(win.widget.data()), &QAbstractButton::clicked,
                             win.widget.data(), [this, h] { Notify(h, Notification::Clicked); });
            break;
        case ControlKind::OptionButton:
            QObject::connect(static_cast<QAbstractButton*>(win.widget.data()), &QAbstractButton::clicked,
                             win.widget.data(), [this, h] {
                                 if (Window* w = Find(h)) OptionClicked(*w);
                             });
            break;
        case ControlKind::Edit:
            if (win.MultiLine()) {
                WireMultiLineEdit(win);
            } else {
                WireEdit(win);
            }
            break;
        case ControlKind::ListBox: WireList(win); break;
        case ControlKind::ComboBox: WireCombo(win); break;
        case ControlKind::HScroll:
        case ControlKind::VScroll: WireScrollBar(win); break;
        default: break;
    }
}

void QtPlatform::WireEdit(Window& win) {
    const WinHandle h = win.handle;
    QLineEdit* edit = LineEditOf(win);
    win.validator = new qt::SjisInputValidator(edit, [this] { return ProgramChanging(); });
    edit->setValidator(win.validator);
    ApplyInputRules(win);
    QObject::connect(edit, &QLineEdit::textChanged, win.validator,
                     [v = win.validator](const QString& text) { v->Remember(text); });
    QObject::connect(edit, &QLineEdit::textEdited, edit, [this, h] { Notify(h, Notification::EditChanged); });
    ApplyImeMode(win);
}

void QtPlatform::WireMultiLineEdit(Window& win) {
    const WinHandle h = win.handle;
    QPlainTextEdit* edit = TextEditOf(win);
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [this, h] {
        Window* w = Find(h);
        if (!w || ProgramChanging()) return;
        QPlainTextEdit* e = TextEditOf(*w);
        const QString before = w->multiLineBefore;
        const QString after = e->toPlainText();
        if (after == before) return;  // a change of formats only
        const qt::InputRules rules{w->maxLength, w->DigitsOnly()};
        const auto accepted = qt::AcceptInput(before, after, rules, qt::LineEnds::CrLf);
        const QString kept = accepted ? accepted->text : before;
        if (kept != after) {
            ProgramChange change(*this);
            const int caret = accepted ? accepted->insertEnd : e->textCursor().position();
            e->setPlainText(kept);
            QTextCursor cursor = e->textCursor();
            cursor.setPosition(std::min<int>(caret, static_cast<int>(kept.size())));
            e->setTextCursor(cursor);
        }
        w->multiLineBefore = kept;
        if (kept != before) Notify(h, Notification::EditChanged);
    });
    ApplyImeMode(win);
}

void QtPlatform::WireList(Window& win) {
    const WinHandle h = win.handle;
    auto* list = static_cast<qt::ListWidget*>(win.widget.data());
    // The original's list boxes only report to their form with LBS_NOTIFY.
    if (!(win.style & style::kLbsNotify)) return;
    list->onUserSelChange = [this, h] { Notify(h, Notification::SelChanged); };
    list->onSelMoved = [this, h] { Notify(h, Notification::SelMoved); };
    list->onDoubleClick = [this, h] { Notify(h, Notification::DoubleClicked); };
}

void QtPlatform::WireCombo(Window& win) {
    const WinHandle h = win.handle;
    auto* combo = static_cast<qt::ComboWidget*>(win.widget.data());
    QLineEdit* edit = combo->lineEdit();
    win.validator = new qt::SjisInputValidator(combo, [this] { return ProgramChanging(); });
    combo->setValidator(win.validator);
    ApplyInputRules(win);
    QObject::connect(edit, &QLineEdit::textChanged, win.validator,
                     [v = win.validator](const QString& text) { v->Remember(text); });
    QObject::connect(edit, &QLineEdit::textEdited, combo, [this, h] { Notify(h, Notification::ComboEdited); });
    QObject::connect(combo, &QComboBox::activated, combo, [this, h] { Notify(h, Notification::SelChanged); });
    combo->onDropDown = [this, h] { Notify(h, Notification::DropDown); };
    ApplyImeMode(win);
}

void QtPlatform::WireScrollBar(Window& win) {
    const WinHandle h = win.handle;
    auto* bar = static_cast<qt::ScrollBarWidget*>(win.widget.data());
    bar->SetStoredRange(0, 100);
    bar->onAction = [this, h](ScrollAction action, int pos) {
        if (sink_ && !ProgramChanging()) sink_->OnScroll(h, action, pos);
    };
}

void QtPlatform::ApplyComboGeometry(Window& win) {
    // The rectangle of a drop-down combo box includes its dropped-down list: the box itself is
    // one edit line high and the rest is the list's.
    auto* combo = static_cast<QComboBox*>(win.widget.data());
    const Rect& r = win.requested;
    const int lineHeight = std::min(combo->sizeHint().height(), std::max(r.height, 0));
    combo->setGeometry(r.x, r.y, std::max(r.width, 0), lineHeight);
    const int rowHeight = std::max(1, combo->view()->sizeHintForRow(0) > 0 ? combo->view()->sizeHintForRow(0)
                                                                          : combo->fontMetrics().height() + 2);
    combo->setMaxVisibleItems(std::max(1, (r.height - lineHeight) / rowHeight));
}

void QtPlatform::SetColours(WinHandle w, std::optional<Colour> text, std::optional<Colour> background) {
    Window* win = Find(w);
    if (!win || Later(*win, [this, w, text, background] { SetColours(w, text, background); })) return;
    if (text) win->textColour = text;
    if (background) win->backColour = background;
    ApplyColours(*win);
}

void QtPlatform::ApplyColours(Window& win) {
    QWidget* widget = win.widget;
    QPalette palette = widget->palette();
    auto setText = [&](QPalette::ColorRole role) {
        if (!win.textColour) return;
        // Disabled controls keep the greyed text of the desktop's style.
        palette.setColor(QPalette::Active, role, ToQColor(*win.textColour));
        palette.setColor(QPalette::Inactive, role, ToQColor(*win.textColour));
    };
    auto setBack = [&](QPalette::ColorRole role, bool fill) {
        if (!win.backColour) return;
        palette.setColor(role, ToQColor(*win.backColour));
        if (fill) {
            // What autoFillBackground paints: Button for buttons, Window for the rest.
            palette.setColor(widget->backgroundRole(), ToQColor(*win.backColour));
            widget->setAutoFillBackground(true);
        }
    };
    switch (win.kind) {
        case ControlKind::PushButton:
        case ControlKind::BitmapButton:
            return;  // the original's push buttons kept the system's colours
        case ControlKind::Form:
        case ControlKind::Label:
            setText(QPalette::WindowText);
            setBack(QPalette::Window, true);
            break;
        case ControlKind::CheckBox:
        case ControlKind::OptionButton:
            // Inside a group box a button is drawn on the box's own background (Regroup), not
            // as a patch of the form's colour.
            setText(QPalette::WindowText);
            setBack(QPalette::Window, !win.onGroupBox);
            break;
        case ControlKind::GroupBox:
            // Only the caption is coloured; the inside of a group box is not painted.
            setText(QPalette::WindowText);
            setText(QPalette::Text);
            setBack(QPalette::Window, false);
            break;
        case ControlKind::Edit:
        case ControlKind::ListBox:
        case ControlKind::ComboBox:
            setText(QPalette::Text);
            setBack(QPalette::Base, false);
            break;
        case ControlKind::HScroll:
        case ControlKind::VScroll:
            setBack(QPalette::Window, false);
            setBack(QPalette::Base, false);
            break;
        default:
            setBack(QPalette::Window, true);
            break;
    }
    widget->setPalette(palette);
}

void QtPlatform::Regroup(WinHandle form) {
    std::vector<Window*> buttons;  // option buttons first, then check boxes
    std::vector<Window*> boxes;
    for (const auto& [handle, win] : windows_) {
        if (win->parent != form || !win->widget) continue;
        if (win->kind == ControlKind::OptionButton) buttons.push_back(win.get());
        if (win->kind == ControlKind::GroupBox) boxes.push_back(win.get());
    }
    const size_t optionCount = buttons.size();
    for (const auto& [handle, win] : windows_)
        if (win->parent == form && win->widget && win->kind == ControlKind::CheckBox) buttons.push_back(win.get());
    std::vector<Rect> buttonRects;
    std::vector<Rect> boxRects;
    for (Window* w : buttons) buttonRects.push_back(Geometry(w->handle));
    for (Window* w : boxes) boxRects.push_back(Geometry(w->handle));
    const std::vector<int> groups = qt::GroupOptionButtons(buttonRects, boxRects);
    for (size_t i = 0; i < buttons.size(); ++i) {
        Window& button = *buttons[i];
        const bool onGroupBox = groups[i] != qt::kFormGroup;
        if (button.onGroupBox != onGroupBox) {
            button.onGroupBox = onGroupBox;
            if (button.backColour) button.widget->setAutoFillBackground(!onGroupBox);
        }
    }
    for (size_t i = 0; i < optionCount; ++i) {
        Window& option = *buttons[i];
        option.optionGroupBox = groups[i] == qt::kFormGroup ? 0 : boxes[static_cast<size_t>(groups[i])]->handle;
        QButtonGroup*& group = optionGroups_[{form, option.optionGroupBox}];
        if (!group) {
            group = new QButtonGroup(windows_.at(form)->widget.data());
            group->setExclusive(false);  // QtPlatform keeps the group exclusive (OptionClicked)
        }
        auto* button = static_cast<QAbstractButton*>(option.widget.data());
        if (button->group() != group) {
            if (button->group()) button->group()->removeButton(button);
            group->addButton(button);
        }
    }
    for (auto it = optionGroups_.begin(); it != optionGroups_.end();) {
        if (it->first.first == form && it->second->buttons().isEmpty()) {
            delete it->second;
            it = optionGroups_.erase(it);
        } else {
            ++it;
        }
    }
}

void QtPlatform::OptionClicked(Window& win) {
    auto* clicked = static_cast<QAbstractButton*>(win.widget.data());
    // An auto option button that the user checks unchecks the others of its group (all of
    // them, also those the program had checked beside it).
    if (win.ButtonType() == style::kBsAutoRadioButton && clicked->isChecked() && clicked->group()) {
        ProgramChange change(*this);
        for (QAbstractButton* other : clicked->group()->buttons()) {
            if (other != clicked) other->setChecked(false);
        }
    }
    Notify(win.handle, Notification::Clicked);
}

QWidget* QtPlatform::OwnerWidget(WinHandle owner) const {
    QWidget* widget = Widget(owner);
    return widget ? widget->window() : nullptr;
}

}  // namespace rt
