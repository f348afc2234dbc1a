#include "runtime/backends/qt/qt_focus_frame.h"

#include <QEvent>
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
    return control_->geometry().adjusted(-out, -out, out, out);
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
