#include "runtime/values/values.h"

#include <cfenv>
#include <cmath>
#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// To the nearest integer, ties to even, in the current rounding mode (which the program never
// changes from round-to-nearest-even), for the stores to an Int16. The processor's conversion
// does what libm's nearbyint does for every value near that range, without mapping a further
// block of libm at every start; a value far beyond it is out of range however it rounds.
double NearestForInt16(double value) {
#if defined(__SSE2__)
    if (std::fabs(value) <= 65536.0) return _mm_cvtsd_si32(_mm_set_sd(value));
    return value;
#else
    return std::nearbyint(value);
#endif
}

}  // namespace

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
    const double r = NearestForInt16(value);
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
