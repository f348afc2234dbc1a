#pragma once
// What a screen reader announces for the program's controls. Buttons, check boxes and option
// buttons are announced by their own caption (Qt's own interfaces, the '&' of a mnemonic left
// out); edit, list and combo boxes and scroll bars by the label that is their caption on the
// form (QtPlatform::NameByCaptions).
namespace rt::qt {

// Makes the program's combo boxes announce their caption as their name. Qt's own interface
// names an editable combo box by its text on Linux and leaves the caption to a relation, which
// the program's labels do not have. Only a factory is installed: nothing is made until a screen
// reader (or a test) asks.
void InstallAccessibleInterfaces();

}  // namespace rt::qt
