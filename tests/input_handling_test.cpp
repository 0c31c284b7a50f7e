#include "app/input_handling.h"

#include <gtest/gtest.h>

#include <functional>
#include <tuple>
#include <utility>
#include <vector>

namespace {

const PixelToCoords identity = [](int x, int y) {
    return Vector2f(static_cast<float>(x), static_cast<float>(y));
};

using Type = EditorEvent::Type;
using Key = EditorEvent::Key;
constexpr EditorEvent::Button left = EditorEvent::Button::Left;
constexpr EditorEvent::Button other_button = EditorEvent::Button::Other;

void press(EditorState& editor, int x, int y, EditorEvent::Button button = left,
           const PixelToCoords& to_coords = identity)
{
    handle_event({Type::ButtonPressed, Key::Other, button, x, y}, to_coords, editor);
}

void release(EditorState& editor, EditorEvent::Button button = left)
{
    handle_event({Type::ButtonReleased, Key::Other, button, 0, 0}, identity, editor);
}

void click(EditorState& editor, int x, int y)
{
    press(editor, x, y);
    release(editor);
}

LiveMouse mouse_at(bool left_held, const Vector2f& position)
{
    return LiveMouse{[left_held] { return left_held; }, [position] { return position; }};
}

// Points (100, 100) and (500, 100), the second picked by a press within reach.
EditorState holding_second_of_two()
{
    EditorState editor;
    click(editor, 100, 100);
    click(editor, 500, 100);
    press(editor, 501, 99);
    EXPECT_EQ(editor.selected_point, 1);
    return editor;
}

using Points = std::vector<std::pair<float, float>>;

Points points_of(const EditorState& editor)
{
    Points points;
    for (int i = 0; i < editor.bezier_curve.num_points(); ++i)
        points.emplace_back(editor.bezier_curve.get_point(i).x, editor.bezier_curve.get_point(i).y);
    return points;
}

}

// Presses are mapped into drawing coordinates (here a hundredth of a pixel
// each, from (100, 100)) before they are compared or added.
TEST(Picking, LowestIndexStrictlyWithinFivePixelsOnBothAxes)
{
    EditorState editor;
    editor.bezier_curve.add_point(Vector2f(100.0f, 100.0f));

    const PixelToCoords off_by = [](int dx, int dy) {
        return Vector2f(100.0f + static_cast<float>(dx) / 100.0f,
                        100.0f + static_cast<float>(dy) / 100.0f);
    };
    press(editor, 499, -499, left, off_by);  // 4.99 on both axes
    EXPECT_EQ(editor.selected_point, 0);
    EXPECT_EQ(editor.bezier_curve.num_points(), 1);
    release(editor);
    EXPECT_EQ(editor.selected_point, -1);

    press(editor, 500, 0, left, off_by);  // exactly 5 on x: a miss
    EXPECT_EQ(editor.selected_point, -1);
    EXPECT_EQ(points_of(editor), (Points{{100, 100}, {105, 100}}));
    release(editor);
    press(editor, 0, -500, left, off_by);  // exactly 5 on y: a miss
    EXPECT_EQ(points_of(editor), (Points{{100, 100}, {100, 95}, {105, 100}}));

    editor = EditorState{};  // the lowest index wins
    for (const Vector2f& p : {Vector2f(300, 300), Vector2f(106, 100), Vector2f(200, 200),
                              Vector2f(104, 100)})
        editor.bezier_curve.add_point(p);
    press(editor, 105, 100);  // within reach of points 1 and 3
    EXPECT_EQ(editor.selected_point, 1);
    EXPECT_EQ(editor.bezier_curve.num_points(), 4);
}

