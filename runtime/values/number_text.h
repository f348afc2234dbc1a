#pragma once
// Numbers to text and back, exactly as the program's amounts and files rely on: the first
// character is always the sign position, and rounding is decided on the exact decimal value.
#include "runtime/values/text.h"

Text NumberToText(Int16 value);
Text NumberToText(Int32 value);
Text NumberToText(Single value);
Text NumberToText(Double value);
inline Text NumberToText(int16_t value) { return NumberToText(static_cast<Int32>(value)); }

// Leading blanks skipped; a text that does not start like a number gives 0; a value too large
// for a Double raises error 6.
double TextToNumber(const Text& s, Here here = Here::current());
