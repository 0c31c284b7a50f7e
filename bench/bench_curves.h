#ifndef ORRINADE_BENCH_BENCH_CURVES_H
#define ORRINADE_BENCH_BENCH_CURVES_H

#include "curve/bezier_curve.h"

#include <random>

// A reproducible curve of `count` points spread over the 640 x 640 window.
inline BezierCurve bench_curve(int count)
{
    std::mt19937 rng(static_cast<unsigned>(count));
    std::uniform_int_distribution<int> coord(0, 639);
    BezierCurve curve;
    for (int i = 0; i < count; ++i)
        curve.add_point(Vector2f(static_cast<float>(coord(rng)), static_cast<float>(coord(rng))));
    return curve;
}

// The point counts compared: tiny, the last bit-exact count, and beyond.
#define ORRINADE_POINT_COUNTS Arg(4)->Arg(34)->Arg(200)->Arg(1000)->Arg(4096)

#endif
