#pragma once
// The user's own folders for what the program keeps between runs, as the XDG base directories
// name them: state (the error record, the recovery file) and configuration (the remembered
// folder). Empty when neither the variable nor HOME gives one.
#include <string>

namespace rt {

// $XDG_STATE_HOME, or ~/.local/state.
std::string StateFolder();
// $XDG_CONFIG_HOME, or ~/.config.
std::string ConfigFolder();

}  // namespace rt
