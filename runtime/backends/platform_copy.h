#pragma once
// Builds on another back end the windows of a headless run as they stand: every window with its
// text, place, font, colours, state, items and limits. This is how a scripted run is drawn by
// the real window system (screenshots) without simulating its input there.
#include <map>

#include "runtime/backends/headless.h"

namespace rt {

// Returns the handle on `to` of every window of `from`.
std::map<WinHandle, WinHandle> CopyWindows(const HeadlessPlatform& from, Platform& to);

}  // namespace rt
