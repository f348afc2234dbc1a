#pragma once
// The numeric types of the program and their conversion rules. Amounts are Single; flags,
// counts, page counts and resolutions are Int16, whose every store rounds ties-to-even.
#include <cfenv>
#include <cstdint>
#include <type_traits>

#include "runtime/values/error.h"

using Int32 = int32_t;
using Single = float;
using Double = double;

// A floating value used where an integer is required (indices, positions, counts, codes):
// half away from zero, 2.5 → 3 and −2.5 → −3. Outside Int32 → error 6.
Int32 RoundToInteger(double value, Here here = Here::current());
// The same rule where an Int16 is required.
int16_t RoundToInt16(double value, Here here = Here::current());

// Storing into an Int16: nearest, ties to even (2.5 → 2, 3.5 → 4); outside −32768..32767 → 6.
int16_t StoreInt16(double value, Here here = Here::current());

// a \ b: both operands by RoundToInteger, quotient truncated toward zero; zero divisor → 11.
Int32 IntDiv(double a, double b, Here here = Here::current());

// The largest integer not greater than the value.
double FloorValue(double value);

// Storing a floating result into a Single: checks the processor's exception flags of the
// operations that produced it (invalid → 5, division by zero → 11, overflow → 6).
Single StoreSingle(double value, Here here = Here::current());

// Raises the error for any floating exception flag set since the last check, then clears them.
void CheckFloatFlags(Here here = Here::current());

// Puts the floating exception flags back as they were when it was made: around work whose flags
// are not the program's arithmetic (a window system's event loop, a number refused while a file
// is read), which the next CheckFloatFlags would otherwise take for an error of its own.
// The flags are kept as the set that was raised and raised again, not through fesetexceptflag:
// one C library for Windows writes that function's flags over the exception masks too, and the
// next inexact result would then stop the program.
class KeepFloatFlags {
public:
    KeepFloatFlags() : saved_(std::fetestexcept(FE_ALL_EXCEPT)) {}
    ~KeepFloatFlags() {
        std::feclearexcept(FE_ALL_EXCEPT);
        if (saved_) std::feraiseexcept(saved_);
    }
    KeepFloatFlags(const KeepFloatFlags&) = delete;
    KeepFloatFlags& operator=(const KeepFloatFlags&) = delete;

private:
    int saved_;
};

// A signed 16-bit variable. Every assignment goes through StoreInt16, so a floating expression
// such as a price factor times a resolution is rounded exactly as the program's numbers require.
class Int16 {
public:
    Int16() = default;
    template <class T, std::enable_if_t<std::is_arithmetic_v<T>, int> = 0>
    Int16(T value, Here here = Here::current())  // NOLINT(google-explicit-constructor)
        : value_(Convert(value, here)) {}

    operator int() const { return value_; }  // NOLINT(google-explicit-constructor)
    int16_t raw() const { return value_; }

    Int16& operator++() { return *this = Int16(value_ + 1); }
    Int16& operator--() { return *this = Int16(value_ - 1); }
    Int16& operator+=(double d) { return *this = Int16(value_ + d); }
    Int16& operator-=(double d) { return *this = Int16(value_ - d); }

private:
    template <class T>
    static int16_t Convert(T value, Here here) {
        if constexpr (std::is_floating_point_v<T>) {
            return StoreInt16(static_cast<double>(value), here);
        } else {
            if (value < static_cast<T>(-32768) || value > static_cast<T>(32767)) RaiseError(6, here);
            return static_cast<int16_t>(value);
        }
    }

    int16_t value_ = 0;
};

// Checked Int32 arithmetic: a result outside the type's range raises error 6.
Int32 CheckedAdd(Int32 a, Int32 b, Here here = Here::current());
Int32 CheckedSub(Int32 a, Int32 b, Here here = Here::current());
Int32 CheckedMul(Int32 a, Int32 b, Here here = Here::current());
