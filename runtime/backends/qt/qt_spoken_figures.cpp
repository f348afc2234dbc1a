// What a screen reader is told without the focus moving: the watched figures that changed, each
// with its caption, and a new statement's first line, said through the form's marker.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QLabel>
#include <QPointer>
#include <QTimer>

#include "runtime/backends/qt/qt_accessible.h"
#include "runtime/backends/qt/qt_window.h"

namespace rt {
namespace qt {

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

}  // namespace qt

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

}  // namespace rt
