#pragma once
// What a screen reader announces for the program's controls, once one listens
// (QtPlatform::NameByCaptions): buttons, check boxes and option buttons by their own caption;
// edit, list and combo boxes and scroll bars by the label that is their caption on the form;
// a label showing a figure by its caption and the figure, so that a total is never heard bare.
#include <QAccessible>

#include <QString>

#include <functional>

namespace rt::qt {

// A caption as a screen reader should say it: without the arrows and blanks around it
// ("←　割引券番号登録" is 割引券番号登録) and the blanks that space out its characters
// ("終　　　了" is 終了); a blank between two words of Latin letters, digits or signs stays
// one blank ("157 dpi (A4なら約…)").
QString SpokenCaption(const QString& caption);
// A button's caption as shown: a single '&' marks a mnemonic and is not shown, "&&" is one '&'.
QString WithoutMnemonic(const QString& caption);
// Whether a label shows a figure (an amount, a count): digits, half or full width, with the
// signs, separators, blanks and yen marks the forms write around them.
bool ShowsFigure(const QString& text);

// Makes the program's combo boxes announce their caption as their name. Qt's own interface
// names an editable combo box by its text on Linux and leaves the caption to a relation, which
// the program's labels do not have. Only a factory is installed: nothing is made until a screen
// reader (or a test) asks.
void InstallAccessibleInterfaces();

// Has a listening screen reader say `text` once, without moving the focus, after announcing the
// focused control of `form` again (with no text, only that): at once when the form is the
// active window, else when it next becomes it.
void SpeakToScreenReader(QWidget* form, const QString& text);

// The accessible interface of SpeakToScreenReader's marker, for the factory that
// InstallAccessibleInterfaces installs; null for any other object.
QAccessibleInterface* MakeMarkerInterface(QObject* object);

// Tells `changed` when a screen reader starts or stops listening: the platform's bridge turns
// accessibility on then (on X, AT-SPI), or a test does. Removed again when destroyed.
class AccessibilityWatch : public QAccessible::ActivationObserver {
public:
    explicit AccessibilityWatch(std::function<void(bool)> changed);
    ~AccessibilityWatch() override;
    AccessibilityWatch(const AccessibilityWatch&) = delete;
    AccessibilityWatch& operator=(const AccessibilityWatch&) = delete;
    void accessibilityActiveChanged(bool active) override { changed_(active); }

private:
    std::function<void(bool)> changed_;
};

}  // namespace rt::qt
