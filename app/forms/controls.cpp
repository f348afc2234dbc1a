// The object variables of the five forms and their controls, and the loading of the forms with
// every control bound to its variable.
#include "app/forms/controls.h"

Obj MAINFORM, FORM2, FORM3, FORM4, FORM5;
#define KALVORO_DEFINE_CONTROL(form, control) Obj control;
KALVORO_CONTROLS(KALVORO_DEFINE_CONTROL)
#undef KALVORO_DEFINE_CONTROL

void フォーム読込_SUB() {
    ControlBind(MAINFORM, FormControl(Obj{kMainWindow}, "MAINFORM"));
    FormLoad(FORM2, "FORM2", 0);
    FormLoad(FORM3, "FORM3", 0);
    FormLoad(FORM4, "FORM4", 0);
    FormLoad(FORM5, "FORM5", 0);
#define KALVORO_BIND_CONTROL(form, control) ControlBind(control, FormControl(form, #control));
    KALVORO_CONTROLS(KALVORO_BIND_CONTROL)
#undef KALVORO_BIND_CONTROL
}
