#include "curve/vector2f.h"

#include <gtest/gtest.h>

#include <limits>
#include <utility>

TEST(Vector2f, ArithmeticIsPerCoordinateAndLeavesOperandsAlone)
{
    const auto xy = [](const Vector2f& v) { return std::make_pair(v.x, v.y); };
    EXPECT_EQ(xy(Vector2f()), std::make_pair(0.0f, 0.0f));
    Vector2f sum;
    sum += Vector2f(1.5f, -2.25f);
    sum += Vector2f(1.5f, -2.25f);  // added to, not replaced
    EXPECT_EQ(xy(sum), std::make_pair(3.0f, -4.5f));
    const Vector2f p(3.0f, -4.0f);
    EXPECT_EQ(xy(p * 0.5f), std::make_pair(1.5f, -2.0f));
    EXPECT_EQ(xy(p), std::make_pair(3.0f, -4.0f));
}

// is_near: within the tolerance on both axes, strictly; never for a
// tolerance that is not positive, or a NaN; the same either way round.
TEST(Vector2f, IsNearIsAnOpenSquare)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    struct Row {
        Vector2f a, b;
        float tolerance;
        bool near;
    };
    const Row rows[] = {
        {{100, 200}, {104.99f, 195.01f}, 5, true},  // about 7.06 apart
        {{100, 200}, {105, 200}, 5, false},         // exactly 5 on one axis
        {{100, 200}, {100, 195}, 5, false},
        {{100, 200}, {95, 205}, 5, false},
        {{0, 0}, {4.99f, -4.99f}, 5, true},
        {{-3, 7}, {1.9f, 2.1f}, 5, true},
        {{1e30f, 0}, {-1e30f, 0}, 5, false},
        {{1, 1}, {1, 1}, 0, false},
        {{1, 1}, {1, 1}, -1, false},
        {{1, 1}, {1, 1}, nan, false},
        {{1, 1}, {nan, 1}, 5, false},
        {{1, 1}, {1, nan}, 5, false},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(row.a.is_near(row.b, row.tolerance), row.near) << row.b.x << ',' << row.b.y;
        EXPECT_EQ(row.b.is_near(row.a, row.tolerance), row.near) << row.b.x << ',' << row.b.y;
    }
}
