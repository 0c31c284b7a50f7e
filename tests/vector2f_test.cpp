#include "curve/vector2f.h"

#include <gtest/gtest.h>

#include <limits>

TEST(Vector2f, ArithmeticIsPerCoordinateAndLeavesOperandsAlone)
{
    const Vector2f origin;
    EXPECT_EQ(origin.x, 0.0f);
    EXPECT_EQ(origin.y, 0.0f);

    Vector2f sum;
    sum += Vector2f(1.5f, -2.25f);
    EXPECT_EQ(sum.x, 1.5f);
    EXPECT_EQ(sum.y, -2.25f);

    const Vector2f p(3.0f, -4.0f);
    const Vector2f scaled = p * 0.5f;
    EXPECT_EQ(scaled.x, 1.5f);
    EXPECT_EQ(scaled.y, -2.0f);
    EXPECT_EQ(p.x, 3.0f);
    EXPECT_EQ(p.y, -4.0f);
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
