#ifndef ORRINADE_APP_EDITOR_EVENT_H
#define ORRINADE_APP_EDITOR_EVENT_H

// One window event as the editor sees it, the same under every SFML version:
// a close request, a key press, or a mouse button pressed or released at a
// window pixel. Whatever else the window reports is Other.
struct EditorEvent {
    enum class Type { Other, Closed, KeyPressed, ButtonPressed, ButtonReleased };
    enum class Key { Other, H, R, Up, Down };
    enum class Button { Other, Left };

    Type type = Type::Other;
    Key key = Key::Other;           // KeyPressed only
    Button button = Button::Other;  // ButtonPressed and ButtonReleased only
    int x = 0;                      // the pointer's window pixel, for buttons
    int y = 0;
};

#endif
