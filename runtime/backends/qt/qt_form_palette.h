#pragma once
// The one light palette the controls on the program's forms are drawn in, whatever colour scheme
// the desktop gives Qt programs.
#include <QPalette>

namespace rt::qt {

// Every role of every group set, so that nothing of a dark desktop palette shows through; the
// desktop's own windows (message boxes, file and print dialogs, menus) keep the desktop's.
const QPalette& FormPalette();

}  // namespace rt::qt
