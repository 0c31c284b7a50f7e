#include "curve/powers.h"

void fill_powers(float base, int n, float* powers)
{
    if (n < 0)
        return;
    // Squaring multiplies 1 by the squares base^(2^j) of the exponent's set
    // bits in ascending order. Removing the highest set bit 2^h from e leaves
    // the same product up to its last factor, so
    //     base^e == base^(e - 2^h) * base^(2^h)   bit for bit,
    // and base^(2^h) is itself the entry at e == 2^h (1 * square is exact).
    powers[0] = 1.0f;
    int highest_bit = 1;
    float square = base;
    for (int e = 1; e <= n; ++e) {
        if (e == 2 * highest_bit) {
            highest_bit = e;
            square *= square;
        }
        powers[e] = powers[e - highest_bit] * square;
    }
}
