// The Qt widgets that behave as the standard controls do: forms whose close box only asks, buttons,
// lists and scroll bars that report the user's actions, labels whose wrapped lines stay in their
// box, and the byte limits of typing.
#include "runtime/backends/qt/qt_widgets.h"

#include <QAccessible>
#include <QCloseEvent>
#include <QTimer>
#include <QResizeEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionSlider>

#include <algorithm>

#include "runtime/backends/control_keys.h"

namespace rt::qt {
namespace {

bool IsArrow(int key) {
    return key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down;
}

}  // namespace

FormWidget::FormWidget(QWidget* owner) : QWidget(owner, Qt::Window) {}

void FormWidget::closeEvent(QCloseEvent* event) {
    event->ignore();
    if (onCloseRequest) onCloseRequest();
}

void FormWidget::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (onResized) onResized();
}

void CheckButton::nextCheckState() {
    if (autoToggle_) QCheckBox::nextCheckState();
}

void CheckButton::keyPressEvent(QKeyEvent* event) {
    if (IsArrow(event->key())) {
        event->ignore();
        return;
    }
    QCheckBox::keyPressEvent(event);
}

OptionButton::OptionButton(QWidget* parent, bool autoToggle) : QRadioButton(parent), autoToggle_(autoToggle) {
    // Auto-exclusive, so that a screen reader hears a radio button (Qt announces a checkable
    // button that is not as a check box). QtPlatform puts every option button into a
    // non-exclusive button group at once, whose rule then counts instead of Qt's own: the
    // program may uncheck every button of a group, and OptionClicked unchecks the others.
    setAutoExclusive(true);
}

void OptionButton::nextCheckState() {
    if (autoToggle_) setChecked(true);
}

void OptionButton::keyPressEvent(QKeyEvent* event) {
    if (IsArrow(event->key())) {
        event->ignore();
        return;
    }
    QRadioButton::keyPressEvent(event);
}

ListWidget::ListWidget(QWidget* parent) : QListWidget(parent) {
    setSelectionMode(QAbstractItemView::SingleSelection);
    // One scroll step per item, so that the scroll position is the top item's index.
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setUniformItemSizes(true);
    connect(this, &QListWidget::itemSelectionChanged, this, [this] { SelectionChanged(); });
}

void ListWidget::SetTopRow(int row) {
    if (row < 0 || row >= count()) return;
    scrollToItem(item(row), QAbstractItemView::PositionAtTop);
}

int ListWidget::TopRow() const {
    if (count() == 0) return 0;
    return std::clamp(verticalScrollBar()->value(), 0, count() - 1);
}

void ListWidget::SelectionChanged() {
    if (pressing_) return;  // reported when the button is released
    if (onSelMoved) onSelMoved();
}

void ListWidget::mousePressEvent(QMouseEvent* event) {
    // Only the left button selects, as in the original's list boxes.
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    pressing_ = true;
    QListWidget::mousePressEvent(event);
}

void ListWidget::mouseReleaseEvent(QMouseEvent* event) {
    QListWidget::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton || !pressing_) return;
    pressing_ = false;
    // Reported for every click, also on the item that was already selected.
    if (count() > 0 && onUserSelChange) onUserSelChange();
}

void ListWidget::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        event->accept();
        return;
    }
    const bool onItem = indexAt(event->position().toPoint()).isValid();
    QListWidget::mouseDoubleClickEvent(event);
    if (onItem && onDoubleClick) onDoubleClick();
}

void ListWidget::keyPressEvent(QKeyEvent* event) {
    // With nothing selected the first arrow chooses the line with the caret (the first, once
    // the keyboard brought the focus), rather than the one after it: no line is skipped.
    const bool arrow = event->key() == Qt::Key_Down || event->key() == Qt::Key_Up;
    if (arrow && selectionMode() == SingleSelection && selectedItems().isEmpty() && count() > 0 &&
        event->modifiers() == Qt::NoModifier) {
        setCurrentRow(std::max(currentRow(), 0), QItemSelectionModel::ClearAndSelect);
        AnnounceCurrent();  // the caret did not move, so Qt tells nothing
        event->accept();
        return;
    }
    QListWidget::keyPressEvent(event);
}

void ListWidget::focusInEvent(QFocusEvent* event) {
    QListWidget::focusInEvent(event);
    // The caret is on a line whenever the list has lines (Qt leaves it nowhere once the program
    // has cleared the selection), and that line is announced with the list, not "a list of n
    // items" alone: Enter opens it. A click chooses its own line, as before.
    if (count() > 0 && currentRow() < 0 && event->reason() != Qt::MouseFocusReason)
        setCurrentRow(0, QItemSelectionModel::NoUpdate);
    // After the list's own focus event, which would otherwise be the last word.
    QTimer::singleShot(0, this, [this] {
        if (hasFocus()) AnnounceCurrent();
    });
}

