#ifndef ORRINADE_CURVE_VECTOR2F_H
#define ORRINADE_CURVE_VECTOR2F_H

#include <cmath>

// A point of two 32-bit floats, in window pixels when the editor uses it.
// Any pair of floats is a valid point. Distinct from sf::Vector2f: values
// cross between the two coordinate by coordinate.
class Vector2f {
public:
    float x;
    float y;

    Vector2f() : x(0.0f), y(0.0f) {}
    Vector2f(float x, float y) : x(x), y(y) {}

    // Each coordinate is one float product.
    Vector2f operator*(float s) const { return Vector2f(x * s, y * s); }

    // Each coordinate is one float sum.
    void operator+=(const Vector2f& other)
    {
        x += other.x;
        y += other.y;
    }

    // True when both axis distances are strictly below `tolerance`: an open
    // square of half-width `tolerance`, not a circle. Any NaN gives false;
    // the test is symmetric in the two points.
    bool is_near(const Vector2f& other, float tolerance) const
    {
        if (!(std::fabs(x - other.x) < tolerance))
            return false;
        return std::fabs(y - other.y) < tolerance;
    }
};

#endif
