#include "app/editor_state.h"
#include "app/font_file.h"
#include "app/input_handling.h"
#include "app/sfml_version.h"

#include <SFML/Graphics.hpp>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <locale>
#include <sstream>
#include <string>

namespace {

constexpr unsigned int text_size = 20;
constexpr float line_spacing = 25.0f;  // second status line below the first
constexpr unsigned int window_side = 640;  // pixels, square

}

int main(int, char**)
{
#if defined(__GLIBC__)
    // The GL driver builds every frame from 64 KiB blocks, tens of megabytes
    // of them with thousands of markers, and frees them once the frame is
    // drawn. Mapped on their own, such blocks go back to the system when
    // freed, instead of staying in the heap at the largest frame's size.
    mallopt(M_MMAP_THRESHOLD, 64 * 1024);
#endif
    const std::string font_path = "segoeui.ttf";
    sf::Font font;
    if (!is_complete_font_file(font_path) || !open_font(font, font_path))
        return -1;

    sf::Text text_num_points = make_text(font, text_size, sf::Vector2f(0.0f, 0.0f));
    sf::Text text_num_segments = make_text(font, text_size, sf::Vector2f(0.0f, line_spacing));

    // No depth, stencil or antialiasing; GL 1.1, no attribute flags, no sRGB.
    sf::RenderWindow window;
    create_window(window, sf::Vector2u(window_side, window_side), sf::String("Orrinade", std::locale()),
                  sf::ContextSettings{0, 0, 0, 1, 1, 0, false});

    const sf::Color background(150, 200, 255, 255);
    EditorState editor;
    const PixelToCoords to_coords = [&window](int x, int y) {
        const sf::Vector2f p = window.mapPixelToCoords(sf::Vector2i(x, y));
        return Vector2f(p.x, p.y);
    };
    const LiveMouse live_mouse{
        [] { return sf::Mouse::isButtonPressed(sf::Mouse::Button::Left); },
        [&window, &to_coords] {
            const sf::Vector2i p = sf::Mouse::getPosition(window);
            return to_coords(p.x, p.y);
        }};

    while (window.isOpen()) {
        EditorEvent event;
        while (poll_event(window, event)) {
            if (event.type == EditorEvent::Type::Closed)
                window.close();
            else
                handle_event(event, to_coords, editor);
        }

        apply_drag(live_mouse, editor);

        window.clear(background);
        editor.bezier_curve.draw(window, editor.num_segments, sf::Color::Black);

        if (!editor.hide_text) {
            std::stringstream ss(std::ios::in | std::ios::out);
            ss << "segments: " << editor.num_segments;
            text_num_segments.setString(sf::String(ss.str(), std::locale()));
            ss.str("");
            ss << "points: " << editor.bezier_curve.num_points();
            text_num_points.setString(sf::String(ss.str(), std::locale()));
            window.draw(text_num_segments, sf::RenderStates::Default);
            window.draw(text_num_points, sf::RenderStates::Default);
        }

        window.display();
    }
    return 0;
}
