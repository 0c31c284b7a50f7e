#ifndef ORRINADE_CURVE_INTEGER_POWER_H
#define ORRINADE_CURVE_INTEGER_POWER_H

// base^exponent by repeated squaring, every product a float product. Its bits
// are part of the curve's contract, which is why std::pow (whose results
// differ in the last bits) is not used. An exponent of 0 gives exactly 1,
// whatever the base; a negative exponent gives 1 / base^-exponent.
float integer_power(float base, int exponent);

// Fills powers[0 .. n] with exactly the bits of integer_power(base, e), using
// one float multiplication per entry. Does nothing when n < 0.
void fill_powers(float base, int n, float* powers);

#endif
