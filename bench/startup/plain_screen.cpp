// The yardstick of the start-up benchmark: kalvoro's main screen as it stands at its first paint
// (the same controls, geometry, texts, fonts, colours and hidden controls, and the focus on the
// coupon box), written directly in Qt Widgets as a Qt programmer would write the screen by hand.
// Nothing of kalvoro is linked: the control table comes from the form at build time
// (plain_screen_table.py), each widget is made once in its final state before the window is
// shown, and what kalvoro's Qt back end draws its own way (label text that would not fit, the
// focus frame) is copied here. It ends after its first paint as kalvoro does.
//
//     kv_plain_screen                         the screen; KALVORO_EXIT_AFTER_FIRST_PAINT=1 ends it
//     kv_plain_screen --screenshot FILE.png   draws the first paint into FILE.png and ends
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStyleHints>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

#include "plain_screen_table.h"

namespace {

using plain::Control;
using plain::Kind;

QString Utf8(const char8_t* s) { return QString::fromUtf8(reinterpret_cast<const char*>(s)); }

constexpr unsigned kSsTypeMask = 0x1F, kSsCenter = 0x1, kSsRight = 0x2;
constexpr unsigned kBorder = 0x00800000, kDisabled = 0x08000000;
constexpr unsigned kEsNumber = 0x2000, kEsReadOnly = 0x0800;
constexpr unsigned kSysMenu = 0x00080000, kThickFrame = 0x00040000, kMinimizeBox = 0x00020000, kMaximizeBox = 0x00010000;

// The forms' faces at a size in pixels; where a face lacks a character, the proportional gothic
// draws it.
QFont FontOf(const char8_t* family, int pixels) {
    QFont font;  // the application's
    font.setFamilies({Utf8(family), QStringLiteral("IPAPGothic")});
    font.setPixelSize(pixels);
    font.setWeight(QFont::Normal);
    font.setItalic(false);
    font.setUnderline(false);
    font.setStrikeOut(false);
    return font;
}

QColor Rgb(int rgb) { return QColor::fromRgb(static_cast<QRgb>(rgb)); }

// A label whose wrapped text is taller than its box is drawn with its lines the character
// height apart, so that every line stays readable (faces here set lines wider apart than the
// forms were sized for).
class Label : public QLabel {
public:
    using QLabel::QLabel;

protected:
    void paintEvent(QPaintEvent* event) override {
        const QRect box = contentsRect();
        if (text().isEmpty() || heightForWidth(box.width()) <= box.height()) {
            QLabel::paintEvent(event);
            return;
        }
        QTextLayout layout(text(), font());
        QTextOption option(alignment() & Qt::AlignHorizontal_Mask);
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        std::vector<QTextLine> lines;
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(box.width());
            lines.push_back(line);
        }
        layout.endLayout();
        const QFontMetricsF metrics(font());
        qreal spacing = metrics.lineSpacing();
        if (lines.size() * spacing > box.height()) spacing = std::min<qreal>(spacing, font().pixelSize());
        QPainter painter(this);
        painter.setPen(palette().color(foregroundRole()));
        painter.setClipRect(box);
        qreal y = 0;
        for (QTextLine& line : lines) {
            line.setPosition(QPointF(0, y));
            y += spacing;
            line.draw(&painter, box.topLeft());
        }
    }
};

// The mark of the focused control: a frame two pixels wide, one pixel off the control, drawn
// over the form in the desktop's selection colour. A side that would cover a label close to the
// control lies on the control's own edge instead.
class FocusFrame : public QWidget {
public:
    explicit FocusFrame(QWidget* form) : QWidget(form) {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
        QObject::connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { Mark(now); });
    }

protected:
    void paintEvent(QPaintEvent*) override {
        if (frame_.isEmpty()) return;
        QPainter painter(this);
        const QColor colour = palette().color(QPalette::Active, QPalette::Highlight);
        const QRect r = frame_;
        painter.fillRect(QRect(r.left(), r.top(), r.width(), kWidth), colour);
        painter.fillRect(QRect(r.left(), r.bottom() - kWidth + 1, r.width(), kWidth), colour);
        painter.fillRect(QRect(r.left(), r.top() + kWidth, kWidth, r.height() - 2 * kWidth), colour);
        painter.fillRect(QRect(r.right() - kWidth + 1, r.top() + kWidth, kWidth, r.height() - 2 * kWidth), colour);
    }

