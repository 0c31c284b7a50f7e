#include "app/input_handling.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

const PixelToCoords identity = [](int x, int y) {
    return Vector2f(static_cast<float>(x), static_cast<float>(y));
};

EditorEvent button_event(EditorEvent::Type type, EditorEvent::Button button, int x, int y)
{
    EditorEvent event;
    event.type = type;
    event.button = button;
    event.x = x;
    event.y = y;
    return event;
}

EditorEvent key_event(EditorEvent::Key key)
{
    EditorEvent event;
    event.type = EditorEvent::Type::KeyPressed;
    event.key = key;
    return event;
}

constexpr EditorEvent::Button left = EditorEvent::Button::Left;
constexpr EditorEvent::Button other_button = EditorEvent::Button::Other;

void press(EditorState& editor, int x, int y, EditorEvent::Button button = left,
           const PixelToCoords& to_coords = identity)
{
    handle_event(button_event(EditorEvent::Type::ButtonPressed, button, x, y), to_coords, editor);
}

void release(EditorState& editor, EditorEvent::Button button = left)
{
    handle_event(button_event(EditorEvent::Type::ButtonReleased, button, 0, 0), identity, editor);
}

void click(EditorState& editor, int x, int y)
{
    press(editor, x, y);
    release(editor);
}

void key(EditorState& editor, EditorEvent::Key code)
{
    handle_event(key_event(code), identity, editor);
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

std::vector<Vector2f> points_of(const EditorState& editor)
{
    std::vector<Vector2f> points;
    for (int i = 0; i < editor.bezier_curve.num_points(); ++i)
        points.push_back(editor.bezier_curve.get_point(i));
    return points;
}

void expect_points(const EditorState& editor, const std::vector<Vector2f>& expected)
{
    ASSERT_EQ(editor.bezier_curve.num_points(), static_cast<int>(expected.size()));
    for (int i = 0; i < editor.bezier_curve.num_points(); ++i) {
        EXPECT_EQ(editor.bezier_curve.get_point(i).x, expected[i].x) << "point " << i;
        EXPECT_EQ(editor.bezier_curve.get_point(i).y, expected[i].y) << "point " << i;
    }
}

}

TEST(Clicks, FirstAppendsThenEachInsertsAtIndexOne)
{
    EditorState editor;
    click(editor, 100, 100);
    expect_points(editor, {{100, 100}});
    click(editor, 500, 100);
    click(editor, 300, 500);
    expect_points(editor, {{100, 100}, {300, 500}, {500, 100}});
    click(editor, 50, 600);
    expect_points(editor, {{100, 100}, {50, 600}, {300, 500}, {500, 100}});
    EXPECT_EQ(editor.selected_point, -1);  // a new point is not picked
}

TEST(Picking, StrictlyWithinFivePixelsOnBothAxes)
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
    EXPECT_EQ(editor.bezier_curve.num_points(), 2);
    release(editor);
    press(editor, 0, -500, left, off_by);  // exactly 5 on y: a miss
    EXPECT_EQ(editor.bezier_curve.num_points(), 3);
}

TEST(Picking, LowestIndexWins)
{
    EditorState editor;
    for (const Vector2f& p : {Vector2f(300, 300), Vector2f(106, 100), Vector2f(200, 200),
                              Vector2f(104, 100)})
        editor.bezier_curve.add_point(p);
    press(editor, 105, 100);  // within reach of points 1 and 3
    EXPECT_EQ(editor.selected_point, 1);
    EXPECT_EQ(editor.bezier_curve.num_points(), 4);
}

TEST(Dragging, FollowsTheMouseWhileHeldAndStopsOnRelease)
{
    EditorState editor = holding_second_of_two();

    apply_drag(mouse_at(true, Vector2f(520, 140)), editor);
    expect_points(editor, {{100, 100}, {520, 140}});
    apply_drag(mouse_at(true, Vector2f(-300, 2000)), editor);  // outside the window too
    expect_points(editor, {{100, 100}, {-300, 2000}});
    apply_drag(mouse_at(false, Vector2f(0, 0)), editor);  // button up, release not yet seen
    expect_points(editor, {{100, 100}, {-300, 2000}});

    release(editor);
    bool asked = false;
    const LiveMouse watched{[&asked] { return asked = true; },
                            [&asked] { asked = true; return Vector2f(7, 7); }};
    apply_drag(watched, editor);
    EXPECT_FALSE(asked);  // nothing picked: no need to ask the window
    expect_points(editor, {{100, 100}, {-300, 2000}});
}

TEST(Dragging, PressWhileDraggingReselectsOrKeepsTheOldSelection)
{
    EditorState editor = holding_second_of_two();
    press(editor, 300, 300);  // a miss keeps the selection and adds nothing
    EXPECT_EQ(editor.selected_point, 1);
    EXPECT_EQ(editor.bezier_curve.num_points(), 2);
    press(editor, 100, 100);  // a hit re-selects
    EXPECT_EQ(editor.selected_point, 0);
}

