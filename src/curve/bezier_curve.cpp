#include "curve/bezier_curve.h"

#include "curve/bernstein.h"
#include "curve/binomial_table.h"
#include "curve/powers.h"

#include <SFML/Graphics/CircleShape.hpp>
#include <SFML/Graphics/RenderTarget.hpp>
#include <SFML/Graphics/VertexArray.hpp>

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

namespace {

BinomialTable& shared_binomial_table()
{
    static BinomialTable table;
    return table;
}

// Row n of the shared table, C(n, 0) .. C(n, n) as stored (modulo 2^32); the
// entries stay in place for the rest of the process.
const std::uint32_t* binomial_row(unsigned int n)
{
    return shared_binomial_table().row(n);
}

}

int BezierCurve::add_point(const Vector2f& pos)
{
    points.push_back(pos);
    return num_points() - 1;
}

int BezierCurve::insert_point(int index, const Vector2f& pos)
{
    if (index < 0 || index > num_points())
        throw std::out_of_range("BezierCurve::insert_point: index out of range");
    points.insert(points.begin() + index, pos);
    return index;
}

void BezierCurve::clear()
{
    points.clear();
}

Vector2f BezierCurve::get_point(int index) const
{
    if (index < 0)
        throw std::out_of_range("BezierCurve::get_point: index out of range");
    return points.at(static_cast<std::size_t>(index));
}

void BezierCurve::set_point(int index, const Vector2f& pos)
{
    if (index >= 0 && index < num_points())
        points[static_cast<std::size_t>(index)] = pos;
}

Vector2f BezierCurve::evaluate(float t) const
{
    const int count = num_points();
    if (count > max_exact_points)
        return bernstein_mean(points.data(), count, t);

    const int n = count - 1;
    float powers_t[max_exact_points];
    float powers_u[max_exact_points];
    fill_powers(t, n, powers_t);
    fill_powers(1.0f - t, n, powers_u);

    Vector2f sum;
    for (int i = 0; i <= n; ++i) {
        const float c = static_cast<float>(
            binomial(static_cast<unsigned int>(n), static_cast<unsigned int>(i)));
        sum += points[static_cast<std::size_t>(i)] * c * powers_u[n - i] * powers_t[i];
    }
    return sum;
}

Vector2f BezierCurve::evaluate_coordinates(float t) const
{
    const int count = num_points();
    if (count > max_exact_points)
        return bernstein_mean(points.data(), count, t);
    const std::uint32_t* row = count > 0 ? binomial_row(static_cast<unsigned int>(count - 1)) : nullptr;
    return bernstein_fixed(points.data(), count, t, row);
}

float BezierCurve::evaluate_x(float t) const
{
    return evaluate_coordinates(t).x;
}

float BezierCurve::evaluate_y(float t) const
{
    return evaluate_coordinates(t).y;
}

namespace {

// The strip as pieces one unit wide: two triangles for each piece of
// non-zero length, which a line strip would draw and a band of zero length
// would not. Each piece runs half a unit past both its ends.
std::vector<sf::Vertex> band(const sf::VertexArray& strip)
{
    std::vector<sf::Vertex> triangles;
    triangles.reserve(6 * (strip.getVertexCount() - 1));
    for (std::size_t i = 1; i < strip.getVertexCount(); ++i) {
        const sf::Vector2f from = strip[i - 1].position;
        const sf::Vector2f to = strip[i].position;
        const float dx = to.x - from.x;
        const float dy = to.y - from.y;
        const float length = std::sqrt(dx * dx + dy * dy);
        if (!(length > 0.0f))
            continue;
        const sf::Vector2f along(0.5f * dx / length, 0.5f * dy / length);
        const sf::Vector2f across(-along.y, along.x);
        const sf::Vector2f a = from - along + across;
        const sf::Vector2f b = from - along - across;
        const sf::Vector2f c = to + along + across;
        const sf::Vector2f d = to + along - across;
        for (const sf::Vector2f& corner : {a, b, c, c, b, d}) {
            sf::Vertex vertex = strip[i];
            vertex.position = corner;
            triangles.push_back(vertex);
        }
    }
    return triangles;
}

void draw_strip(const BezierCurve& curve, sf::RenderTarget& target, int segments, sf::Color color, float scale)
{
    sf::VertexArray verts;
    sf::Vertex vert;
    Vector2f p = curve.evaluate_coordinates(0.0f);
    vert.position = sf::Vector2f(p.x, p.y);
    vert.color = color;
    verts.append(vert);

    if (segments >= 1) {
        const float step = 1.0f / static_cast<float>(segments);
        for (int i = 1; i <= segments; ++i) {
            // Formed afresh from i: at some counts (41, 47, ...) the last t
            // is 0.99999994, and the strip stops a hair short of Pn.
            const float t = static_cast<float>(i) * step;
            p = curve.evaluate_coordinates(t);
            vert.position = sf::Vector2f(p.x, p.y);
            verts.append(vert);
        }
    }
    if (scale > 1.0f) {
        const std::vector<sf::Vertex> triangles = band(verts);
        target.draw(triangles.data(), triangles.size(), sf::PrimitiveType::Triangles, sf::RenderStates::Default);
    } else {
        target.draw(&verts[0], verts.getVertexCount(), sf::PrimitiveType::LineStrip, sf::RenderStates::Default);
    }
}

}

void BezierCurve::draw(sf::RenderTarget& target, int segments, sf::Color color, float scale) const
{
    // With fewer than two points every vertex is the same (the origin, or
    // P0 under its disc): a strip of no length, which inks no pixel.
    if (points.size() >= 2)
        draw_strip(*this, target, segments, color, scale);

    sf::CircleShape circle(0.0f, 30);
    circle.setRadius(2.5f);
    circle.setOrigin(sf::Vector2f(circle.getRadius(), circle.getRadius()));
    circle.setFillColor(color);
    for (std::size_t j = 0; j < points.size(); ++j) {
        circle.setPosition(sf::Vector2f(points[j].x, points[j].y));
        target.draw(circle, sf::RenderStates::Default);
    }
}

int binomial(unsigned int n, unsigned int k)
{
    return static_cast<int>(shared_binomial_table().get(n, k));
}

