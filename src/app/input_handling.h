#ifndef ORRINADE_APP_INPUT_HANDLING_H
#define ORRINADE_APP_INPUT_HANDLING_H

#include "app/editor_event.h"
#include "app/editor_state.h"
#include "curve/vector2f.h"

#include <functional>

// Maps a window pixel to the coordinates the curve is drawn in. The two
// differ once the window has been resized, since the view stays as it was.
using PixelToCoords = std::function<Vector2f(int x, int y)>;

// Half-width of the square around a control point in which a press picks it.
constexpr float hit_tolerance = 5.0f;

// Acts on key presses and button presses and releases; every other event
// changes nothing.
//   left press:   picks the lowest-index point within hit_tolerance on both
//                 axes; on a miss, with nothing picked, adds a point there
//                 (appended to an empty curve, otherwise inserted at index 1)
//   left release: drops the picked point
//   H: toggles the status text   R: removes every point
//   Up / Down: one segment more / fewer, never below 1
void handle_event(const EditorEvent& event, const PixelToCoords& to_coords, EditorState& editor);

// The live mouse as the window reports it: whether the left button is held,
// and where the pointer is, in drawing coordinates and not clamped to the
// window.
struct LiveMouse {
    std::function<bool()> left_held;
    std::function<Vector2f()> position;
};

// Once a frame: while a point is picked and the left button is held, the
// point follows the pointer. The mouse is asked only while a point is picked.
void apply_drag(const LiveMouse& mouse, EditorState& editor);

#endif