TEST(Keys, SegmentsHaveAFloorOfOneAndUpSaturates)
{
    EditorState editor;
    for (int i = 0; i < 20; ++i)
        key(editor, EditorEvent::Key::Down);
    EXPECT_EQ(editor.num_segments, 1);
    key(editor, EditorEvent::Key::Up);
    key(editor, EditorEvent::Key::Up);
    EXPECT_EQ(editor.num_segments, 3);

    editor.num_segments = 2147483647;  // Up saturates rather than overflow
    key(editor, EditorEvent::Key::Up);
    EXPECT_EQ(editor.num_segments, 2147483647);
}

TEST(Keys, ClearKeepsAStaleSelectionThatDragIgnores)
{
    EditorState editor = holding_second_of_two();

    key(editor, EditorEvent::Key::R);
    EXPECT_EQ(editor.bezier_curve.num_points(), 0);
    EXPECT_EQ(editor.selected_point, 1);
    apply_drag(mouse_at(true, Vector2f(10, 10)), editor);
    EXPECT_EQ(editor.bezier_curve.num_points(), 0);

    release(editor);
    click(editor, 200, 200);  // the next click starts a new curve
    expect_points(editor, {{200, 200}});
}

// Every kind of event, from an editor with three points and five segments:
// each changes exactly its own field, and every other field, the points
// included, stays as it was.
TEST(Events, EachChangesItsOwnFieldAndNothingElse)
{
    struct Case {
        const char* name;
        int picked;  // selected_point before the event
        EditorEvent event;
        std::function<void(EditorState&)> change;
    };
    using Type = EditorEvent::Type;
    using Key = EditorEvent::Key;
    const auto nothing = [](EditorState&) {};
    const Case cases[] = {
        {"H", -1, key_event(Key::H), [](EditorState& e) { e.hide_text = true; }},
        {"R", -1, key_event(Key::R), [](EditorState& e) { e.bezier_curve.clear(); }},
        {"Up", -1, key_event(Key::Up), [](EditorState& e) { e.num_segments = 6; }},
        {"Down", -1, key_event(Key::Down), [](EditorState& e) { e.num_segments = 4; }},
        {"other key", -1, key_event(Key::Other), nothing},
        {"left press on space", -1, button_event(Type::ButtonPressed, left, 200, 200),
         [](EditorState& e) { e.bezier_curve.insert_point(1, Vector2f(200, 200)); }},
        {"left press on a point", -1, button_event(Type::ButtonPressed, left, 501, 102),
         [](EditorState& e) { e.selected_point = 2; }},
        {"left release", 2, button_event(Type::ButtonReleased, left, 200, 200),
         [](EditorState& e) { e.selected_point = -1; }},
        {"other press on space", -1, button_event(Type::ButtonPressed, other_button, 200, 200), nothing},
        {"other press on a point", -1, button_event(Type::ButtonPressed, other_button, 100, 100), nothing},
        {"other release", 2, button_event(Type::ButtonReleased, other_button, 100, 100), nothing},
        {"close", -1, button_event(Type::Closed, left, 200, 200), nothing},
        {"other event", -1, button_event(Type::Other, left, 200, 200), nothing},
    };
    for (const Case& c : cases) {
        EditorState editor;
        for (const Vector2f& p : {Vector2f(100, 100), Vector2f(300, 500), Vector2f(500, 100)})
            editor.bezier_curve.add_point(p);
        editor.num_segments = 5;
        editor.selected_point = c.picked;
        EditorState expected = editor;
        c.change(expected);

        handle_event(c.event, identity, editor);
        SCOPED_TRACE(c.name);
        expect_points(editor, points_of(expected));
        EXPECT_EQ(editor.num_segments, expected.num_segments);
        EXPECT_EQ(editor.hide_text, expected.hide_text);
        EXPECT_EQ(editor.selected_point, expected.selected_point);
    }
}

TEST(Mapping, PixelsAreMappedIntoDrawingCoordinates)
{
    // A window stretched to twice its size: pixel (200, 200) shows (100, 100).
    const PixelToCoords halve = [](int x, int y) {
        return Vector2f(static_cast<float>(x) / 2.0f, static_cast<float>(y) / 2.0f);
    };
    EditorState editor;
    press(editor, 200, 200, left, halve);
    release(editor);
    expect_points(editor, {{100, 100}});
    press(editor, 204, 196, left, halve);  // (102, 98): a hit
    EXPECT_EQ(editor.selected_point, 0);
    EXPECT_EQ(editor.bezier_curve.num_points(), 1);
}
