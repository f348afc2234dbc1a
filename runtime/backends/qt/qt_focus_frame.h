#pragma once
// The mark of the control with the focus. Qt's styles mark a focused push button, check box or
// scroll bar faintly or not at all, while the shop's customers work the forms from the keyboard;
// each form draws a frame around its focused control instead, the same for every kind.
#include <QPointer>
#include <QWidget>

namespace rt::qt {

// A transparent layer over a whole form, above its controls, that only draws the frame: the
// controls keep their geometry, their look and every mouse click.
class FocusFrame : public QWidget {
public:
    explicit FocusFrame(QWidget* form);
    // The control to mark, nullptr for none. The frame follows it when it moves, resizes or hides.
    void Mark(QWidget* control);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    QRect FrameRect() const;
    void Repaint();
    QPointer<QWidget> control_;
    QRect painted_;
};

}  // namespace rt::qt
