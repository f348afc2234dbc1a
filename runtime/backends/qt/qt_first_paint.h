#pragma once
// For the start-up benchmark: with KALVORO_EXIT_AFTER_FIRST_PAINT set, the process ends as soon
// as its first window has been painted, so the time to the first paint can be taken from outside.
// With KALVORO_FIRST_PAINT_PNG=FILE it also draws that window into FILE first, as it was painted:
// the start-up yardstick (bench/startup) is checked against it pixel by pixel.

namespace rt {

void InstallFirstPaintExit();

}  // namespace rt
