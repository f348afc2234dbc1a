#pragma once
// The work-fee details: the statement shown after the order's data file is written, one block
// per book kind that has titles, each title on a line with its course, every fee that makes up
// its total and the compensation it earns, then the kind's subtotal.
#include "runtime/values/text.h"

// The name of a kind as the documents write it. The photo books are "写真・資料集等" here,
// shorter than on the screens; the shop's forms have always read so.
Text DocumentKindName(int kind);

// The whole text of the details, every line ending CR LF; empty for an order without titles.
//
// Every title is priced again from its stored choices (RepriceCurrentTitle) and every kind's
// subtotal formed again (小合計_SUB), so TITLE_TOTAL and KIND_SUBTOTAL are current afterwards.
// CUR_KIND and CUR_TITLE are the loop counters, as the per-title routines read them: CUR_KIND is
// left at 5 and CUR_TITLE at the title count of the last kind that has titles. DOC_LINE is used
// as the alignment buffer.
Text 作業代明細_SUB();
