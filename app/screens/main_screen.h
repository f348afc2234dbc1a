#pragma once
// The main screen's own event routines.
#include "runtime/window.h"

// "終　　　了": ends the program at once; nothing is saved.
void BUTTON1_ON(Obj& form);
