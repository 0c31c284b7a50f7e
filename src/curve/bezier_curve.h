#ifndef ORRINADE_CURVE_BEZIER_CURVE_H
#define ORRINADE_CURVE_BEZIER_CURVE_H

#include "curve/vector2f.h"

#include <SFML/Graphics/Color.hpp>

#include <vector>

namespace sf {
class RenderTarget;
}

// The ordered control points P0 .. Pn of one Bezier curve of any degree.
// Indices are counted from 0; a point's index is its position in the curve.
class BezierCurve {
public:
    BezierCurve() {}
    ~BezierCurve() {}

    int num_points() const { return static_cast<int>(points.size()); }

    // Appends pos after the last point and returns its index.
    int add_point(const Vector2f& pos);

    // Makes pos the point at index, moving the points from index on up by one.
    // Range [0 .. num_points()]; num_points() appends. Returns index.
    // Throws std::out_of_range for an index outside the range.
    int insert_point(int index, const Vector2f& pos);

    void clear();

    // Range [0 .. num_points() - 1]; throws std::out_of_range outside it.
    Vector2f get_point(int index) const;

    // Replaces the point at index; an index outside [0 .. num_points() - 1]
    // leaves the curve unchanged and reports nothing.
    void set_point(int index, const Vector2f& pos);

    // The curve point at t, in [0, 1] (outside it the same polynomial is
    // extrapolated). An empty curve gives 0; t = 0 gives P0 and t = 1 gives
    // Pn exactly. Up to 34 points the results are bit-exact Bernstein sums
    // with integer binomial coefficients (evaluate in float arithmetic,
    // evaluate_x and evaluate_y with double terms and a float running sum);
    // above that, the true curve to well within a thousandth of a pixel.
    // Each costs time in proportion to num_points().
    Vector2f evaluate(float t) const;
    float evaluate_x(float t) const;
    float evaluate_y(float t) const;

    // (evaluate_x(t), evaluate_y(t)) bit for bit, in one pass.
    Vector2f evaluate_coordinates(float t) const;

    // Draws the curve as one strip through the points at t = i * step,
    // i = 0 .. segments, step = 1 / segments as a float (just one vertex when
    // segments < 1; no strip at all, since it would have no length, where
    // the curve has fewer than two points), then a disc of radius 2.5 centred on each control point
    // in index order, everything in `color`, in one draw for the strip and
    // one for each disc. `scale` is how many of the target's pixels its view
    // gives each unit: at 1 or less the strip is a line strip, one pixel wide;
    // above, a band one unit wide (square-ended pieces, each end reaching
    // half a unit past its vertex, which closes the joints), so that the
    // curve keeps its weight beside the discs at any scale.
    void draw(sf::RenderTarget& target, int segments, sf::Color color, float scale = 1.0f) const;

private:
    std::vector<Vector2f> points;
};

// C(n, k) for k <= n, from one process-wide table built on first use. Exact
// through n = 33; a k outside row n throws std::out_of_range.
int binomial(unsigned int n, unsigned int k);

#endif
