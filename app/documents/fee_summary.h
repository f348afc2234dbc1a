#pragma once
// The fee summary, the estimate the customer prints or saves: the comics' and photo books'
// subtotals, the discounts, the fees that make up the subtotal, then the totals with the
// formulas that connect the circled figures of the main screen.
#include "runtime/values/text.h"

// The return shipping as the estimate words it: the amount, or why the customer pays none. The
// shop bears it when enough titles are given to it; otherwise it is sent carriage forward.
Text EstimateShippingText();

// The summary's 15 lines, each ending CR LF, from the order totals as the main screen's refresh
// left them; nothing is computed again. DOC_LINE is used as the alignment buffer.
Text 見積書_SUB();
