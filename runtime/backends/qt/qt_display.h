#pragma once
// Which of Qt's platforms shows the windows, decided before a QApplication is made. Qt ends the
// process when the platform it tries finds no display, and left to itself on a Wayland desktop it
// may run natively there, where a window cannot place itself: the forms would not open centred,
// the main window would move when it is redrawn and message boxes would open away from their
// owner. Through the desktop's X server the forms are placed as the program places them.
//
//   const DisplayChoice choice = ChooseDisplay(ProbeDisplay());
#include <string>

namespace rt::qt {

// What the choice rests on: the session's variables and what answers behind them.
struct DisplayFacts {
    std::string chosenPlatform;   // QT_QPA_PLATFORM: the user's own choice, taken as it is
    std::string x;                // DISPLAY
    std::string wayland;          // WAYLAND_DISPLAY
    bool xAnswers = false;        // the X server accepts a connection
    bool waylandAnswers = false;  // a compositor accepts one on the Wayland socket
    bool xcbPlugin = false;       // Qt's platform plugin for X is installed
    bool waylandPlugin = false;   // and the one for Wayland
};

struct DisplayChoice {
    std::string platform;  // the Qt platform to use; empty when no display can be used
    std::string why;       // then one sentence saying why
};

// X whenever it answers and Qt can use it, native Wayland only without it.
DisplayChoice ChooseDisplay(const DisplayFacts& facts);

// Reads the variables and asks the displays named there whether they answer; looks for the
// plugins without loading them. Cheap: a connection made and closed at most per display.
DisplayFacts ProbeDisplay();

}  // namespace rt::qt
