#include "curve/bernstein.h"

#include "curve/powers.h"

#include <cmath>
#include <cstdint>

Vector2f bernstein_fixed(const Vector2f* points, int count, float t, const std::uint32_t* binomials)
{
    const int n = count - 1;
    if (n < 0)
        return Vector2f();
    float powers_t[max_exact_points];
    float powers_u[max_exact_points];
    fill_powers(t, n, powers_t);
    fill_powers(1.0f - t, n, powers_u);

    // The running sums are rounded to float after every addition, so each is
    // one long dependency chain; the two coordinates run side by side.
    float sum_x = 0.0f;
    float sum_y = 0.0f;
    for (int i = 0; i <= n; ++i) {
        const double c = static_cast<std::int32_t>(binomials[i]);
        const double u = powers_u[n - i];
        const double s = powers_t[i];
        const double term_x = ((c * static_cast<double>(points[i].x)) * u) * s;
        const double term_y = ((c * static_cast<double>(points[i].y)) * u) * s;
        sum_x = static_cast<float>(static_cast<double>(sum_x) + term_x);
        sum_y = static_cast<float>(static_cast<double>(sum_y) + term_y);
    }
    return Vector2f(sum_x, sum_y);
}

namespace {

// Rescaling threshold: a power of two, so rescaling is exact, and far enough
// from DBL_MAX (2^1024) that weight * ratio * coordinate cannot overflow.
constexpr double rescale_above = 0x1p600;
constexpr double rescale_by = 0x1p-600;

}

Vector2f bernstein_mean(const Vector2f* points, int count, float t)
{
    if (count <= 0)
        return Vector2f();
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
    // the ratio is 0 and the result is the end point exactly. The one
    // division per step is off the dependency chains, which are a multiply
    // (the weight) and adds (the sums): faster per point than Horner's rule.
    const double t_d = t;
    const double u_d = 1.0 - t_d;  // exact: t has 24 significant bits
    const bool forward = t_d <= 0.5;
    const double odds = forward ? t_d / u_d : u_d / t_d;
    const int first = forward ? 0 : n;
    const int direction = forward ? 1 : -1;

    double weight = 1.0;
    double weight_sum = 1.0;
    double sum_x = points[first].x;
    double sum_y = points[first].y;
    for (int k = 1; k <= n; ++k) {
        weight *= static_cast<double>(n - k + 1) * odds / static_cast<double>(k);
        const Vector2f& p = points[first + direction * k];
        sum_x += weight * static_cast<double>(p.x);
        sum_y += weight * static_cast<double>(p.y);
        weight_sum += weight;
        if (std::fabs(weight) > rescale_above) {
            weight *= rescale_by;
            sum_x *= rescale_by;
            sum_y *= rescale_by;
            weight_sum *= rescale_by;
        }
    }
    return Vector2f(static_cast<float>(sum_x / weight_sum), static_cast<float>(sum_y / weight_sum));
}
