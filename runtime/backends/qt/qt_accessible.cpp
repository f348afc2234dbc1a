// What a screen reader hears: the forms as windows, and each control named by its caption on the
// form, a figure with its caption, a name the program gave first.
#include "runtime/backends/qt/qt_accessible.h"

#include <QAbstractItemView>
#include <QAccessible>
#include <QApplication>
#include <QTimer>
#include <QAccessibleWidget>
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include <algorithm>
#include <functional>
#include <utility>

#include "runtime/backends/qt/qt_window.h"

namespace rt {
namespace qt {

// The accessible interface of SpeakToScreenReader's marker (below).
QAccessibleInterface* MakeMarkerInterface(QObject* object);

namespace {

// As Qt's own interface for an editable combo box, with its list and its edit field as its
// children and the list to open, but named by its caption and worth its text.
class ComboAccessible : public QAccessibleWidget {
public:
    explicit ComboAccessible(QComboBox* combo) : QAccessibleWidget(combo, QAccessible::ComboBox) {}

    QString text(QAccessible::Text t) const override {
        if (t == QAccessible::Name) return widget()->accessibleName();
        if (t == QAccessible::Value) return Combo()->currentText();
        return QAccessibleWidget::text(t);
    }
    int childCount() const override { return Combo()->lineEdit() ? 2 : 1; }
    QAccessibleInterface* child(int index) const override {
        if (index == 0) return QAccessible::queryAccessibleInterface(Combo()->view());
        if (index == 1 && Combo()->lineEdit()) return QAccessible::queryAccessibleInterface(Combo()->lineEdit());
        return nullptr;
    }
    int indexOfChild(const QAccessibleInterface* child) const override {
        if (!child) return -1;
        if (child->object() == Combo()->view()) return 0;
        return Combo()->lineEdit() && child->object() == Combo()->lineEdit() ? 1 : -1;
    }
    QAccessibleInterface* childAt(int x, int y) const override {
        const QLineEdit* edit = Combo()->lineEdit();
        return edit && edit->rect().contains(edit->mapFromGlobal(QPoint(x, y))) ? child(1) : nullptr;
    }
    // The edit field has the keyboard while the combo box has the focus.
    QAccessibleInterface* focusChild() const override { return Combo()->lineEdit() ? child(1) : nullptr; }
    QStringList actionNames() const override { return {showMenuAction(), pressAction()}; }
    void doAction(const QString& action) override {
        if (action != showMenuAction() && action != pressAction()) return;
        if (Combo()->view()->isVisible()) {
            Combo()->hidePopup();
        } else {
            Combo()->showPopup();
        }
    }
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

private:
    QComboBox* Combo() const { return static_cast<QComboBox*>(widget()); }
};

// The resolution bar as the slider it is to a user (Qt announces any QScrollBar as a scroll
// bar, which a screen reader presents as scrolling something). Its value is the program's
// position (Qt reports every change of it, and needs the value to do so); one set by the screen
// reader is taken as the thumb put there by the user. Its name is the text beside it.
class SliderAccessible : public QAccessibleWidget, public QAccessibleValueInterface {
public:
    explicit SliderAccessible(ScrollBarWidget* bar) : QAccessibleWidget(bar, QAccessible::Slider) {}

    void* interface_cast(QAccessible::InterfaceType t) override {
        if (t == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
        return QAccessibleWidget::interface_cast(t);
    }
    QVariant currentValue() const override { return Bar()->StoredPosition(); }
    void setCurrentValue(const QVariant& value) override {
        if (Bar()->onAction) Bar()->onAction(ScrollAction::ThumbPosition, value.toInt());
    }
    QVariant maximumValue() const override { return Bar()->maximum(); }
    QVariant minimumValue() const override { return Bar()->minimum(); }
    QVariant minimumStepSize() const override { return Bar()->singleStep(); }

private:
    ScrollBarWidget* Bar() const { return static_cast<ScrollBarWidget*>(widget()); }
};

QAccessibleInterface* MakeInterface(const QString& className, QObject* object) {
    // ComboWidget and FormWidget have no meta-object of their own: they are asked for as a
    // QComboBox and a QWidget. A form is a window with its title (Qt would announce a plain
    // top-level widget as a filler without a name).
    if (className == QLatin1String("QComboBox")) {
        auto* combo = dynamic_cast<ComboWidget*>(object);
        return combo ? new ComboAccessible(combo) : nullptr;
    }
    if (className == QLatin1String("QScrollBar")) {
        auto* bar = dynamic_cast<ScrollBarWidget*>(object);
        return bar ? new SliderAccessible(bar) : nullptr;
    }
    if (className == QLatin1String("QWidget")) {
        if (auto* form = dynamic_cast<FormWidget*>(object)) return new QAccessibleWidget(form, QAccessible::Window);
        // The marker SpeakToScreenReader moves the screen reader's focus to.
        return object->objectName() == QLatin1String("kalvoro-marker") ? MakeMarkerInterface(object) : nullptr;
    }
    return nullptr;
}

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

void InstallAccessibleInterfaces() { QAccessible::installFactory(MakeInterface); }

// How a screen reader hears what changed without the focus moving. The screen reader (Orca 43)
// speaks no change of a name or a description coming from Qt (whose events carry the object
// where the text belongs), and no notification (Qt has no such role on this bus); it speaks the
// focused control whenever its focus moves to it, the control's description included. So the
// words become the focused control's description, and the screen reader's focus goes for a
// moment to the form's marker, a control of no size that is never painted, and comes back: the
// control is announced again with the words. Its description comes back when the focus moves on.
class Marker : public QWidget {
public:
    explicit Marker(QWidget* form) {
        // Named before it joins the form: its accessible interface is made then, by its name.
        setObjectName(QStringLiteral("kalvoro-marker"));
        setFocusPolicy(Qt::NoFocus);
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setParent(form);
        setGeometry(0, 0, 0, 0);
        show();
        form->installEventFilter(this);
    }

