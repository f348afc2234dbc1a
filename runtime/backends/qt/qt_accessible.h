#pragma once
// What a screen reader announces for the program's controls. Buttons, check boxes and option
// buttons are announced by their own caption (Qt's own interfaces, the '&' of a mnemonic left
// out); edit, list and combo boxes and scroll bars by the label that is their caption on the
// form (QtPlatform::NameByCaptions), once a screen reader listens.
#include <QAccessible>

#include <functional>

namespace rt::qt {

// Makes the program's combo boxes announce their caption as their name. Qt's own interface
// names an editable combo box by its text on Linux and leaves the caption to a relation, which
// the program's labels do not have. Only a factory is installed: nothing is made until a screen
// reader (or a test) asks.
void InstallAccessibleInterfaces();

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
