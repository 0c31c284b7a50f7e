#include "app/sfml_version.h"
#include "curve/bezier_curve.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

const sf::Color paper = sf::Color::White;
const sf::Color ink(200, 30, 60);

// The curve on a 640 x 640 view of a square `scale` times as many pixels
// across, as the editor draws it on a scaled desktop.
sf::Image render(const BezierCurve& curve, int segments, int scale = 1)
{
    sf::RenderTexture texture;
    const unsigned int side = 640u * static_cast<unsigned int>(scale);
    EXPECT_TRUE(create_texture(texture, sf::Vector2u(side, side)));
    texture.setView(sf::View(sf::Vector2f(320, 320), sf::Vector2f(640, 640)));
    texture.clear(paper);
    curve.draw(texture, segments, ink, static_cast<float>(scale));
    texture.display();
    return texture.getTexture().copyToImage();
}

sf::Color pixel(const sf::Image& image, int x, int y)
{
    const std::uint8_t* p = image.getPixelsPtr() + 4 * (y * static_cast<int>(image.getSize().x) + x);
    return sf::Color(p[0], p[1], p[2], p[3]);
}

bool inked(const sf::Image& image, int x, int y)
{
    return pixel(image, x, y) == ink;
}

// True when some pixel within `radius` (on both axes) of (x, y) is inked.
bool inked_near(const sf::Image& image, float x, float y, int radius = 1)
{
    const int cx = static_cast<int>(std::floor(x));
    const int cy = static_cast<int>(std::floor(y));
    for (int dy = -radius; dy <= radius; ++dy)
        for (int dx = -radius; dx <= radius; ++dx)
            if (inked(image, cx + dx, cy + dy))
                return true;
    return false;
}

int inked_in_box(const sf::Image& image, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            count += inked(image, x, y);
    return count;
}

BezierCurve arch()
{
    BezierCurve curve;
    curve.add_point(Vector2f(100, 100));
    curve.add_point(Vector2f(300, 500));
    curve.add_point(Vector2f(500, 100));
    return curve;
}

}

TEST(Drawing, StripPassesThroughTheEvaluatedVertices)
{
    const BezierCurve curve = arch();
    const sf::Image image = render(curve, 16);
    for (int i = 0; i <= 16; ++i) {
        const float t = static_cast<float>(i) * 0.0625f;
        const float x = curve.evaluate_x(t), y = curve.evaluate_y(t);
        EXPECT_TRUE(inked_near(image, x, y)) << "vertex " << i;
        if (i > 0) {
            const float tm = static_cast<float>(i - 1) * 0.0625f;
            const float mx = (x + curve.evaluate_x(tm)) / 2, my = (y + curve.evaluate_y(tm)) / 2;
            EXPECT_TRUE(inked_near(image, mx, my)) << "middle of segment " << i;
        }
    }
    // Inside the arch, away from the strip and the markers.
    EXPECT_EQ(inked_in_box(image, 280, 150, 320, 280), 0);
    EXPECT_EQ(inked_in_box(image, 0, 0, 639, 90), 0);
}

TEST(Drawing, EveryPixelDrawnIsInTheColourPassedAndPointsStay)
{
    const BezierCurve curve = arch();
    const sf::Image image = render(curve, 16);
    int drawn = 0;
    for (int y = 0; y < 640; ++y)
        for (int x = 0; x < 640; ++x) {
            const sf::Color c = pixel(image, x, y);
            ASSERT_TRUE(c == paper || c == ink) << x << ',' << y;
            drawn += c == ink;
        }
    EXPECT_GT(drawn, 400);
    EXPECT_EQ(curve.get_point(1).x, 300.0f);
    EXPECT_EQ(curve.get_point(1).y, 500.0f);
}

