#include "curve/bezier_curve.h"
#include "curve/powers.h"
#include "plain_power.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <stdexcept>
#include <vector>

namespace {

std::uint32_t bits(float f)
{
    std::uint32_t b;
    std::memcpy(&b, &f, sizeof b);
    return b;
}

void expect_points(const BezierCurve& curve, const std::vector<Vector2f>& expected)
{
    ASSERT_EQ(curve.num_points(), static_cast<int>(expected.size()));
    for (int i = 0; i < curve.num_points(); ++i) {
        EXPECT_EQ(curve.get_point(i).x, expected[i].x) << "point " << i;
        EXPECT_EQ(curve.get_point(i).y, expected[i].y) << "point " << i;
    }
}

// The fixed arithmetic written out plainly, with nothing shared with the
// implementation: coefficients from exact 64-bit products, every power
// computed from scratch by squaring (plain_power).
std::int32_t plain_binomial(int n, int k)
{
    std::uint64_t c = 1;
    for (int j = 1; j <= k; ++j)
        c = c * static_cast<std::uint64_t>(n - k + j) / static_cast<std::uint64_t>(j);
    return static_cast<std::int32_t>(c);
}

// Terms in double; each coordinate's running sum rounded to float after every addition.
Vector2f plain_coordinates(const std::vector<Vector2f>& p, float t)
{
    const int n = static_cast<int>(p.size()) - 1;
    Vector2f sum;
    for (int i = 0; i <= n; ++i) {
        const double c = static_cast<double>(plain_binomial(n, i));
        const double u = plain_power(1.0f - t, n - i), v = plain_power(t, i);
        sum.x = static_cast<float>(static_cast<double>(sum.x) + c * p[i].x * u * v);
        sum.y = static_cast<float>(static_cast<double>(sum.y) + c * p[i].y * u * v);
    }
    return sum;
}

Vector2f plain_vector(const std::vector<Vector2f>& p, float t)
{
    const int n = static_cast<int>(p.size()) - 1;
    Vector2f sum;
    for (int i = 0; i <= n; ++i) {
        const float c = static_cast<float>(plain_binomial(n, i));
        sum += p[i] * c * plain_power(1.0f - t, n - i) * plain_power(t, i);
    }
    return sum;
}

}

// Reads and inserts out of range throw and change nothing; writes are ignored.
TEST(BezierCurveEditing, AddInsertSetClearAndIndicesOutOfRange)
{
    const Vector2f a(1, 2), b(3, 4), c(5, 6), p(7, 8);
    BezierCurve curve;
    EXPECT_EQ(curve.num_points(), 0);
    EXPECT_EQ(curve.add_point(a), 0);
    EXPECT_EQ(curve.add_point(b), 1);
    EXPECT_EQ(curve.add_point(c), 2);
    EXPECT_EQ(curve.insert_point(1, p), 1);
    expect_points(curve, {a, p, b, c});
    EXPECT_EQ(curve.insert_point(4, p), 4);
    expect_points(curve, {a, p, b, c, p});
    EXPECT_EQ(curve.insert_point(0, c), 0);
    expect_points(curve, {c, a, p, b, c, p});
    EXPECT_EQ(curve.add_point(b), 6);

    curve.set_point(3, c);
    expect_points(curve, {c, a, p, c, c, p, b});
    curve.set_point(-1, a);
    curve.set_point(curve.num_points(), a);
    EXPECT_THROW(curve.get_point(7), std::out_of_range);
    EXPECT_THROW(curve.get_point(-1), std::out_of_range);
    EXPECT_THROW(curve.insert_point(8, Vector2f()), std::out_of_range);
    EXPECT_THROW(curve.insert_point(-1, Vector2f()), std::out_of_range);
    expect_points(curve, {c, a, p, c, c, p, b});

    curve.clear();
    EXPECT_EQ(curve.num_points(), 0);
    curve.set_point(0, a);
    EXPECT_EQ(curve.num_points(), 0);
}

