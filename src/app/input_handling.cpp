#include "app/input_handling.h"

#include <limits>

namespace {

void handle_key(EditorEvent::Key key, EditorState& editor)
{
    switch (key) {
    case EditorEvent::Key::H:
        editor.hide_text = !editor.hide_text;
        break;
    case EditorEvent::Key::R:
        // The selection survives: set_point ignores an index that has gone.
        editor.bezier_curve.clear();
        break;
    case EditorEvent::Key::Up:
        if (editor.num_segments < std::numeric_limits<int>::max())
            ++editor.num_segments;
        break;
    case EditorEvent::Key::Down:
        if (--editor.num_segments < 1)
            editor.num_segments = 1;
        break;
    case EditorEvent::Key::Other:
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

void handle_event(const EditorEvent& event, const PixelToCoords& to_coords, EditorState& editor)
{
    switch (event.type) {
    case EditorEvent::Type::KeyPressed:
        handle_key(event.key, editor);
        break;
    case EditorEvent::Type::ButtonPressed:
        if (event.button == EditorEvent::Button::Left)
            handle_left_press(to_coords(event.x, event.y), editor);
        break;
    case EditorEvent::Type::ButtonReleased:
        if (event.button == EditorEvent::Button::Left)
            editor.selected_point = -1;
        break;
    case EditorEvent::Type::Closed:
    case EditorEvent::Type::Other:
        break;
    }
}

void apply_drag(const LiveMouse& mouse, EditorState& editor)
{
    if (editor.selected_point >= 0 && mouse.left_held())
        editor.bezier_curve.set_point(editor.selected_point, mouse.position());
}