private:
    static constexpr int kOut = 3, kWidth = 2;

    void Mark(QWidget* focused) {
        QWidget* control = focused;
        while (control && control->parentWidget() != parentWidget()) control = control->parentWidget();
        const QRect now = control ? FrameRect(control->geometry()) : QRect();
        update(frame_);
        update(now);
        frame_ = now;
    }

    QRect FrameRect(const QRect& c) const {
        QRect r = c.adjusted(-kOut, -kOut, kOut, kOut);
        for (const QObject* child : parentWidget()->children()) {
            const auto* label = qobject_cast<const QLabel*>(child);
            if (!label || !label->isVisibleTo(parentWidget())) continue;
            const QRect l = label->geometry();
            if (l.intersects(QRect(r.left(), c.top() - kOut, r.width(), kOut))) r.setTop(c.top());
            if (l.intersects(QRect(r.left(), c.bottom() + 1, r.width(), kOut))) r.setBottom(c.bottom());
            if (l.intersects(QRect(c.left() - kOut, r.top(), kOut, r.height()))) r.setLeft(c.left());
            if (l.intersects(QRect(c.right() + 1, r.top(), kOut, r.height()))) r.setRight(c.right());
        }
        return r;
    }

    QRect frame_;
};

// An input method closed (mode 2) for digits and coupon numbers, typed half-width.
void CloseInputMethod(QWidget* widget, bool digitsOnly) {
    widget->setAttribute(Qt::WA_InputMethodEnabled, false);
    Qt::InputMethodHints hints = Qt::ImhLatinOnly | Qt::ImhNoPredictiveText;
    if (digitsOnly) hints |= Qt::ImhDigitsOnly;
    widget->setInputMethodHints(hints);
}

QWidget* MakeControl(const Control& c, QWidget* form) {
    QWidget* widget = nullptr;
    switch (c.kind) {
        case Kind::Label: {
            auto* label = new Label(Utf8(c.text), form);
            label->setTextFormat(Qt::PlainText);
            label->setWordWrap(true);
            const unsigned type = c.style & kSsTypeMask;
            label->setAlignment((type == kSsCenter ? Qt::AlignHCenter : type == kSsRight ? Qt::AlignRight : Qt::AlignLeft) |
                                Qt::AlignTop);
            widget = label;
            break;
        }
        case Kind::Button: {
            auto* button = new QPushButton(Utf8(c.text), form);
            button->setAutoDefault(false);
            widget = button;
            break;
        }
        case Kind::Check: {
            auto* check = new QCheckBox(Utf8(c.text), form);
            check->setChecked(c.check != 0);
            widget = check;
            break;
        }
        case Kind::Edit: {
            auto* edit = new QLineEdit(Utf8(c.text), form);
            edit->setReadOnly(c.style & kEsReadOnly);
            edit->setFrame(c.style & kBorder);
            edit->setMaxLength(c.maxLength > 0 ? c.maxLength : std::numeric_limits<int>::max());
            if (c.ime == 2) CloseInputMethod(edit, c.style & kEsNumber);
            widget = edit;
            break;
        }
        case Kind::Combo: {
            auto* combo = new QComboBox(form);
            combo->setEditable(true);
            combo->setInsertPolicy(QComboBox::NoInsert);
            combo->setCompleter(nullptr);
            combo->setDuplicatesEnabled(true);
            for (const char8_t* item : c.items) combo->addItem(Utf8(item));
            combo->lineEdit()->setMaxLength(c.maxLength > 0 ? c.maxLength : std::numeric_limits<int>::max());
            combo->lineEdit()->setText(Utf8(c.text));
            if (c.ime == 2) {
                CloseInputMethod(combo, false);
                CloseInputMethod(combo->lineEdit(), false);
            }
            widget = combo;
            break;
        }
    }
    widget->setFont(FontOf(c.family, c.pixels));
    // Labels and check boxes paint their own background; boxes colour their text and field; push
    // buttons keep the desktop's colours. Disabled controls keep the desktop's grey text.
    const QPalette::ColorRole text = c.kind == Kind::Edit || c.kind == Kind::Combo ? QPalette::Text : QPalette::WindowText;
    if (c.kind != Kind::Button) {
        QPalette palette = widget->palette();
        palette.setColor(QPalette::Active, text, Rgb(c.textColour));
        palette.setColor(QPalette::Inactive, text, Rgb(c.textColour));
        if (text == QPalette::Text) {
            palette.setColor(QPalette::Base, Rgb(c.backColour));
        } else {
            palette.setColor(QPalette::Window, Rgb(c.backColour));
            widget->setAutoFillBackground(true);
        }
        widget->setPalette(palette);
    }
    if (c.kind == Kind::Combo) {
        // The control's rectangle includes its dropped-down list: the box is one line high.
        auto* combo = static_cast<QComboBox*>(widget);
        const int line = std::min(combo->sizeHint().height(), c.height);
        combo->setGeometry(c.x, c.y, c.width, line);
        combo->setMaxVisibleItems(std::max(1, (c.height - line) / (combo->fontMetrics().height() + 2)));
    } else {
        widget->setGeometry(c.x, c.y, c.width, c.height);
    }
    if (!c.enabled || (c.style & kDisabled)) widget->setEnabled(false);
    if (!c.visible) widget->hide();
    // The first control of a form lies on top of the ones made after it.
    widget->lower();
    return widget;
}

