// The least SFML program that shows what the editor's first frame shows: the
// editor's font (segoeui.ttf, from the working directory), "points: 0" and
// "segments: 16" in 20-pixel black text at (0, 0) and (0, 25) over the
// editor's background, in a 640 x 640 window titled Orrinade, drawn every
// frame until the window is closed. What the start-up benchmark measures the
// editor against: no desktop reads, no scaling, no placement.
#include "app/sfml_events.h"
#include "sfml/sfml_version.h"

int main()
{
    sf::Font font;
    if (!open_font(font, "segoeui.ttf"))
        return 1;
    sf::RenderWindow window;
    open_window(window, 640, "Orrinade", sf::ContextSettings());
    sf::Text points = make_text(font, 20, sf::Vector2f(0.0f, 0.0f));
    points.setString("points: 0");
    sf::Text segments = make_text(font, 20, sf::Vector2f(0.0f, 25.0f));
    segments.setString("segments: 16");
    while (window.isOpen()) {
        EditorEvent event;
        while (poll_event(window, event))
            if (event.type == EditorEvent::Type::Closed)
                window.close();
        window.clear(sf::Color(150, 200, 255));
        window.draw(points);
        window.draw(segments);
        window.display();
    }
    return 0;
}