    bool Focused() const { return focused_; }

    void Say(const QString& text) {
        text_ = text;
        pending_ = true;
        // Once the windows have run: a form the program hid and showed again around its
        // refresh is in front again then. A form not yet in front says it once it is, after
        // its title and focus were announced.
        QTimer::singleShot(0, this, [this] { SayNow(); });
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == parent() && event->type() == QEvent::WindowActivate && pending_)
            QTimer::singleShot(kBack, this, [this] { SayNow(); });
        return false;
    }

private:
    // The screen reader passes over a focus event when a later one waits behind it: the marker
    // takes the focus once the program's own moves of a refresh are through, and gives it back
    // once the screen reader has surely taken it, soon enough not to be noticed.
    static constexpr int kSettle = 200;
    static constexpr int kBack = 1000;

    void SayNow() {
        QWidget* control = QApplication::focusWidget();
        if (!pending_ || !control || control->window() != window() || focused_) return;
        Describe(control, text_);
        text_.clear();
        pending_ = false;
        focused_ = true;
        QTimer::singleShot(kSettle, this, [this] {
            QAccessibleEvent away(this, QAccessible::Focus);
            QAccessible::updateAccessibility(&away);
        });
        QTimer::singleShot(kSettle + kBack, this, [this, control = QPointer<QWidget>(control)] {
            focused_ = false;
            if (control && QApplication::focusWidget() == control) {
                QAccessibleEvent back(control.data(), QAccessible::Focus);
                QAccessible::updateAccessibility(&back);
            }
            // Words that came while the screen reader's focus was away (a coupon registered
            // right after the main screen came back) are said once this round is through,
            // not lost.
            if (pending_) QTimer::singleShot(kSettle, this, [this] { SayNow(); });
        });
    }

    // The words as the control's description until the focus leaves it.
    static void Describe(QWidget* control, const QString& text) {
        static QPointer<QWidget> described;
        static QString own;
        static bool watching = false;
        if (described != control) {
            if (described) described->setAccessibleDescription(own);
            described = control;
            own = control->accessibleDescription();
        }
        control->setAccessibleDescription(text);
        if (watching) return;
        watching = true;
        QObject::connect(qApp, &QApplication::focusChanged, qApp, [] {
            if (described && described != QApplication::focusWidget()) {
                described->setAccessibleDescription(own);
                described = nullptr;
            }
        });
    }

    QString text_;
    bool pending_ = false;
    bool focused_ = false;
};

// The marker as the screen reader sees it: a nameless filler, which it does not speak, focused
// only while it holds the screen reader's focus.
class MarkerAccessible : public QAccessibleWidget {
public:
    explicit MarkerAccessible(Marker* marker) : QAccessibleWidget(marker, QAccessible::Client) {}
    QAccessible::State state() const override {
        QAccessible::State s = QAccessibleWidget::state();
        s.focusable = true;
        s.focused = static_cast<Marker*>(widget())->Focused();
        return s;
    }
    QString text(QAccessible::Text) const override { return {}; }
};

void SpeakToScreenReader(QWidget* form, const QString& text) {
    if (!QAccessible::isActive() || !form) return;
    // By its name: a class without a meta-object of its own is any widget to findChild.
    auto* marker = dynamic_cast<Marker*>(
        form->findChild<QWidget*>(QStringLiteral("kalvoro-marker"), Qt::FindDirectChildrenOnly));
    if (!marker) marker = new Marker(form);
    marker->Say(text);
}

QAccessibleInterface* MakeMarkerInterface(QObject* object) {
    auto* marker = dynamic_cast<Marker*>(object);
    return marker ? new MarkerAccessible(marker) : nullptr;
}

AccessibilityWatch::AccessibilityWatch(std::function<void(bool)> changed) : changed_(std::move(changed)) {
    QAccessible::installActivationObserver(this);
}

AccessibilityWatch::~AccessibilityWatch() { QAccessible::removeActivationObserver(this); }

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

void QtPlatform::SpeakFigures(const std::vector<WinHandle>& labels) {
    if (!accessibleNames_) return;
    // Each as it is announced, its caption with it: the names first made up to date.
    RenameStaleForms();
    QStringList said;
    bool renamed = false;  // the focused control's own name changed with a figure
    const QWidget* focus = QApplication::focusWidget();
    for (WinHandle w : labels) {
        const Window* win = Built(w);
        if (!win || !win->widget) continue;
        const QString name = win->widget->accessibleName();
        const QString text = name.isEmpty() ? static_cast<QLabel*>(win->widget.data())->text() : name;
        // What the focused control's own name says already (the slider's text) is not said twice.
        if (focus && qt::SpokenCaption(text) == focus->accessibleName()) {
            renamed = true;
            continue;
        }
        said << text;
    }
    // A control renamed with the figure (the slider) is announced again with its new name.
    if (said.isEmpty() && renamed) said << QString();
    const Window* first = labels.empty() ? nullptr : Built(labels.front());
    if (first && first->widget && !said.isEmpty())
        qt::SpeakToScreenReader(first->widget->window(), said.join(QStringLiteral("、")));
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
