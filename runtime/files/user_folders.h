#pragma once
// The user's own folders for what the program keeps between runs: state (the error record on
// POSIX, the recovery files) and configuration (the remembered folder). On POSIX as the XDG base
// directories name them; on Windows both are the local application data folder. In either, the
// program keeps its files in a folder of its own, named as the system's programs name theirs.
// Empty when the system names none.
#include <string>

namespace rt {

// $XDG_STATE_HOME, or ~/.local/state; on Windows %LOCALAPPDATA%.
std::string StateFolder();
// $XDG_CONFIG_HOME, or ~/.config; on Windows %LOCALAPPDATA%.
std::string ConfigFolder();

// The name of the program's own folder in those: "kalvoro" on POSIX, "Kalvoro" on Windows.
const char* OwnFolderName();

}  // namespace rt