void MakeForm(QWidget& form) {
    const plain::Form& f = plain::kForm;
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (f.style & kSysMenu) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (f.style & kMinimizeBox) flags |= Qt::WindowMinimizeButtonHint;
        if (f.style & kMaximizeBox) flags |= Qt::WindowMaximizeButtonHint;
    }
    form.setWindowFlags(flags);
    form.setWindowTitle(Utf8(f.title));
    form.setFont(FontOf(f.family, f.pixels));
    QPalette palette = form.palette();
    palette.setColor(QPalette::Active, QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Inactive, QPalette::WindowText, Qt::black);
    palette.setColor(QPalette::Window, Qt::white);
    form.setPalette(palette);
    form.setAutoFillBackground(true);
    // The client area's size; centred on the desktop (placements 2 and 3) or where the form says.
    QPoint at(f.x, f.y);
    if (f.placement >= 2) {
        const QRect desk = QGuiApplication::primaryScreen()->availableGeometry();
        at = QPoint(desk.x() + (desk.width() - f.width) / 2, desk.y() + (desk.height() - f.height) / 2);
    }
    if (f.style & kThickFrame) {
        form.resize(f.width, f.height);
    } else {
        form.setFixedSize(f.width, f.height);
    }
    form.move(at);
}

// Ends the process once the first paint of a shown window is done, as kalvoro's
// KALVORO_EXIT_AFTER_FIRST_PAINT does; with a file, the window is drawn into it first.
class FirstPaintExit : public QObject {
public:
    FirstPaintExit(QObject* parent, const char* png) : QObject(parent), png_(png) {}
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !armed_) {
            auto* widget = qobject_cast<QWidget*>(watched);
            if (widget && widget->window()->isVisible()) {
                armed_ = true;
                QTimer::singleShot(0, [window = QPointer<QWidget>(widget->window()), png = png_] {
                    if (png && (!window || !window->grab().save(QString::fromLocal8Bit(png), "PNG"))) {
                        std::fprintf(stderr, "kv_plain_screen: cannot write the first paint to %s\n", png);
                        std::_Exit(1);
                    }
                    std::_Exit(0);
                });
            }
        }
        return false;
    }

private:
    const char* png_;
    bool armed_ = false;
};

}  // namespace

int main(int argc, char** argv) {
    const char* png = nullptr;
    if (argc == 3 && std::strcmp(argv[1], "--screenshot") == 0) {
        png = argv[2];
    } else if (argc != 1) {
        std::fprintf(stderr, "usage: kv_plain_screen [--screenshot FILE.png]\n");
        return 2;
    }
    QApplication app(argc, argv);
    if (png || std::getenv("KALVORO_EXIT_AFTER_FIRST_PAINT")) {
        // The caret stays on in the picture, as it is at the first paint.
        if (png) QGuiApplication::styleHints()->setCursorFlashTime(0);
        app.installEventFilter(new FirstPaintExit(&app, png));
    }
    // Every widget lays its text out in the application's font as it is made: the forms' face.
    QFont base = QApplication::font();
    base.setFamilies({QStringLiteral("IPAPGothic")});
    QApplication::setFont(base);

    QWidget form;
    MakeForm(form);
    QWidget* focus = nullptr;
    for (const Control& c : plain::kControls) {
        QWidget* widget = MakeControl(c, &form);
        // The form opens with the focus in its first visible edit or combo box that is a tab stop.
        constexpr unsigned kTabStop = 0x00010000;
        if (!focus && (c.kind == Kind::Edit || c.kind == Kind::Combo) && c.visible && c.enabled && (c.style & kTabStop))
            focus = widget;
    }
    auto* frame = new FocusFrame(&form);
    frame->setGeometry(form.rect());
    if (focus) focus->setFocus();
    form.show();
    form.activateWindow();
    return app.exec();
}
