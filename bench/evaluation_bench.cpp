// One coordinate evaluation, reported as time per control point, three ways:
// the curve's own evaluate_x; the fixed Bernstein arithmetic done directly
// (every power from scratch, 32-bit coefficients: correct only up to 34
// points); and Horner's rule in double on precomputed coefficients (fast but
// unstable at high degree). Only the timings matter here.
#include "bench_curves.h"
#include "plain_power.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr float t_step = 1.0f / 97.0f;  // walks t through [0, 1]

float next_t(float t)
{
    t += t_step;
    return t > 1.0f ? t - 1.0f : t;
}

void report_per_point(benchmark::State& state, int count)
{
    state.counters["per_point"] = benchmark::Counter(
        static_cast<double>(count),
        benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

float direct_x(const BezierCurve& curve, float t)
{
    const int n = curve.num_points() - 1;
    float sum = 0.0f;
    for (int i = 0; i <= n; ++i) {
        const double c = binomial(static_cast<unsigned>(n), static_cast<unsigned>(i));
        const double term = ((c * static_cast<double>(curve.get_point(i).x))
                             * static_cast<double>(plain_power(1.0f - t, n - i)))
                            * static_cast<double>(plain_power(t, i));
        sum = static_cast<float>(static_cast<double>(sum) + term);
    }
    return sum;
}

// sum C(n, k) P_k t^k (1 - t)^(n - k) = (1 - t)^n * sum (C(n, k) P_k) s^k,
// s = t / (1 - t), the inner sum by Horner's rule.
struct Horner {
    std::vector<double> coefficients;

    explicit Horner(const BezierCurve& curve)
    {
        const int n = curve.num_points() - 1;
        double c = 1.0;
        for (int k = 0; k <= n; ++k) {
            coefficients.push_back(c * curve.get_point(k).x);
            c = c * (n - k) / (k + 1);
        }
    }

    double x(float t) const
    {
        const double u = 1.0 - t, s = t / u;
        double acc = 0.0;
        for (auto c = coefficients.rbegin(); c != coefficients.rend(); ++c)
            acc = acc * s + *c;
        return acc * plain_power(static_cast<float>(u), static_cast<int>(coefficients.size()) - 1);
    }
};

void BM_EvaluateX(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const BezierCurve curve = bench_curve(count);
    float t = 0.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(curve.evaluate_x(t));
        t = next_t(t);
    }
    report_per_point(state, count);
}

void BM_DirectFixedArithmetic(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const BezierCurve curve = bench_curve(count);
    float t = 0.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(direct_x(curve, t));
        t = next_t(t);
    }
    report_per_point(state, count);
}

void BM_HornerBaseline(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    const Horner horner(bench_curve(count));
    float t = 0.0f;
    for (auto _ : state) {
        benchmark::DoNotOptimize(horner.x(t));
        t = next_t(t);
    }
    report_per_point(state, count);
}

}

BENCHMARK(BM_EvaluateX)->ORRINADE_POINT_COUNTS;
BENCHMARK(BM_DirectFixedArithmetic)->ORRINADE_POINT_COUNTS;
BENCHMARK(BM_HornerBaseline)->ORRINADE_POINT_COUNTS;
