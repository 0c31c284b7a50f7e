#include "app/input_handling.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

const PixelToCoords identity = [](int x, int y) {
    return Vector2f(static_cast<float>(x), static_cast<float>(y));
};

sf::Event button_event(sf::Event::EventType type, sf::Mouse::Button button, int x, int y)
{
    sf::Event event;
    event.type = type;
    event.mouseButton.button = button;
    event.mouseButton.x = x;
    event.mouseButton.y = y;
    return event;
}

void press(EditorState& editor, int x, int y, sf::Mouse::Button button = sf::Mouse::Left,
           const PixelToCoords& to_coords = identity)
{
    handle_event(button_event(sf::Event::MouseButtonPressed, button, x, y), to_coords, editor);
}

void release(EditorState& editor, sf::Mouse::Button button = sf::Mouse::Left)
{
    handle_event(button_event(sf::Event::MouseButtonReleased, button, 0, 0), identity, editor);
}

void click(EditorState& editor, int x, int y)
{
    press(editor, x, y);
    release(editor);
}

void key(EditorState& editor, sf::Keyboard::Key code)
{
    sf::Event event;
    event.type = sf::Event::KeyPressed;
    event.key = sf::Event::KeyEvent{code, false, false, false, false};
    handle_event(event, identity, editor);
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

TEST(Clicks, OtherButtonsChangeNothing)
{
    EditorState editor;
    click(editor, 100, 100);
    for (sf::Mouse::Button button : {sf::Mouse::Right, sf::Mouse::Middle, sf::Mouse::XButton1}) {
        press(editor, 300, 300, button);
        press(editor, 100, 100, button);
        release(editor, button);
    }
    expect_points(editor, {{100, 100}});
    EXPECT_EQ(editor.selected_point, -1);
}

TEST(Picking, StrictlyWithinFivePixelsOnBothAxes)
{
    EditorState editor;
    editor.bezier_curve.add_point(Vector2f(100.0f, 100.0f));

    const PixelToCoords off_by = [](int dx, int dy) {
        return Vector2f(100.0f + static_cast<float>(dx) / 100.0f,
                        100.0f + static_cast<float>(dy) / 100.0f);
    };
    press(editor, 499, -499, sf::Mouse::Left, off_by);  // 4.99 on both axes
    EXPECT_EQ(editor.selected_point, 0);
    EXPECT_EQ(editor.bezier_curve.num_points(), 1);
    release(editor);
    EXPECT_EQ(editor.selected_point, -1);

    press(editor, 500, 0, sf::Mouse::Left, off_by);  // exactly 5 on x: a miss
    EXPECT_EQ(editor.selected_point, -1);
    EXPECT_EQ(editor.bezier_curve.num_points(), 2);
    release(editor);
    press(editor, 0, -500, sf::Mouse::Left, off_by);  // exactly 5 on y: a miss
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

TEST(Keys, ToggleClearAndSegmentsWithAFloorOfOne)
{
    EditorState editor;
    key(editor, sf::Keyboard::H);
    EXPECT_TRUE(editor.hide_text);
    key(editor, sf::Keyboard::H);
    EXPECT_FALSE(editor.hide_text);

    for (int i = 0; i < 20; ++i)
        key(editor, sf::Keyboard::Down);
    EXPECT_EQ(editor.num_segments, 1);
    key(editor, sf::Keyboard::Up);
    key(editor, sf::Keyboard::Up);
    EXPECT_EQ(editor.num_segments, 3);

    editor.num_segments = 2147483647;  // Up saturates rather than overflow
    key(editor, sf::Keyboard::Up);
    EXPECT_EQ(editor.num_segments, 2147483647);

    editor.num_segments = 16;
    for (sf::Keyboard::Key other : {sf::Keyboard::A, sf::Keyboard::Escape, sf::Keyboard::Left,
                                    sf::Keyboard::Space, sf::Keyboard::LShift, sf::Keyboard::Unknown})
        key(editor, other);
    EXPECT_EQ(editor.num_segments, 16);
    EXPECT_FALSE(editor.hide_text);
}

TEST(Keys, ClearKeepsAStaleSelectionThatDragIgnores)
{
    EditorState editor = holding_second_of_two();

    key(editor, sf::Keyboard::R);
    EXPECT_EQ(editor.bezier_curve.num_points(), 0);
    EXPECT_EQ(editor.selected_point, 1);
    apply_drag(mouse_at(true, Vector2f(10, 10)), editor);
    EXPECT_EQ(editor.bezier_curve.num_points(), 0);

    release(editor);
    click(editor, 200, 200);  // the next click starts a new curve
    expect_points(editor, {{200, 200}});
}

TEST(Events, OthersChangeNothing)
{
    EditorState editor;
    click(editor, 100, 100);
    for (sf::Event::EventType type : {sf::Event::KeyReleased, sf::Event::MouseMoved,
                                      sf::Event::MouseWheelScrolled, sf::Event::TextEntered,
                                      sf::Event::Resized, sf::Event::LostFocus}) {
        sf::Event event = button_event(type, sf::Mouse::Left, 300, 300);
        handle_event(event, identity, editor);
    }
    expect_points(editor, {{100, 100}});
    EXPECT_EQ(editor.num_segments, 16);
    EXPECT_FALSE(editor.hide_text);
    EXPECT_EQ(editor.selected_point, -1);
}

TEST(Mapping, PixelsAreMappedIntoDrawingCoordinates)
{
    // A window stretched to twice its size: pixel (200, 200) shows (100, 100).
    const PixelToCoords halve = [](int x, int y) {
        return Vector2f(static_cast<float>(x) / 2.0f, static_cast<float>(y) / 2.0f);
    };
    EditorState editor;
    press(editor, 200, 200, sf::Mouse::Left, halve);
    release(editor);
    expect_points(editor, {{100, 100}});
    press(editor, 204, 196, sf::Mouse::Left, halve);  // (102, 98): a hit
    EXPECT_EQ(editor.selected_point, 0);
    EXPECT_EQ(editor.bezier_curve.num_points(), 1);
}