void ListWidget::AnnounceCurrent() {
    if (!QAccessible::isActive() || currentRow() < 0) return;
    QAccessibleEvent focus(this, QAccessible::Focus);
    focus.setChild(currentRow());
    QAccessible::updateAccessibility(&focus);
}

ComboWidget::ComboWidget(QWidget* parent) : QComboBox(parent) {
    setEditable(true);
    // The list holds what the program put there; Enter in the edit field adds nothing and no
    // completion runs while typing.
    setInsertPolicy(QComboBox::NoInsert);
    setCompleter(nullptr);
    setDuplicatesEnabled(true);
    // Qt makes the first line added to an empty list the current one, which puts its text into
    // the edit field until ListAdd takes it out again: a screen reader hears it typed there.
    // With a placeholder text Qt leaves the choice alone; an editable box never paints it.
    setPlaceholderText(QStringLiteral(" "));
}

void ComboWidget::showPopup() {
    if (onDropDown) onDropDown();
    QComboBox::showPopup();
}

ScrollBarWidget::ScrollBarWidget(Qt::Orientation orientation, QWidget* parent) : QScrollBar(orientation, parent) {
    setTracking(false);
    setContextMenuPolicy(Qt::NoContextMenu);
    // The original's thumb had one size whatever the range.
    setPageStep(0);
    connect(this, &QAbstractSlider::actionTriggered, this, [this](int action) { Action(action); });
    connect(this, &QAbstractSlider::sliderMoved, this, [this](int pos) {
        if (onAction) onAction(ScrollAction::ThumbTrack, pos);
    });
    connect(this, &QAbstractSlider::sliderReleased, this, [this] {
        if (onAction) onAction(ScrollAction::ThumbPosition, sliderPosition());
    });
}

void ScrollBarWidget::SetStoredPosition(int pos) {
    stored_ = std::clamp(pos, minimum(), maximum());
    // While the thumb is dragged it stays under the mouse.
    if (!isSliderDown()) setValue(stored_);
}

void ScrollBarWidget::SetStoredRange(int min, int max) {
    setRange(min, std::max(min, max));
    SetStoredPosition(stored_);
}

void ScrollBarWidget::Action(int action) {
    std::optional<ScrollAction> reported;
    switch (action) {
        case SliderSingleStepSub: reported = ScrollAction::LineLeft; break;
        case SliderSingleStepAdd: reported = ScrollAction::LineRight; break;
        case SliderPageStepSub: reported = ScrollAction::PageLeft; break;
        case SliderPageStepAdd: reported = ScrollAction::PageRight; break;
        default: break;  // the wheel, or the end of a drag the program did not follow
    }
    // Undo Qt's own move before reporting: the window layer moves the thumb with SetScrollPos.
    setSliderPosition(stored_);
    if (reported && onAction) onAction(*reported, stored_);
}

void ScrollBarWidget::keyPressEvent(QKeyEvent* event) {
    std::optional<Key> key;
    switch (event->key()) {
        case Qt::Key_Left: key = Key::Left; break;
        case Qt::Key_Right: key = Key::Right; break;
        case Qt::Key_Up: key = Key::Up; break;
        case Qt::Key_Down: key = Key::Down; break;
        case Qt::Key_PageUp: key = Key::PageUp; break;
        case Qt::Key_PageDown: key = Key::PageDown; break;
        case Qt::Key_Home: key = Key::Home; break;
        case Qt::Key_End: key = Key::End; break;
        default: break;
    }
    const auto move = key ? ScrollBarKey(*key, orientation() == Qt::Horizontal, minimum(), maximum()) : std::nullopt;
    if (!move || (event->modifiers() & (Qt::AltModifier | Qt::ControlModifier | Qt::MetaModifier))) {
        QScrollBar::keyPressEvent(event);
        return;
    }
    event->accept();
    if (onAction) onAction(move->action, move->pos);
}

void ScrollBarWidget::mouseReleaseEvent(QMouseEvent* event) {
    QScrollBar::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton) return;
    setValue(stored_);
    if (onAction) onAction(ScrollAction::EndScroll, stored_);
}

QRect ScrollBarWidget::SubControlRect(QStyle::SubControl control) const {
    QStyleOptionSlider option;
    initStyleOption(&option);
    return style()->subControlRect(QStyle::CC_ScrollBar, &option, control, this);
}

