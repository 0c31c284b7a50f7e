#include "curve/bezier_curve.h"
#include "sfml/sfml_version.h"

#include <SFML/Graphics/Image.hpp>
#include <SFML/Graphics/RenderTexture.hpp>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

namespace {

const sf::Color paper = sf::Color::White;
const sf::Color ink(200, 30, 60);

// The curve on a 640 x 640 view of a square `scale` times as many pixels
// across (rounded as the editor rounds its window), as the editor draws it on
// a scaled desktop.
sf::Image render(const BezierCurve& curve, int segments, float scale = 1)
{
    sf::RenderTexture texture;
    const auto side = static_cast<unsigned int>(std::lround(640 * scale));
    EXPECT_TRUE(create_texture(texture, sf::Vector2u(side, side)));
    texture.setView(sf::View(sf::Vector2f(320, 320), sf::Vector2f(640, 640)));
    texture.clear(paper);
    curve.draw(texture, segments, ink, scale);
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

int inked_in_box(const sf::Image& image, int x0, int y0, int x1, int y1)
{
    int count = 0;
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x)
            count += inked(image, x, y);
    return count;
}

// True when some pixel within one pixel (on both axes) of (x, y) is inked.
bool inked_near(const sf::Image& image, float x, float y)
{
    const int cx = static_cast<int>(std::floor(x)), cy = static_cast<int>(std::floor(y));
    return inked_in_box(image, cx - 1, cy - 1, cx + 1, cy + 1) > 0;
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

// At each scale the editor draws at, on the 640 x 640 view.
class Drawing : public testing::TestWithParam<float> {
protected:
    const float scale = GetParam();
    int at(float logical) const { return static_cast<int>(logical * scale); }
};
INSTANTIATE_TEST_SUITE_P(Scales, Drawing, testing::Values(1.0f, 1.25f, 1.5f, 2.0f, 3.0f));

// The strip passes through the evaluated vertices, in the colour passed and
// no other, and nowhere else; the points stay.
TEST_P(Drawing, StripThroughTheEvaluatedVerticesInTheColourPassed)
{
    const BezierCurve curve = arch();
    const sf::Image image = render(curve, 16, scale);
    for (int i = 0; i <= 16; ++i) {
        const float t = static_cast<float>(i) * 0.0625f;
        const float x = curve.evaluate_x(t), y = curve.evaluate_y(t);
        EXPECT_TRUE(inked_near(image, x * scale, y * scale)) << "vertex " << i;
        if (i > 0) {
            const float tm = static_cast<float>(i - 1) * 0.0625f;
            const float mx = (x + curve.evaluate_x(tm)) / 2, my = (y + curve.evaluate_y(tm)) / 2;
            EXPECT_TRUE(inked_near(image, mx * scale, my * scale)) << "middle of segment " << i;
        }
    }
    // Inside the arch, away from the strip and the markers.
    EXPECT_EQ(inked_in_box(image, at(280), at(150), at(320), at(280)), 0);
    EXPECT_EQ(inked_in_box(image, 0, 0, at(640) - 1, at(90)), 0);
    int drawn = 0;
    for (int y = 0; y < at(640); ++y)
        for (int x = 0; x < at(640); ++x) {
            const sf::Color c = pixel(image, x, y);
            ASSERT_TRUE(c == paper || c == ink) << x << ',' << y;
            drawn += c == ink;
        }
    EXPECT_GT(drawn, 400 * scale);
    EXPECT_EQ(curve.get_point(1).x, 300.0f);
    EXPECT_EQ(curve.get_point(1).y, 500.0f);
}

// One segment is the chord; fewer draw no strip, and an empty curve nothing.
TEST_P(Drawing, OneSegmentIsTheChordAndFewerDrawNoStrip)
{
    const BezierCurve curve = arch();
    const sf::Image chord = render(curve, 1, scale);
    EXPECT_TRUE(inked_near(chord, at(300), at(100)));
    EXPECT_TRUE(inked_near(chord, at(200), at(100)));
    EXPECT_EQ(inked_in_box(chord, at(250), at(250), at(350), at(350)), 0);
    EXPECT_TRUE(inked(chord, at(300), at(500)));  // the interior point keeps its marker

    for (int segments : {0, -5}) {
        const sf::Image none = render(curve, segments, scale);
        EXPECT_EQ(inked_in_box(none, at(110), at(90), at(490), at(110)), 0) << segments;
        for (const auto& [x, y] : {std::pair(100, 100), std::pair(300, 500), std::pair(500, 100)})
            EXPECT_TRUE(inked(none, at(x), at(y))) << segments << ": " << x;
    }
    EXPECT_EQ(inked_in_box(render(BezierCurve(), 16, scale), 0, 0, at(640) - 1, at(640) - 1), 0);
}

// Markers are discs 5 units across at every scale: a pixel whose centre lies
// inside the disc about the point is inked, one whose centre lies outside is
// not. (The disc may be drawn as a polygon of 30 corners or more: pixels
// within 1 % of the radius of its rim may go either way.)
TEST_P(Drawing, MarkersAreDiscsFiveUnitsAcross)
{
    // Markers at many sub-pixel offsets, and no strip: one vertex draws none.
    BezierCurve curve;
    for (int i = 0; i < 64; ++i)
        curve.add_point(Vector2f(40.0f + 70.0f * static_cast<float>(i % 8) + 0.13f * static_cast<float>(i),
                                 40.0f + 70.0f * static_cast<float>(i / 8) + 0.07f * static_cast<float>(i)));
    const sf::Image drawn = render(curve, 0, scale);
    const double radius = 2.5 * scale;
    int differ = 0, near_markers = 0;
    for (int i = 0; i < curve.num_points(); ++i) {
        const double cx = curve.get_point(i).x * scale, cy = curve.get_point(i).y * scale;
        const int x = static_cast<int>(cx), y = static_cast<int>(cy), reach = static_cast<int>(radius) + 2;
        for (int dy = -reach; dy <= reach; ++dy)
            for (int dx = -reach; dx <= reach; ++dx) {
                const double distance = std::hypot(x + dx + 0.5 - cx, y + dy + 0.5 - cy);
                if (distance < 0.99 * radius || distance > radius)
                    differ += inked(drawn, x + dx, y + dy) != (distance < radius);
            }
        near_markers += inked_in_box(drawn, x - reach, y - reach, x + reach, y + reach);
    }
    EXPECT_EQ(differ, 0) << scale;
    const int side = static_cast<int>(drawn.getSize().x);
    EXPECT_EQ(inked_in_box(drawn, 0, 0, side - 1, side - 1), near_markers) << scale;
}

// One unit of the view thick at every scale: a line strip of one pixel at
// scale 1, a band `scale` pixels across above it (on average over where it
// falls between pixels, at fractional scales), with no gap at the joints.
TEST_P(Drawing, CurveIsOneUnitThick)
{
    const int side = static_cast<int>(std::lround(640 * scale)), cut = side * 5 / 8;
    // Where the band's width is not whole, lines a sixteenth of a pixel apart.
    double across = 0;
    const int offsets = scale == std::floor(scale) ? 1 : 16;
    for (int k = 0; k < offsets; ++k) {
        const float line = 300.0f + static_cast<float>(k) / (offsets * scale);
        BezierCurve flat, upright;
        flat.add_point(Vector2f(100, line));
        flat.add_point(Vector2f(500, line));
        upright.add_point(Vector2f(line, 100));
        upright.add_point(Vector2f(line, 500));
        across += inked_in_box(render(flat, 16, scale), cut, 0, cut, side - 1);
        across += inked_in_box(render(upright, 16, scale), 0, cut, side - 1, cut);
    }
    EXPECT_NEAR(across / (2 * offsets), scale, 0.125) << scale;
    // The arch rises in x throughout: every column between the markers
    // holds ink, at least the band's whole pixels.
    const sf::Image arch_image = render(arch(), 16, scale);
    for (int x = at(104); x < at(496); ++x)
        ASSERT_GE(inked_in_box(arch_image, x, 0, x, side - 1), static_cast<int>(scale))
            << scale << ": column " << x;
}