TEST(Drawing, MarkersAreCirclesOfRadiusTwoAndAHalfWithThirtyPoints)
{
    // Markers at many sub-pixel offsets, and no strip: one vertex draws none.
    BezierCurve curve;
    for (int i = 0; i < 64; ++i)
        curve.add_point(Vector2f(40.0f + 70.0f * static_cast<float>(i % 8) + 0.13f * static_cast<float>(i),
                                 40.0f + 70.0f * static_cast<float>(i / 8) + 0.07f * static_cast<float>(i)));
    const sf::Image drawn = render(curve, 0);

    sf::RenderTexture texture;
    ASSERT_TRUE(create_texture(texture, sf::Vector2u(640, 640)));
    texture.clear(paper);
    sf::CircleShape circle(2.5f, 30);
    circle.setOrigin(sf::Vector2f(2.5f, 2.5f));
    circle.setFillColor(ink);
    for (int i = 0; i < curve.num_points(); ++i) {
        circle.setPosition(sf::Vector2f(curve.get_point(i).x, curve.get_point(i).y));
        texture.draw(circle);
    }
    texture.display();
    const sf::Image expected = texture.getTexture().copyToImage();

    int differ = 0;
    for (int y = 0; y < 640; ++y)
        for (int x = 0; x < 640; ++x)
            differ += pixel(drawn, x, y) != pixel(expected, x, y);
    EXPECT_EQ(differ, 0);
    // A disc, not a dot: the 4 x 4 pixels about the first centre are inked.
    EXPECT_EQ(inked_in_box(drawn, 38, 38, 41, 41), 16);
}

TEST(Drawing, OneSegmentIsTheChordAndFewerDrawNoStrip)
{
    const BezierCurve curve = arch();
    const sf::Image chord = render(curve, 1);
    EXPECT_TRUE(inked_near(chord, 300, 100));
    EXPECT_TRUE(inked_near(chord, 200, 100));
    EXPECT_EQ(inked_in_box(chord, 250, 250, 350, 350), 0);
    EXPECT_TRUE(inked(chord, 300, 500));  // the interior point keeps its marker

    for (int segments : {0, -5}) {
        const sf::Image none = render(curve, segments);
        EXPECT_EQ(inked_in_box(none, 110, 90, 490, 110), 0) << segments;
        EXPECT_TRUE(inked(none, 100, 100)) << segments;
        EXPECT_TRUE(inked(none, 300, 500)) << segments;
        EXPECT_TRUE(inked(none, 500, 100)) << segments;
    }
}

TEST(Drawing, EmptyCurveDrawsNothingVisible)
{
    const sf::Image image = render(BezierCurve(), 16);
    EXPECT_EQ(inked_in_box(image, 2, 2, 639, 639), 0);
}

// One unit of the view thick at every scale: a line strip of one pixel at
// scale 1, a band `scale` pixels across above it, with no gap at the joints.
TEST(Drawing, CurveIsOneUnitThickAtEveryScale)
{
    BezierCurve flat;
    flat.add_point(Vector2f(100, 300.5f));
    flat.add_point(Vector2f(500, 300.5f));
    BezierCurve upright;
    upright.add_point(Vector2f(300.5f, 100));
    upright.add_point(Vector2f(300.5f, 500));
    for (int scale : {1, 2, 3}) {
        const int at = 400 * scale;  // device pixels, well inside both strips
        EXPECT_EQ(inked_in_box(render(flat, 16, scale), at, 0, at, 640 * scale - 1), scale) << scale;
        EXPECT_EQ(inked_in_box(render(upright, 16, scale), 0, at, 640 * scale - 1, at), scale) << scale;
        // The arch rises in x throughout: every column between the markers
        // holds ink, at least `scale` pixels of it.
        const sf::Image arch_image = render(arch(), 16, scale);
        for (int x = 104 * scale; x < 496 * scale; ++x)
            ASSERT_GE(inked_in_box(arch_image, x, 0, x, 640 * scale - 1), scale) << scale << ": column " << x;
    }
}