TEST(Dragging, FollowsTheMouseUntilReleasedOrClearedAndPressesReselect)
{
    EditorState editor = holding_second_of_two();

    apply_drag(mouse_at(true, Vector2f(520, 140)), editor);
    EXPECT_EQ(points_of(editor), (Points{{100, 100}, {520, 140}}));
    apply_drag(mouse_at(true, Vector2f(-300, 2000)), editor);  // outside the window too
    EXPECT_EQ(points_of(editor), (Points{{100, 100}, {-300, 2000}}));
    apply_drag(mouse_at(false, Vector2f(0, 0)), editor);  // button up, release not yet seen
    EXPECT_EQ(points_of(editor), (Points{{100, 100}, {-300, 2000}}));

    release(editor);
    bool asked = false;
    const LiveMouse watched{[&asked] { return asked = true; },
                            [&asked] { asked = true; return Vector2f(7, 7); }};
    apply_drag(watched, editor);
    EXPECT_FALSE(asked);  // nothing picked: no need to ask the window
    EXPECT_EQ(points_of(editor), (Points{{100, 100}, {-300, 2000}}));

    editor = holding_second_of_two();  // a press while dragging
    press(editor, 300, 300);  // a miss keeps the selection and adds nothing
    EXPECT_EQ(editor.selected_point, 1);
    EXPECT_EQ(editor.bezier_curve.num_points(), 2);
    press(editor, 100, 100);  // a hit re-selects
    EXPECT_EQ(editor.selected_point, 0);

    editor = holding_second_of_two();  // R keeps a stale selection, which drags ignore
    handle_event({Type::KeyPressed, Key::R}, identity, editor);
    EXPECT_EQ(editor.bezier_curve.num_points(), 0);
    EXPECT_EQ(editor.selected_point, 1);
    apply_drag(mouse_at(true, Vector2f(10, 10)), editor);
    EXPECT_EQ(editor.bezier_curve.num_points(), 0);

    release(editor);
    click(editor, 200, 200);  // the next click starts a new curve
    EXPECT_EQ(points_of(editor), (Points{{200, 200}}));
}

// Every kind of event, from an editor with three points and five segments
// (or those given): each changes exactly its own field, and every other
// field, the points included, stays as it was. Segments never go below one,
// and Up saturates rather than overflow.
TEST(Events, EachChangesItsOwnFieldAndNothingElse)
{
    struct Case {
        const char* name;
        int picked;  // selected_point before the event
        EditorEvent event;
        std::function<void(EditorState&)> change;
        int segments = 5;
    };
    const auto nothing = [](EditorState&) {};
    const auto fields = [](const EditorState& e) {
        return std::make_tuple(points_of(e), e.num_segments, e.hide_text, e.selected_point);
    };
    const Case cases[] = {
        {"H", -1, {Type::KeyPressed, Key::H}, [](EditorState& e) { e.hide_text = true; }},
        {"R", -1, {Type::KeyPressed, Key::R}, [](EditorState& e) { e.bezier_curve.clear(); }},
        {"Up", -1, {Type::KeyPressed, Key::Up}, [](EditorState& e) { e.num_segments = 6; }},
        {"Down", -1, {Type::KeyPressed, Key::Down}, [](EditorState& e) { e.num_segments = 4; }},
        {"Down at one", -1, {Type::KeyPressed, Key::Down}, nothing, 1},
        {"Up at the most", -1, {Type::KeyPressed, Key::Up}, nothing, 2147483647},
        {"other key", -1, {Type::KeyPressed, Key::Other}, nothing},
        {"left press on space", -1, {Type::ButtonPressed, Key::Other, left, 200, 200},
         [](EditorState& e) { e.bezier_curve.insert_point(1, Vector2f(200, 200)); }},
        {"left press on a point", -1, {Type::ButtonPressed, Key::Other, left, 501, 102},
         [](EditorState& e) { e.selected_point = 2; }},
        {"left release", 2, {Type::ButtonReleased, Key::Other, left, 200, 200},
         [](EditorState& e) { e.selected_point = -1; }},
        {"other press on space", -1, {Type::ButtonPressed, Key::Other, other_button, 200, 200}, nothing},
        {"other press on a point", -1, {Type::ButtonPressed, Key::Other, other_button, 100, 100}, nothing},
        {"other release", 2, {Type::ButtonReleased, Key::Other, other_button, 100, 100}, nothing},
        {"close", -1, {Type::Closed, Key::Other, left, 200, 200}, nothing},
        {"other event", -1, {Type::Other, Key::Other, left, 200, 200}, nothing},
    };
    for (const Case& c : cases) {
        EditorState editor;
        for (const Vector2f& p : {Vector2f(100, 100), Vector2f(300, 500), Vector2f(500, 100)})
            editor.bezier_curve.add_point(p);
        editor.num_segments = c.segments;
        editor.selected_point = c.picked;
        EditorState expected = editor;
        c.change(expected);

        handle_event(c.event, identity, editor);
        EXPECT_EQ(fields(editor), fields(expected)) << c.name;
    }
}
