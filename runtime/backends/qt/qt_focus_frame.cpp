// The frame round a form's focused control, drawn on a transparent layer above the controls and
// kept off a label set close to the control.
#include "runtime/backends/qt/qt_focus_frame.h"

#include <QEvent>
#include <QLabel>
#include <QPainter>

namespace rt::qt {
namespace {

// Two pixels wide and one pixel off the control, so that the control's own border still shows.
constexpr int kGap = 1;
constexpr int kWidth = 2;

}  // namespace

FocusFrame::FocusFrame(QWidget* form) : QWidget(form) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
    setGeometry(form->rect());
    form->installEventFilter(this);
    show();
}

void FocusFrame::Mark(QWidget* control) {
    if (control == control_) return;
    if (control_) control_->removeEventFilter(this);
    control_ = control;
    if (control_) control_->installEventFilter(this);
    // Controls are created below their siblings; the frame is kept above them all.
    raise();
    Repaint();
}

bool FocusFrame::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parent()) {
        if (event->type() == QEvent::Resize) setGeometry(parentWidget()->rect());
    } else if (watched == control_) {
        switch (event->type()) {
            case QEvent::Move:
            case QEvent::Resize:
            case QEvent::Show:
            case QEvent::Hide: Repaint(); break;
            default: break;
        }
    }
    return false;
}

QRect FocusFrame::FrameRect() const {
    if (!control_ || !control_->isVisibleTo(parentWidget())) return {};
    const int out = kGap + kWidth;
    const QRect c = control_->geometry();
    QRect r = c.adjusted(-out, -out, out, out);
    // A side that would lie on a label set close to the control (the resolution's text right
    // above its scroll bar) is drawn on the control's own edge instead: the label stays readable
    // and the frame still goes round the control.
    for (const QObject* child : parentWidget()->children()) {
        const auto* label = qobject_cast<const QLabel*>(child);
        if (!label || !label->isVisibleTo(parentWidget())) continue;
        const QRect l = label->geometry();
        if (l.intersects(QRect(r.left(), c.top() - out, r.width(), out))) r.setTop(c.top());
        if (l.intersects(QRect(r.left(), c.bottom() + 1, r.width(), out))) r.setBottom(c.bottom());
        if (l.intersects(QRect(c.left() - out, r.top(), out, r.height()))) r.setLeft(c.left());
        if (l.intersects(QRect(c.right() + 1, r.top(), out, r.height()))) r.setRight(c.right());
    }
    return r;
}

void FocusFrame::Repaint() {
    const QRect now = FrameRect();
    if (now == painted_) return;
    update(painted_);
    update(now);
    painted_ = now;
}

void FocusFrame::paintEvent(QPaintEvent*) {
    if (painted_.isEmpty()) return;
    QPainter painter(this);
    // The desktop's selection colour stands out on the forms' white, grey and yellow.
    const QColor colour = palette().color(QPalette::Active, QPalette::Highlight);
    const int w = kWidth;
    const QRect r = painted_;
    painter.fillRect(QRect(r.left(), r.top(), r.width(), w), colour);
    painter.fillRect(QRect(r.left(), r.bottom() - w + 1, r.width(), w), colour);
    painter.fillRect(QRect(r.left(), r.top() + w, w, r.height() - 2 * w), colour);
    painter.fillRect(QRect(r.right() - w + 1, r.top() + w, w, r.height() - 2 * w), colour);
}

}  // namespace rt::qt
