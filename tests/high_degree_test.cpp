#include "curve/bezier_curve.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstddef>
#include <random>
#include <vector>

namespace {

// The reference: de Casteljau's convex combinations in double (long double is
// software quadruple precision on ARM). Its error, a few ulps a level, stays
// below 1e-9 pixels at 4096 points within 640, 1e-5 at 2000 points of 3e7.
double de_casteljau(std::vector<double> p, float t)
{
    const double s = t, u = 1.0 - s;
    for (std::size_t level = p.size(); level > 1; --level)
        for (std::size_t i = 0; i + 1 < level; ++i)
            p[i] = u * p[i] + s * p[i + 1];
    return p.empty() ? 0.0 : p[0];
}

struct Sampled {
    BezierCurve curve;
    std::vector<double> xs, ys;
};

Sampled random_curve(int count, std::mt19937& rng)
{
    std::uniform_real_distribution<float> coord(0.0f, 640.0f);
    Sampled s;
    for (int i = 0; i < count; ++i) {
        const Vector2f p(std::round(coord(rng)), coord(rng));
        s.curve.add_point(p);
        s.xs.push_back(p.x);
        s.ys.push_back(p.y);
    }
    return s;
}

// The t values that drawing reaches at a few segment counts, and a few more.
std::vector<float> parameters(std::mt19937& rng)
{
    std::vector<float> ts = {0.0f, 1.0f, 1e-7f, 0.99999994f, 0.5f};
    for (int segments : {16, 41}) {
        const float step = 1.0f / static_cast<float>(segments);
        for (int i = 1; i <= segments; i += 3)
            ts.push_back(static_cast<float>(i) * step);
    }
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    for (int i = 0; i < 5; ++i)
        ts.push_back(unit(rng));
    return ts;
}

}

// Beyond 34 points the coefficients no longer fit 32 bits; the curve must
// still be the true Bezier curve, with no overflow, NaN or infinity, and
// its end points exact.
TEST(HighDegree, WithinAThousandthOfAPixelOfTheExactCurve)
{
    std::mt19937 rng(35);
    for (int count : {35, 36, 68, 80, 300, 1031, 4096}) {
        const Sampled s = random_curve(count, rng);
        for (float t : parameters(rng)) {
            const float x = s.curve.evaluate_x(t), y = s.curve.evaluate_y(t);
            const Vector2f v = s.curve.evaluate(t);
            ASSERT_TRUE(std::isfinite(x) && std::isfinite(y)) << count << " t=" << t;
            const double rx = de_casteljau(s.xs, t), ry = de_casteljau(s.ys, t);
            const double within = t == 0.0f || t == 1.0f ? 0.0 : 1e-3;  // de Casteljau's ends are exact
            EXPECT_NEAR(x, rx, within) << count << " points, t=" << t;
            EXPECT_NEAR(y, ry, within) << count << " points, t=" << t;
            EXPECT_EQ(v.x, x) << count << " points, t=" << t;
            EXPECT_EQ(v.y, y) << count << " points, t=" << t;
        }
    }
}

TEST(HighDegree, ExtremeCoordinatesStayFinite)
{
    // Points dragged far outside the window, alternating in sign.
    BezierCurve curve;
    std::vector<double> xs;
    for (int i = 0; i < 2000; ++i) {
        const float x = i % 2 ? 3e7f : -3e7f;
        curve.add_point(Vector2f(x, 1e30f));
        xs.push_back(x);
    }
    for (float t : {0.0f, 0.001f, 0.25f, 0.5f, 0.75f, 0.999f, 1.0f}) {
        EXPECT_EQ(curve.evaluate_y(t), 1e30f) << t;
        EXPECT_NEAR(curve.evaluate_x(t), de_casteljau(xs, t), 1.0) << t;
    }

    // Only the last of 40 points dragged far out: at t = 0.5 it alone pulls
    // the curve, by 2^40 / 2^39.
    BezierCurve reach;
    for (int i = 0; i < 39; ++i)
        reach.add_point(Vector2f(0.0f, 0.0f));
    reach.add_point(Vector2f(0x1p40f, 0.0f));
    EXPECT_NEAR(reach.evaluate_x(0.5f), 2.0f, 1e-3f);
}
