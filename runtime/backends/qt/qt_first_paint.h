#pragma once
// For the start-up benchmark: with KALVORO_EXIT_AFTER_FIRST_PAINT set, the process ends as soon
// as its first window has been painted, so the time to the first paint can be taken from outside.

namespace rt {

void InstallFirstPaintExit();

}  // namespace rt
