// The names a screen reader announces for the controls of a form, taken from the form as it is
// placed: a box or a scroll bar by the label that is its caption, a figure by its caption and
// itself, a button by its caption without arrows and spacing blanks; a name or a description
// the program gave comes first.
#include <QAbstractButton>
#include <QApplication>
#include <QGroupBox>
#include <QLabel>

#include <algorithm>
#include <functional>
#include <optional>
#include <vector>

#include "runtime/backends/qt/qt_accessible.h"
#include "runtime/backends/qt/qt_window.h"

namespace rt {
namespace qt {
namespace {

enum class Side { Left, Above, Right };

// Of the controls wholly on that side of `box` and level with it (or over it, for above), the
// nearest that `counts`.
std::optional<size_t> Nearest(const std::vector<QRect>& boxes, const QRect& box, Side side,
                              const std::function<bool(size_t)>& counts = nullptr) {
    const bool above = side == Side::Above;
    std::optional<size_t> nearest;
    int nearestGap = 0;
    for (size_t i = 0; i < boxes.size(); ++i) {
        const QRect& o = boxes[i];
        const bool level = o.top() <= box.bottom() && box.top() <= o.bottom();
        const bool beside = above                  ? o.bottom() < box.top() && o.left() <= box.right() && box.left() <= o.right()
                            : side == Side::Left ? o.right() < box.left() && level
                                                 : box.right() < o.left() && level;
        const int gap = above ? box.top() - o.bottom() : side == Side::Left ? box.left() - o.right() : o.left() - box.right();
        if (beside && (!nearest || gap < nearestGap) && (!counts || counts(i))) {
            nearest = i;
            nearestGap = gap;
        }
    }
    return nearest;
}

bool NamedByCaption(ControlKind kind) {
    return kind == ControlKind::Edit || kind == ControlKind::ListBox || kind == ControlKind::ComboBox ||
           kind == ControlKind::HScroll || kind == ControlKind::VScroll;
}

bool IsButton(ControlKind kind) {
    return kind == ControlKind::PushButton || kind == ControlKind::BitmapButton || kind == ControlKind::CheckBox ||
           kind == ControlKind::OptionButton;
}

// What one control of a form offers its neighbours' names.
struct Placed {
    QtPlatform::Window* win;
    QRect box;
    QString text;  // as shown, a button's without its mnemonic
    bool figure;   // a label showing an amount or a count
};

// The place of a box's caption: the control nearest on its left on the same line, or else,
// when that one is no label, the control nearest above it and over it. Captions sit there; a
// label placed anywhere else, or with another control between, belongs to something else (the
// caption of a figure names the figure, not the box that follows it on the form).
std::optional<size_t> BoxCaption(const std::vector<Placed>& placed, const std::vector<QRect>& boxes, size_t self) {
    auto isCaption = [&](std::optional<size_t> i) { return i && placed[*i].win->Is(ControlKind::Label) && !placed[*i].figure; };
    std::optional<size_t> caption = Nearest(boxes, boxes[self], Side::Left);
    if (!isCaption(caption)) caption = Nearest(boxes, boxes[self], Side::Above);
    return isCaption(caption) ? caption : std::nullopt;
}

// The caption of a figure: the nearest text that can name it on its left on the same line (a
// label, or the button whose kind it totals), or else on its right (an option's amount stands
// before the option), or else the label nearest above it (a column's heading). Other figures
// and boxes between do not hide it: a row of figures has one caption.
std::optional<size_t> FigureCaption(const std::vector<Placed>& placed, const std::vector<QRect>& boxes, size_t self) {
    auto names = [&](bool buttons) {
        return [&placed, buttons](size_t i) {
            const ControlKind kind = placed[i].win->kind;
            return !placed[i].text.isEmpty() && !placed[i].figure &&
                   (kind == ControlKind::Label || (buttons && IsButton(kind)));
        };
    };
    if (const auto left = Nearest(boxes, boxes[self], Side::Left, names(true))) return left;
    if (const auto right = Nearest(boxes, boxes[self], Side::Right, names(true))) return right;
    return Nearest(boxes, boxes[self], Side::Above, names(false));
}

}  // namespace

QString SpokenCaption(const QString& caption) {
    auto decoration = [](QChar c) {
        return c.isSpace() || c == QChar(0x2190) || c == QChar(0x2191) || c == QChar(0x2192) || c == QChar(0x2193);
    };
    qsizetype from = 0, to = caption.size();
    while (from < to && decoration(caption.at(from))) ++from;
    while (to > from && decoration(caption.at(to - 1))) --to;
    // Blanks that space out the characters of a short caption (「終　　　了」) are layout, not
    // words: they go, but for one blank between two words of Latin letters, digits and signs
    // ("PDF file", "157 dpi (A4…").
    auto word = [](QChar c) { return c.unicode() > 0x20 && c.unicode() < 0x7F; };
    QString spoken;
    for (qsizetype i = from; i < to;) {
        if (!caption.at(i).isSpace()) {
            spoken += caption.at(i++);
            continue;
        }
        qsizetype end = i;
        while (end < to && caption.at(end).isSpace()) ++end;
        if (word(caption.at(i - 1)) && word(caption.at(end))) spoken += QLatin1Char(' ');
        i = end;
    }
    return spoken;
}

QString WithoutMnemonic(const QString& caption) {
    QString plain;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption.at(i) == u'&' && i + 1 < caption.size()) ++i;  // "&&" is one ampersand
        plain += caption.at(i);
    }
    return plain;
}

