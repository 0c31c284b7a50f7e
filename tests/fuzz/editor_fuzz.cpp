// Turns bytes into a session of editing, applied through the input handling
// exactly as the frame loop applies window events, and checks after every
// step what must always hold against a plain model of the same edits.
#include "app/input_handling.h"

#include <SFML/Graphics/View.hpp>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace {

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data(data), size(size) {}

    bool empty() const { return at >= size; }

    std::uint8_t byte() { return at < size ? data[at++] : 0; }

    std::int32_t int32()
    {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i)
            v = (v << 8) | byte();
        return static_cast<std::int32_t>(v);
    }

private:
    const std::uint8_t* data;
    std::size_t size;
    std::size_t at = 0;
};

// The editor as a list of points and a selection, written out plainly.
struct Model {
    std::vector<Vector2f> points;
    int selected = -1;
    int segments = 16;

    void left_press(const Vector2f& p)
    {
        for (std::size_t i = 0; i < points.size(); ++i)
            if (std::fabs(points[i].x - p.x) < 5.0f && std::fabs(points[i].y - p.y) < 5.0f) {
                selected = static_cast<int>(i);
                return;
            }
        if (selected >= 0)
            return;
        points.insert(points.empty() ? points.end() : points.begin() + 1, p);
    }
};

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void check(const EditorState& editor, const Model& model)
{
    const BezierCurve& curve = editor.bezier_curve;
    require(curve.num_points() == static_cast<int>(model.points.size()));
    require(editor.selected_point == model.selected);
    require(editor.num_segments == model.segments && editor.num_segments >= 1);
    if (curve.num_points() == 0)
        return;

    const Vector2f first = curve.get_point(0);
    const Vector2f last = curve.get_point(curve.num_points() - 1);
    require(curve.evaluate_x(0.0f) == first.x && curve.evaluate_y(0.0f) == first.y);
    require(curve.evaluate_x(1.0f) == last.x && curve.evaluate_y(1.0f) == last.y);

    // The t values drawing reaches: all of them for small counts, the first
    // and last few otherwise.
    const int segments = editor.num_segments;
    const float step = 1.0f / static_cast<float>(segments);
    for (int i = 0; i <= segments; ++i) {
        if (i == 8 && segments > 16)
            i = segments - 8;
        const Vector2f p = curve.evaluate_coordinates(static_cast<float>(i) * step);
        require(std::isfinite(p.x) && std::isfinite(p.y));
    }
}

// A drawing coordinate back to a window pixel, clamped into int's range.
int to_pixel(float v)
{
    return static_cast<int>(std::fmax(-2e9, std::fmin(2e9, static_cast<double>(v))));
}

const EditorEvent::Key keys[] = {EditorEvent::Key::H, EditorEvent::Key::R, EditorEvent::Key::Up,
                                 EditorEvent::Key::Down, EditorEvent::Key::Other};

}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    Bytes in(data, size);
    EditorState editor;
    Model model;
    const sf::View view(sf::FloatRect(sf::Vector2f(0.0f, 0.0f), sf::Vector2f(640.0f, 640.0f)));
    float width = 640.0f, height = 640.0f;
    bool left_held = false;

    // What the window does: pixels through the unchanged view.
    const PixelToCoords to_coords = [&](int x, int y) {
        const sf::Vector2f normalized(-1.0f + 2.0f * static_cast<float>(x) / width,
                                      1.0f - 2.0f * static_cast<float>(y) / height);
        const sf::Vector2f p = view.getInverseTransform().transformPoint(normalized);
        return Vector2f(p.x, p.y);
    };
    // A pixel somewhere, near an existing point or anywhere at all.
    auto pixel = [&](int& x, int& y) {
        const std::uint8_t how = in.byte();
        if (how % 3 == 0 && !model.points.empty()) {
            const Vector2f p = model.points[in.byte() % model.points.size()];
            x = to_pixel(p.x * width / 640.0f) + static_cast<std::int8_t>(in.byte()) % 8;
            y = to_pixel(p.y * height / 640.0f) + static_cast<std::int8_t>(in.byte()) % 8;
        } else if (how % 3 == 1) {
            x = in.byte() * 3, y = in.byte() * 3;
        } else {
            x = in.int32(), y = in.int32();
        }
    };
    // A key pressed, in the editor and in the model.
    const auto press = [&](EditorEvent::Key key) {
        handle_event({EditorEvent::Type::KeyPressed, key}, to_coords, editor);
        if (key == EditorEvent::Key::R)
            model.points.clear();
        else if (key == EditorEvent::Key::Up)
            model.segments += model.segments < 2147483647;
        else if (key == EditorEvent::Key::Down)
            model.segments = model.segments > 1 ? model.segments - 1 : 1;
    };

    while (!in.empty()) {
        EditorEvent event;
        const std::uint8_t op = in.byte();
        switch (op % 7) {
        case 0:
        case 1: {  // a press or release of some button
            event.type = op % 7 == 0 ? EditorEvent::Type::ButtonPressed : EditorEvent::Type::ButtonReleased;
            event.button = in.byte() % 4 ? EditorEvent::Button::Left : EditorEvent::Button::Other;
            pixel(event.x, event.y);
            handle_event(event, to_coords, editor);
            if (event.button == EditorEvent::Button::Left) {
                left_held = event.type == EditorEvent::Type::ButtonPressed;
                if (left_held)
                    model.left_press(to_coords(event.x, event.y));
                else
                    model.selected = -1;
            }
            break;
        }
        case 2:  // a key
            press(keys[in.byte() % std::size(keys)]);
            break;
        case 3: {  // a frame: the mouse somewhere, maybe with the button held
            int x, y;
            pixel(x, y);
            const bool held = in.byte() % 4 ? left_held : !left_held;
            const Vector2f mouse = to_coords(x, y);
            apply_drag(LiveMouse{[held] { return held; }, [mouse] { return mouse; }}, editor);
            if (held && model.selected >= 0 && model.selected < static_cast<int>(model.points.size()))
                model.points[static_cast<std::size_t>(model.selected)] = mouse;
            break;
        }
        case 4:  // the window resized
            width = static_cast<float>(1 + in.byte() * 16 + in.byte() % 16);
            height = static_cast<float>(1 + in.byte() * 16 + in.byte() % 16);
            break;
        case 5:  // events that change nothing, whatever else they carry
            event.type = in.byte() % 2 ? EditorEvent::Type::Closed : EditorEvent::Type::Other;
            event.key = keys[in.byte() % std::size(keys)];
            event.button = EditorEvent::Button::Left;
            pixel(event.x, event.y);
            handle_event(event, to_coords, editor);
            break;
        case 6:  // many segments at once, as a held key repeats
            for (int i = in.byte(); i > 0; --i)
                press(EditorEvent::Key::Up);
            break;
        }
        check(editor, model);
    }
    return 0;
}
