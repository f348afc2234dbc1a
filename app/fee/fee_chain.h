#pragma once
// The main screen's refresh: every order total recomputed from the stored title totals and
// kind subtotals, and every figure of MAINFORM written again. Runs on every return to the main
// screen, after an order is loaded and when the special-discount box changes.

// Leaves MAINFORM shown and FORM2 hidden.
void 総合画面_SETSUB();