// Tens of thousands of random curves of 0 to 34 points, at random t and at
// the t values drawing uses: every result bit for bit the plain arithmetic.
TEST(BezierCurveEvaluation, MatchesThePlainArithmeticBitForBit)
{
    std::mt19937 rng(2024);
    std::uniform_int_distribution<int> count_of(0, 34);
    std::uniform_real_distribution<float> coord(-2000.0f, 2000.0f);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    std::uniform_int_distribution<int> segments_of(1, 200);

    for (int trial = 0; trial < 30000; ++trial) {
        const int count = count_of(rng);
        std::vector<Vector2f> points;
        BezierCurve curve;
        for (int i = 0; i < count; ++i) {
            // Whole pixels, like clicks, on every other curve.
            const float x = trial % 2 ? coord(rng) : static_cast<float>(static_cast<int>(coord(rng)));
            const float y = trial % 2 ? coord(rng) : static_cast<float>(static_cast<int>(coord(rng)));
            points.emplace_back(x, y);
            curve.add_point(points.back());
        }
        const int segments = segments_of(rng);
        const float step = 1.0f / static_cast<float>(segments);
        const float ts[] = {unit(rng), static_cast<float>(rng() % (segments + 1)) * step};
        for (float t : ts) {
            const Vector2f plain = plain_coordinates(points, t);
            ASSERT_EQ(bits(curve.evaluate_x(t)), bits(plain.x)) << count << " t=" << t;
            ASSERT_EQ(bits(curve.evaluate_y(t)), bits(plain.y)) << count << " t=" << t;
            const Vector2f v = curve.evaluate(t);
            const Vector2f w = plain_vector(points, t);
            ASSERT_EQ(bits(v.x), bits(w.x)) << count << " t=" << t;
            ASSERT_EQ(bits(v.y), bits(w.y)) << count << " t=" << t;
        }
    }
}

TEST(BezierCurveEvaluation, PowersAreThoseOfSquaringBitForBit)
{
    std::vector<float> bases = {0.0f, -0.0f, 1.0f, -1.0f, 0.99999994f, 1.0000001f, 0.5f, -0.75f,
                                2.0f, -3.0f, 1e-20f, 1.5e-39f, -2e-41f,
                                std::numeric_limits<float>::denorm_min()};
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> any(-2.0f, 2.0f);
    for (int i = 0; i < 200; ++i)
        bases.push_back(any(rng));

    constexpr int n = 70;  // past every exponent a curve's evaluation asks for
    for (float base : bases) {
        float powers[n + 2];
        powers[n + 1] = 42.0f;
        fill_powers(base, n, powers);
        for (int e = 0; e <= n; ++e)
            ASSERT_EQ(bits(powers[e]), bits(plain_power(base, e))) << base << '^' << e;
        EXPECT_EQ(powers[n + 1], 42.0f);  // nothing past n is written
    }
    float untouched = 42.0f;
    fill_powers(0.5f, -1, &untouched);
    EXPECT_EQ(untouched, 42.0f);
}

// The bits x86-64 gives for curves of 1 to 63 points at a 64-segment strip's
// parameters and a few others, for both arithmetics: every machine must agree
// (x87 precision or fused multiply-adds differ in about half). The inputs come
// from integer arithmetic alone, the same wherever the test is built.
TEST(BezierCurveEvaluation, BitsAreThoseRecordedOnX86_64)
{
    std::uint32_t state = 12345;
    const auto next = [&state] { return state = state * 1664525u + 1013904223u; };
    // Coordinates in sixteenths of a pixel within +-4096 pixels: exact floats.
    const auto coordinate = [&next] { return static_cast<float>(static_cast<int>(next() >> 16) - 32768) / 8.0f; };

    std::vector<float> ts;
    const float step = 1.0f / 64.0f;
    for (int i = 0; i <= 64; ++i)
        ts.push_back(static_cast<float>(i) * step);
    for (float t : {0.1f, 1.0f / 3.0f, 0.7f, 0.99999994f, 1e-7f})
        ts.push_back(t);

    std::uint64_t hash = 14695981039346656037u;  // FNV-1a over every result's bits
    const auto mix = [&hash](float f) {
        const std::uint32_t b = bits(f);
        for (int shift = 0; shift < 32; shift += 8)
            hash = (hash ^ ((b >> shift) & 0xffu)) * 1099511628211u;
    };
    BezierCurve curve;
    for (int count = 1; count <= 63; ++count) {
        const float x = coordinate();  // in this order, which arguments' evaluation does not fix
        const float y = coordinate();
        curve.add_point(Vector2f(x, y));
        for (float t : ts) {
            mix(curve.evaluate_x(t));
            mix(curve.evaluate_y(t));
            const Vector2f v = curve.evaluate(t);
            mix(v.x);
            mix(v.y);
        }
        // Two of them spelled out, for a reader of a failure.
        if (count == 20) {
            EXPECT_EQ(bits(curve.evaluate_x(1.0f / 3.0f)), 1140993272u) << "20 points";
        } else if (count == 40) {
            EXPECT_EQ(bits(curve.evaluate(0.7f).y), 1148077600u) << "40 points";
        }
    }
    EXPECT_EQ(hash, 16326802027466950220u);
}
