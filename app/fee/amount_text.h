#pragma once
// The shapes every amount and every column takes on screens and in documents. Texts are
// Shift-JIS bytes: a half-width character is one byte, a full-width character two.
#include "runtime/values/text.h"
#include "runtime/values/values.h"

// Replaces s, an unsigned number text, by its full-width form grouped by three from the right
// with half-width commas. The grouping counts characters, not digits: "12.5" becomes "１,２．５".
void 全角数字化_SUB(Text& s);

// Pads DOC_LINE(1..n) to the width of the widest of them, in bytes, and sets DOC_LINE(0) to
// that many blanks. mode 0 aligns left, 1 centres (the smaller half of the slack on the left),
// any other value aligns right. Lines are never cut; with n ≤ 0 or only empty lines nothing
// changes, DOC_LINE(0) included.
void 文字列整理_SUB(Int16& mode, Int16& n);

// The unsigned number text of an amount: the runtime's number text without its sign position,
// except that an amount of a million yen or more keeps every digit of its whole yen instead of
// switching to exponent notation ("1234567", not "1.23457E+06"). Below a million the two are
// the same, fractions included ("12.5").
Text AmountDigits(Single amount);

// A whole number (a count, a resolution, a line number) without the sign position: "156".
Text IntegerDigits(Int32 value);

// The same with the sign position kept: " 1234567" or "-1234567".
Text SignedAmountText(Single amount);

// AmountDigits passed through 全角数字化_SUB: "２２,４００".
Text FullWidthAmount(Single amount);

// The two ways an amount is written with its unit: "２２,４００円" and "22400円".
Text FullWidthYen(Single amount);
Text PlainYen(Single amount);
