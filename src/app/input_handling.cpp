#include "app/input_handling.h"

#include <limits>

namespace {

void handle_key(sf::Keyboard::Key code, EditorState& editor)
{
    switch (code) {
    case sf::Keyboard::H:
        editor.hide_text = !editor.hide_text;
        break;
    case sf::Keyboard::R:
        // The selection survives: set_point ignores an index that has gone.
        editor.bezier_curve.clear();
        break;
    case sf::Keyboard::Up:
        if (editor.num_segments < std::numeric_limits<int>::max())
            ++editor.num_segments;
        break;
    case sf::Keyboard::Down:
        if (--editor.num_segments < 1)
            editor.num_segments = 1;
        break;
    default:
        break;
    }
}

void handle_left_press(const Vector2f& p, EditorState& editor)
{
    BezierCurve& curve = editor.bezier_curve;
    for (int i = 0; i < curve.num_points(); ++i) {
        const Vector2f ctrl_point_pos = curve.get_point(i);
        if (ctrl_point_pos.is_near(p, hit_tolerance)) {
            editor.selected_point = i;
            break;
        }
    }
    if (editor.selected_point >= 0)
        return;
    if (curve.num_points() == 0)
        curve.add_point(p);
    else
        curve.insert_point(1, p);
}

}

void handle_event(const sf::Event& event, const PixelToCoords& to_coords, EditorState& editor)
{
    switch (event.type) {
    case sf::Event::KeyPressed:
        handle_key(event.key.code, editor);
        break;
    case sf::Event::MouseButtonPressed:
        if (event.mouseButton.button == sf::Mouse::Left)
            handle_left_press(to_coords(event.mouseButton.x, event.mouseButton.y), editor);
        break;
    case sf::Event::MouseButtonReleased:
        if (event.mouseButton.button == sf::Mouse::Left)
            editor.selected_point = -1;
        break;
    default:
        break;
    }
}

void apply_drag(const LiveMouse& mouse, EditorState& editor)
{
    if (editor.selected_point >= 0 && mouse.left_held())
        editor.bezier_curve.set_point(editor.selected_point, mouse.position());
}
