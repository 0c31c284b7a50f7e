#ifndef ORRINADE_CURVE_POWERS_H
#define ORRINADE_CURVE_POWERS_H

#include "curve/float_evaluation.h"

// Fills powers[0 .. n] with base^e for e = 0 .. n, one float multiplication
// per entry. Does nothing when n < 0. The bits are part of the curve's
// contract, which is why std::pow (whose results differ in the last bits) is
// not used: each entry is exactly what squaring gives, that is 1 multiplied,
// in float, by the squares base^(2^j) of e's set bits in ascending order j.
// powers[0] is exactly 1, whatever the base.
void fill_powers(float base, int n, float* powers);

#endif
