// The numeric conversions and their errors: rounding to an integer, stores into Int16 and Single,
// integer division, checked Int32 arithmetic, and the processor's floating exception flags.
#include "runtime/values/values.h"

#include <cfenv>
#include <cmath>

Int32 RoundToInteger(double value, Here here) {
    if (std::isnan(value)) RaiseError(6, here);
    double r = value >= 0 ? std::trunc(value + 0.5) : std::trunc(value - 0.5);
    if (r < -2147483648.0 || r > 2147483647.0) RaiseError(6, here);
    return static_cast<Int32>(r);
}

int16_t RoundToInt16(double value, Here here) {
    Int32 r = RoundToInteger(value, here);
    if (r < -32768 || r > 32767) RaiseError(6, here);
    return static_cast<int16_t>(r);
}

int16_t StoreInt16(double value, Here here) {
    if (std::isnan(value)) RaiseError(6, here);
    // nearbyint follows the current rounding mode, which the program never changes from
    // round-to-nearest-even.
    const double r = std::nearbyint(value);
    if (r < -32768.0 || r > 32767.0) RaiseError(6, here);
    return static_cast<int16_t>(r);
}

Int32 IntDiv(double a, double b, Here here) {
    Int32 x = RoundToInteger(a, here);
    Int32 y = RoundToInteger(b, here);
    if (y == 0) RaiseError(11, here);
    if (x == INT32_MIN && y == -1) RaiseError(6, here);
    return x / y;
}

double FloorValue(double value) { return std::floor(value); }

void CheckFloatFlags(Here here) {
    int raised = std::fetestexcept(FE_INVALID | FE_DIVBYZERO | FE_OVERFLOW);
    if (raised) std::feclearexcept(FE_ALL_EXCEPT);
    if (raised & FE_INVALID) RaiseError(5, here);
    if (raised & FE_DIVBYZERO) RaiseError(11, here);
    if (raised & FE_OVERFLOW) RaiseError(6, here);
}

Single StoreSingle(double value, Here here) {
    CheckFloatFlags(here);
    if (std::isnan(value)) RaiseError(5, here);
    if (std::isinf(value) || std::fabs(value) > 3.4028234663852886e38) RaiseError(6, here);
    return static_cast<Single>(value);
}

Int32 CheckedAdd(Int32 a, Int32 b, Here here) {
    Int32 r;
    if (__builtin_add_overflow(a, b, &r)) RaiseError(6, here);
    return r;
}

Int32 CheckedSub(Int32 a, Int32 b, Here here) {
    Int32 r;
    if (__builtin_sub_overflow(a, b, &r)) RaiseError(6, here);
    return r;
}

Int32 CheckedMul(Int32 a, Int32 b, Here here) {
    Int32 r;
    if (__builtin_mul_overflow(a, b, &r)) RaiseError(6, here);
    return r;
}
