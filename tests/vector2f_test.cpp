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

TEST(Vector2f, IsNearIsAnOpenSquare)
{
    const Vector2f p(100.0f, 200.0f);
    // 4.99 on both axes is near although the distance is about 7.06.
    EXPECT_TRUE(p.is_near(Vector2f(104.99f, 195.01f), 5.0f));
    // Exactly 5 on either axis is not.
    EXPECT_FALSE(p.is_near(Vector2f(105.0f, 200.0f), 5.0f));
    EXPECT_FALSE(p.is_near(Vector2f(100.0f, 195.0f), 5.0f));
    EXPECT_FALSE(p.is_near(Vector2f(95.0f, 205.0f), 5.0f));
}

TEST(Vector2f, IsNearIsSymmetric)
{
    const Vector2f pairs[][2] = {
        {{0.0f, 0.0f}, {4.99f, -4.99f}},
        {{10.0f, 10.0f}, {15.0f, 10.0f}},
        {{-3.0f, 7.0f}, {1.9f, 2.1f}},
        {{1e30f, 0.0f}, {-1e30f, 0.0f}},
    };
    for (const auto& pair : pairs)
        EXPECT_EQ(pair[0].is_near(pair[1], 5.0f), pair[1].is_near(pair[0], 5.0f));
}

TEST(Vector2f, IsNearFailsForNonPositiveToleranceAndNaN)
{
    const Vector2f p(1.0f, 1.0f);
    EXPECT_FALSE(p.is_near(p, 0.0f));
    EXPECT_FALSE(p.is_near(p, -1.0f));

    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_FALSE(p.is_near(p, nan));
    EXPECT_FALSE(p.is_near(Vector2f(nan, 1.0f), 5.0f));
    EXPECT_FALSE(p.is_near(Vector2f(1.0f, nan), 5.0f));
}