std::optional<AcceptedInput> AcceptInput(const QString& before, const QString& after, const InputRules& rules,
                                         LineEnds ends) {
    const qsizetype shorter = std::min(before.size(), after.size());
    qsizetype prefix = 0;
    while (prefix < shorter && before.at(prefix) == after.at(prefix)) ++prefix;
    qsizetype suffix = 0;
    while (suffix < shorter - prefix &&
           before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix)) {
        ++suffix;
    }
    // Never split a surrogate pair between the kept and the inserted part.
    if (prefix > 0 && after.at(prefix - 1).isHighSurrogate()) --prefix;
    if (suffix > 0 && after.at(after.size() - suffix).isLowSurrogate()) --suffix;
    const QString offered = after.mid(prefix, after.size() - prefix - suffix);
    if (offered.isEmpty()) return AcceptedInput{after, static_cast<int>(prefix)};

    // A paste keeps what could have been typed, character by character.
    QString inserted;
    for (char32_t c : offered.toUcs4()) {
        const bool lineBreak = c == u'\n' && ends == LineEnds::CrLf;
        if (!lineBreak && !SjisRepresentable(c == 0x00A5 ? u'\\' : c)) continue;
        if (rules.digitsOnly && !lineBreak && !(c >= u'0' && c <= u'9')) continue;
        inserted += QString::fromUcs4(&c, 1);
    }
    if (inserted.isEmpty()) return std::nullopt;
    if (rules.maxBytes > 0) {
        const int kept = SjisLength(after.left(prefix), ends) + SjisLength(after.right(suffix), ends);
        const int room = rules.maxBytes - kept;
        if (SjisLength(inserted, ends) > room) {
            const int fits = IndexOfSjisOffset(inserted, std::max(room, 0), ends);
            // IndexOfSjisOffset rounds up to a whole character; step back if that overflows.
            int cut = fits;
            while (cut > 0 && SjisOffsetOf(inserted, cut, ends) > room) --cut;
            if (cut > 0 && inserted.at(cut - 1).isHighSurrogate()) --cut;
            if (cut == 0) return std::nullopt;
            inserted.truncate(cut);
        }
    }
    QString text = after.left(prefix) + inserted + after.right(suffix);
    return AcceptedInput{text, static_cast<int>(prefix + inserted.size())};
}

SjisInputValidator::SjisInputValidator(QObject* parent, std::function<bool()> programChanging)
    : QValidator(parent), programChanging_(std::move(programChanging)) {}

QValidator::State SjisInputValidator::validate(QString& input, int& pos) const {
    if (programChanging_ && programChanging_()) return Acceptable;
    if (input == before_) return Acceptable;
    const auto accepted = AcceptInput(before_, input, rules);
    if (!accepted) return Invalid;
    if (accepted->text != input) {
        input = accepted->text;
        pos = accepted->insertEnd;
    }
    return Acceptable;
}


WrappedText LayOutWrapped(QTextLayout& layout, const QFont& font, Qt::Alignment alignment, qreal width, qreal height) {
    QTextOption option(alignment & Qt::AlignHorizontal_Mask);
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setFont(font);
    layout.setTextOption(option);
    WrappedText wrapped;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        wrapped.lines.push_back(line);
    }
    layout.endLayout();
    const QFontMetricsF metrics(font);
    wrapped.spacing = metrics.lineSpacing();
    const qreal characterHeight = font.pixelSize() > 0 ? font.pixelSize() : metrics.height();
    if (wrapped.lines.size() * wrapped.spacing > height) wrapped.spacing = std::min(wrapped.spacing, characterHeight);
    qreal y = 0;
    for (QTextLine& line : wrapped.lines) {
        line.setPosition(QPointF(0, y));
        y += wrapped.spacing;
    }
    return wrapped;
}

void LabelWidget::paintEvent(QPaintEvent* event) {
    const QRect box = contentsRect();
    if (!wordWrap() || text().isEmpty() || heightForWidth(box.width()) <= box.height()) {
        QLabel::paintEvent(event);
        return;
    }
    QTextLayout layout(text());
    const WrappedText wrapped = LayOutWrapped(layout, font(), alignment(), box.width(), box.height());
    QPainter painter(this);
    painter.setPen(palette().color(foregroundRole()));
    painter.setClipRect(box);
    // The lines' own ascent places the first baseline; the rest follow at the set spacing.
    for (const QTextLine& line : wrapped.lines) line.draw(&painter, box.topLeft());
}

}  // namespace rt::qt
