#ifndef ORRINADE_CURVE_BERNSTEIN_H
#define ORRINADE_CURVE_BERNSTEIN_H

#include "curve/float_evaluation.h"
#include "curve/vector2f.h"

#include <cstdint>

// The Bezier curve with control points points[0 .. count - 1] at parameter t:
// the sum over i of C(n, i) (1 - t)^(n - i) t^i P_i, n = count - 1, each
// coordinate computed on its own (the two run side by side, sharing the
// coefficients and powers). An empty curve gives (0, 0). Both cost time in
// proportion to count.

// Largest point count for which every C(n, i) fits a signed 32-bit integer:
// C(33, 16) = 1166803110 does, C(34, 17) = 2333606220 does not.
constexpr int max_exact_points = 34;

// The fixed arithmetic, for count <= max_exact_points: each term formed in
// double as ((C(n, i) * P_i) * (1 - t)^(n - i)) * t^i with float powers from
// fill_powers, the running sum rounded to float after every addition.
// binomials[0 .. n] is row n of Pascal's triangle, each entry read as a
// signed 32-bit integer; it is not read when count is 0.
Vector2f bernstein_fixed(const Vector2f* points, int count, float t, const std::uint32_t* binomials);

// Any count: the curve point as a weighted mean, computed in double and
// rounded once to float. For t in [0, 1] its error stays far below a
// thousandth of a pixel at thousands of points; t = 0 and t = 1 give the
// first and last point exactly. Never overflows, never divides by zero.
Vector2f bernstein_mean(const Vector2f* points, int count, float t);

#endif
