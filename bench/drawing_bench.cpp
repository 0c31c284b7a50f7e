// One frame's drawing of a curve into a 640 x 640 texture, against drawing
// the same vertices and markers computed beforehand: the difference is what
// evaluating the curve adds to a frame. Needs an X server.
#include "sfml/sfml_version.h"
#include "bench_curves.h"

#include <SFML/Graphics.hpp>
#include <benchmark/benchmark.h>

#include <cstddef>
#include <vector>

namespace {

struct Frame {
    sf::RenderTexture texture;

    Frame() { create_texture(texture, sf::Vector2u(640, 640)); }

    template <typename Draw>
    void run(benchmark::State& state, Draw draw)
    {
        for (auto _ : state) {
            texture.clear(sf::Color::White);
            draw(texture);
            texture.display();
        }
    }
};

void BM_DrawCurve(benchmark::State& state)
{
    const BezierCurve curve = bench_curve(static_cast<int>(state.range(0)));
    const int segments = static_cast<int>(state.range(1));
    Frame frame;
    frame.run(state, [&](sf::RenderTarget& target) { curve.draw(target, segments, sf::Color::Black); });
}

void BM_DrawPrecomputed(benchmark::State& state)
{
    const BezierCurve curve = bench_curve(static_cast<int>(state.range(0)));
    const int segments = static_cast<int>(state.range(1));
    std::vector<sf::Vertex> strip(static_cast<std::size_t>(segments) + 1);
    const float step = 1.0f / static_cast<float>(segments);
    for (int i = 0; i <= segments; ++i) {
        const float t = static_cast<float>(i) * step;
        strip[static_cast<std::size_t>(i)].position = sf::Vector2f(curve.evaluate_x(t), curve.evaluate_y(t));
        strip[static_cast<std::size_t>(i)].color = sf::Color::Black;
    }
    sf::CircleShape circle(2.5f, 30);
    circle.setOrigin(sf::Vector2f(2.5f, 2.5f));
    circle.setFillColor(sf::Color::Black);
    Frame frame;
    frame.run(state, [&](sf::RenderTarget& target) {
        target.draw(strip.data(), strip.size(), sf::PrimitiveType::LineStrip);
        for (int j = 0; j < curve.num_points(); ++j) {
            circle.setPosition(sf::Vector2f(curve.get_point(j).x, curve.get_point(j).y));
            target.draw(circle);
        }
    });
}

}

BENCHMARK(BM_DrawCurve)->Args({34, 16})->Args({1000, 1000});
BENCHMARK(BM_DrawPrecomputed)->Args({34, 16})->Args({1000, 1000});
