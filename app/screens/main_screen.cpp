#include "app/screens/main_screen.h"

void BUTTON1_ON(Obj&) { EndProgram(0); }
