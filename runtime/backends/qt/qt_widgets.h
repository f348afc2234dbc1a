#pragma once
// The Qt widgets behind the standard controls, where a plain Qt widget behaves differently from
// the control the program was written for. Each reports the user's actions through a callback;
// QtPlatform turns them into EventSink calls.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QTextLayout>
#include <QListWidget>
#include <QPointer>
#include <QRadioButton>
#include <QScrollBar>
#include <QStyle>
#include <QValidator>
#include <QWidget>

#include <functional>
#include <optional>
#include <vector>

#include "runtime/backends/platform.h"
#include "runtime/backends/qt/qt_text.h"

namespace rt::qt {

// A top-level form. Its close box only asks: the window layer decides whether it closes.
class FormWidget : public QWidget {
public:
    explicit FormWidget(QWidget* owner);
    std::function<void()> onCloseRequest;
    std::function<void()> onResized;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
};

// Check boxes and option buttons of the "auto" styles change their own state when clicked;
// the others only report the click. An auto option button that is clicked becomes checked
// (never unchecked); unchecking the rest of its group is QtPlatform's job, which knows the
// groups. Arrow keys do nothing on buttons, as on the original's forms, which had no dialog
// navigation.
class CheckButton : public QCheckBox {
public:
    CheckButton(QWidget* parent, bool autoToggle) : QCheckBox(parent), autoToggle_(autoToggle) {}

protected:
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool autoToggle_;
};

class OptionButton : public QRadioButton {
public:
    OptionButton(QWidget* parent, bool autoToggle);

protected:
    void nextCheckState() override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool autoToggle_;
};

// A list box reports a selection by the mouse when the button is released over an item, even
// when the item was already selected (the title list opens a title on every click); one moved
// by the keys, or by a screen reader, as it happens, as a move only: Enter or Space opens the
// line (the window layer's keys).
class ListWidget : public QListWidget {
public:
    explicit ListWidget(QWidget* parent);
    std::function<void()> onUserSelChange;
    std::function<void()> onSelMoved;
    std::function<void()> onDoubleClick;
    void SetTopRow(int row);
    int TopRow() const;

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

private:
    void SelectionChanged();
    // Tells a screen reader the line with the caret as the focused one.
    void AnnounceCurrent();
    bool pressing_ = false;
    bool changedWhilePressing_ = false;
};

// A label's wrapped text, laid out line by line. The program sizes its labels for faces whose
// lines are exactly the character height apart; the faces here add a little more, which can
// push the last line of a full label out of its box. Such a text is set at the character
// height instead, so that every line of it stays readable.
struct WrappedText {
    std::vector<QTextLine> lines;
    qreal spacing = 0;
};
WrappedText LayOutWrapped(QTextLayout& layout, const QFont& font, Qt::Alignment alignment, qreal width, qreal height);

class LabelWidget : public QLabel {
public:
    explicit LabelWidget(QWidget* parent) : QLabel(parent) {}

protected:
    void paintEvent(QPaintEvent* event) override;
};

class ComboWidget : public QComboBox {
public:
    explicit ComboWidget(QWidget* parent);
    std::function<void()> onDropDown;
    void showPopup() override;
};

// A scroll bar whose thumb stays where the program put it: every user action is reported and
// undone; the window layer answers with SetScrollPos. While the thumb is dragged it follows the
// mouse, as the original's did. Its keys are the desktop sliders' (ScrollBarKey), not Qt's
// scroll bar's, which turns a horizontal bar's arrows round and has no Home and End.
class ScrollBarWidget : public QScrollBar {
public:
    ScrollBarWidget(Qt::Orientation orientation, QWidget* parent);
    std::function<void(ScrollAction, int)> onAction;
    // The position the program set; the only one the bar keeps.
    void SetStoredPosition(int pos);
    int StoredPosition() const { return stored_; }
    void SetStoredRange(int min, int max);
    // Where an arrow, the trough or the thumb is drawn (for tests that click them).
    QRect SubControlRect(QStyle::SubControl control) const;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void Action(int action);
    int stored_ = 0;
    bool releasing_ = false;
};

// Limits on what a user may type into an edit box or the edit field of a combo box. The limit
// counts Shift-JIS bytes, as the original's ANSI edit boxes did; 0 means none.
struct InputRules {
    int maxBytes = 0;
    bool digitsOnly = false;
};

struct AcceptedInput {
    QString text;
    int insertEnd = 0;  // where the caret goes: after what was inserted
};

// The text of a box after the user changed `before` into `after`, as the box accepts it: the
// characters of an insertion that code page 932 cannot hold, and the non-digits in a
// digits-only box, are dropped; what is left is cut short where the limit is reached (never
// inside a character). An insertion of which nothing is left is refused (nullopt) and leaves
// the box as it was, selection and all. Deleting is always accepted.
std::optional<AcceptedInput> AcceptInput(const QString& before, const QString& after, const InputRules& rules,
                                         LineEnds ends = LineEnds::AsIs);

// InputRules on a QLineEdit. Texts the program sets are not checked (the original's limit only
// applied to typing either); `programChanging` tells when the program is setting a text.
class SjisInputValidator : public QValidator {
public:
    SjisInputValidator(QObject* parent, std::function<bool()> programChanging);
    InputRules rules;
    // The text as it stood before the change being validated (QLineEdit has already changed
    // its own text when it asks).
    void Remember(const QString& text) { before_ = text; }
    State validate(QString& input, int& pos) const override;

private:
    std::function<bool()> programChanging_;
    QString before_;
};

}  // namespace rt::qt