bool ShowsFigure(const QString& text) {
    // An amount with words before it ("着払の為、０円") is a figure too.
    if (text.endsWith(QChar(0x5186))) return std::any_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); });
    bool digit = false;
    for (const QChar c : text) {
        const bool isDigit = (c >= u'0' && c <= u'9') || (c >= QChar(0xFF10) && c <= QChar(0xFF19));
        digit = digit || isDigit;
        if (!isDigit && !QStringView(u",.+-\u5186\\ \u3000\uFF0C\uFF0B\uFF0D\u2212\uFFE5\u00A5").contains(c)) return false;
    }
    return digit;
}

}  // namespace qt

// Names the controls of a form by their captions, as the form places them now: a box or a scroll
// bar by its caption, a figure by its caption and itself, a button by its caption without the
// arrows and blanks around it; a name the program gave comes first. Run when the form's
// controls have their widgets, when one moves, and before events when a text or a control's
// visibility changed (NamesChanged): a form has a few dozen controls.
// Only while a screen reader listens: Qt makes a widget's accessible interface whenever its
// name is set, which would cost every start more than the rest of the names' work together.
void QtPlatform::NameByCaptions(WinHandle form) {
    if (!accessibleNames_) return;
    if (Window* f = Find(form)) f->namesStale = false;
    std::vector<qt::Placed> placed;
    std::vector<QRect> boxes;
    for (const auto& [handle, win] : windows_) {
        const bool invisibleKind =
            win->Is(ControlKind::Timer) || win->Is(ControlKind::Media) || win->Is(ControlKind::Printer);
        if (win->parent != form || !win->widget || invisibleKind || win->widget->isHidden()) continue;
        // A combo box with the room of its dropped-down list, as the form places it.
        const Rect& r = win->requested;
        const QRect box = win->IsCombo() ? QRect(r.x, r.y, r.width, r.height) : win->widget->geometry();
        if (box.isEmpty()) continue;
        QString text;
        if (win->Is(ControlKind::Label)) text = static_cast<QLabel*>(win->widget.data())->text();
        if (qt::IsButton(win->kind)) text = qt::WithoutMnemonic(static_cast<QAbstractButton*>(win->widget.data())->text());
        placed.push_back({win.get(), box, text, win->Is(ControlKind::Label) && qt::ShowsFigure(text)});
        boxes.push_back(box);
    }
    for (size_t i = 0; i < placed.size(); ++i) {
        const qt::Placed& p = placed[i];
        QString name;
        if (!p.win->spokenName.isEmpty()) {
            name = p.win->spokenName;
        } else if (qt::IsButton(p.win->kind)) {
            name = qt::SpokenCaption(p.text);
        } else if (p.figure) {
            const auto caption = qt::FigureCaption(placed, boxes, i);
            name = caption ? qt::SpokenCaption(placed[*caption].text) + QChar(0x3000) + p.text : p.text;
        } else if (qt::NamedByCaption(p.win->kind)) {
            if (const auto caption = qt::BoxCaption(placed, boxes, i)) {
                name = qt::SpokenCaption(placed[*caption].text);
            } else if (const auto right = qt::Nearest(boxes, QRect(p.box.topLeft(), QSize(p.box.width(), 1)), qt::Side::Right);
                       right && placed[*right].win->Is(ControlKind::PushButton)) {
                // Without a caption, a box is announced by what a sighted user reads it by: the
                // button right beside it that acts on it, level with its top line (a combo box's
                // edit field, not the room of its list), or else (but a list) the window it fills.
                name = qt::SpokenCaption(placed[*right].text);
            } else if (!p.win->IsList()) {
                name = p.win->widget->window()->windowTitle();
            }  // a list that fills its window is heard by its lines: its title would be said twice
        }
        QWidget* control = p.win->widget;
        if (control->accessibleName() != name) control->setAccessibleName(name);
        // An option button's group is the group box around it, which is its sibling on the form,
        // not its parent: its caption is said as the button's description.
        if (const Window* box = Find(p.win->optionGroupBox); box && box->widget) {
            const QString group = static_cast<QGroupBox*>(box->widget.data())->title();
            if (control->accessibleDescription() != group) control->setAccessibleDescription(group);
        }
        if (!p.win->spokenDescription.isEmpty() && control->accessibleDescription() != p.win->spokenDescription)
            control->setAccessibleDescription(p.win->spokenDescription);
        // A combo box's edit field has no name of its own: a screen reader reads an empty
        // field's name as its contents ("割引券番号, 割引券番号").
    }
}

void QtPlatform::NamesChanged(Window& win) {
    if (!accessibleNames_) return;
    if (Window* form = Find(win.Is(ControlKind::Form) ? win.handle : win.parent)) form->namesStale = true;
}

void QtPlatform::RenameStaleForms() {
    if (!accessibleNames_) return;
    for (const auto& [handle, win] : windows_)
        if (win->Is(ControlKind::Form) && win->namesStale && win->controlsBuilt) NameByCaptions(handle);
}

void QtPlatform::SetSpokenDescription(WinHandle w, const std::string& description) {
    Window* win = Find(w);
    if (!win) return;
    win->spokenDescription = qt::FromSjis(description);
    NamesChanged(*win);
}

void QtPlatform::SetSpokenName(WinHandle w, const std::string& name) {
    Window* win = Find(w);
    if (!win) return;
    win->spokenName = qt::FromSjis(name);
    NamesChanged(*win);
}

}  // namespace rt
