#pragma once
// The user's own folders for what the program keeps between runs: state (the error record on
// POSIX, the recovery files) and configuration (the remembered folder). On POSIX as the XDG base
// directories name them; on Windows both are the local application data folder, where the
// program's own folder is "kalvoro". Empty when the system names none.
#include <string>

namespace rt {

// $XDG_STATE_HOME, or ~/.local/state; on Windows %LOCALAPPDATA%.
std::string StateFolder();
// $XDG_CONFIG_HOME, or ~/.config; on Windows %LOCALAPPDATA%.
std::string ConfigFolder();

}  // namespace rt
