#ifndef ORRINADE_APP_EDITOR_STATE_H
#define ORRINADE_APP_EDITOR_STATE_H

#include "curve/bezier_curve.h"

// Everything the user edits, owned by the frame loop for the whole run.
struct EditorState {
    BezierCurve bezier_curve;
    int num_segments = 16;    // never below 1
    bool hide_text = false;
    int selected_point = -1;  // index of the point being dragged, or -1
};

#endif
