#ifndef ORRINADE_TESTS_PLAIN_POWER_H
#define ORRINADE_TESTS_PLAIN_POWER_H

// base^exponent (exponent >= 0) by squaring, written out plainly with nothing
// shared with the curve's code, every product a float product: the bits the
// curve's powers must equal, and the direct evaluation benchmarks measure.
inline float plain_power(float base, int exponent)
{
    float result = 1.0f;
    for (int m = exponent;; base *= base) {
        if (m % 2 == 1)
            result *= base;
        m /= 2;
        if (m == 0)
            return result;
    }
}

#endif
