#include "curve/bernstein.h"

#include "curve/bezier_curve.h"
#include "curve/integer_power.h"

float bernstein_fixed(const Vector2f* points, int count, float t, float Vector2f::*coord)
{
    const int n = count - 1;
    float powers_t[max_exact_points];
    float powers_u[max_exact_points];
    fill_powers(t, n, powers_t);
    fill_powers(1.0f - t, n, powers_u);

    float sum = 0.0f;
    for (int i = 0; i <= n; ++i) {
        const double c = binomial(static_cast<unsigned int>(n), static_cast<unsigned int>(i));
        const double term = ((c * static_cast<double>(points[i].*coord))
                             * static_cast<double>(powers_u[n - i]))
                            * static_cast<double>(powers_t[i]);
        sum = static_cast<float>(static_cast<double>(sum) + term);
    }
    return sum;
}

namespace {

// Rescaling threshold: a power of two, so rescaling is exact, and far enough
// from DBL_MAX (2^1024) that weight * ratio * coordinate cannot overflow.
constexpr double rescale_above = 0x1p600;
constexpr double rescale_by = 0x1p-600;

}

float bernstein_mean(const Vector2f* points, int count, float t, float Vector2f::*coord)
{
    if (count <= 0)
        return 0.0f;
    const int n = count - 1;

    // The Bernstein weights b_k = C(n, k) t^k (1 - t)^(n - k) sum to 1, so the
    // curve point is sum(w_k P_k) / sum(w_k) for weights w_k of any common
    // scale. Neighbouring weights differ by the ratio
    //     b_k / b_(k-1) = (n - k + 1) / k * t / (1 - t),
    // so no binomial and no power is ever formed: they would overflow or
    // underflow long before 4096 points. Walking from the end nearer t keeps
    // t / (1 - t) <= 1, hence every ratio <= n, and the running weight is
    // scaled down by an exact power of two before it can overflow; weights too
    // small to matter underflow harmlessly. For t in [0, 1] all weights are
    // non-negative, so the result is a convex combination of the points and
    // its error is a few n ulps of double. At t = 0 (or 1, walking backwards)
    // the ratio is 0 and the result is the end point exactly.
    const double t_d = t;
    const double u_d = 1.0 - t_d;  // exact: t has 24 significant bits
    const bool forward = t_d <= 0.5;
    const double odds = forward ? t_d / u_d : u_d / t_d;
    const int first = forward ? 0 : n;
    const int direction = forward ? 1 : -1;

    double weight = 1.0;
    double weight_sum = 1.0;
    double sum = points[first].*coord;
    for (int k = 1; k <= n; ++k) {
        weight *= static_cast<double>(n - k + 1) * odds / static_cast<double>(k);
        sum += weight * static_cast<double>(points[first + direction * k].*coord);
        weight_sum += weight;
        if (weight > rescale_above) {
            weight *= rescale_by;
            sum *= rescale_by;
            weight_sum *= rescale_by;
        }
    }
    return static_cast<float>(sum / weight_sum);
}
