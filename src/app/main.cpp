#include "app/editor_state.h"
#include "app/font_file.h"
#include "app/input_handling.h"
#include "app/sfml_events.h"
#include "desktop/window_creation.h"
#include "desktop/window_layout.h"
#include "sfml/sfml_version.h"

#include <SFML/Graphics.hpp>

#if defined(__GLIBC__)
#include <malloc.h>
#endif

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <locale>
#include <optional>
#include <sstream>
#include <string>

namespace {

// In logical pixels; the desktop's scale turns them into device pixels.
constexpr unsigned int text_size = 20;
constexpr float line_spacing = 25.0f;  // second status line below the first
constexpr unsigned int window_side = 640;  // square

}

int main(int, char**)
{
    const std::string font_path = "segoeui.ttf";
    sf::Font font;
    if (!is_complete_font_file(font_path) || !open_font(font, font_path)) {
        std::error_code error;
        std::cerr << "orrinade: " << font_path << " in the working directory "
                  << std::filesystem::current_path(error).u8string() << " is missing or not a whole font\n";
        return -1;
    }

    // No depth, stencil or antialiasing; GL 1.1, no attribute flags, no sRGB.
    std::optional<sf::RenderWindow> opened;
    const double scale = create_window(opened, window_side, sf::String("Orrinade", std::locale()),
                                       sf::ContextSettings{0, 0, 0, 1, 1, 0, false});
    if (!opened) {
        const char* display = std::getenv("DISPLAY");
        if (display)
            std::cerr << "orrinade: cannot open the X display \"" << display << "\" that DISPLAY names\n";
        else
            std::cerr << "orrinade: cannot open an X display: DISPLAY is not set\n";
        return 1;
    }
    sf::RenderWindow& window = *opened;

    // The curve and its markers are drawn in logical pixels, mapped onto the
    // window; the status text in device pixels, rasterised at its device size
    // so that it stays sharp. Neither view changes after start, whatever size
    // the window is given later. At scale 1 both are the window's own view.
    const float side = static_cast<float>(window_side);
    const float device_side = static_cast<float>(device_pixels(window_side, scale));
    const sf::View design_view(sf::Vector2f(side / 2, side / 2), sf::Vector2f(side, side));
    const sf::View text_view(sf::Vector2f(device_side / 2, device_side / 2), sf::Vector2f(device_side, device_side));
    sf::Text text_num_points = make_text(font, device_pixels(text_size, scale), sf::Vector2f(0.0f, 0.0f));
    sf::Text text_num_segments = make_text(
        font, device_pixels(text_size, scale),
        sf::Vector2f(0.0f, static_cast<float>(device_pixels(line_spacing, scale))));

    const sf::Color background(150, 200, 255, 255);
    EditorState editor;
    // A window pixel to logical pixels: divided by the scale, and mapped as
    // the drawing is once the window has been resized.
    const PixelToCoords to_coords = [&window, &design_view](int x, int y) {
        const sf::Vector2f p = window.mapPixelToCoords(sf::Vector2i(x, y), design_view);
        return Vector2f(p.x, p.y);
    };
    const LiveMouse live_mouse{
        [] { return sf::Mouse::isButtonPressed(sf::Mouse::Button::Left); },
        [&window, &to_coords] {
            const sf::Vector2i p = sf::Mouse::getPosition(window);
            return to_coords(p.x, p.y);
        }};

#if defined(__GLIBC__)
    bool blocks_mapped_apart = false;
#endif
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
        window.setView(design_view);
        editor.bezier_curve.draw(window, editor.num_segments, sf::Color::Black, static_cast<float>(scale));

        if (!editor.hide_text) {
            std::stringstream ss(std::ios::in | std::ios::out);
            ss << "segments: " << editor.num_segments;
            text_num_segments.setString(sf::String(ss.str(), std::locale()));
            ss.str("");
            ss << "points: " << editor.bezier_curve.num_points();
            text_num_points.setString(sf::String(ss.str(), std::locale()));
            window.setView(text_view);
            window.draw(text_num_segments, sf::RenderStates::Default);
            window.draw(text_num_points, sf::RenderStates::Default);
        }

        window.display();
#if defined(__GLIBC__)
        // The GL driver builds every frame from 64 KiB blocks, tens of
        // megabytes of them with thousands of markers, and frees them once
        // the frame is drawn. Mapped on their own, such blocks go back to
        // the system when freed, instead of staying in the heap at the
        // largest frame's size. Set once the first frame is shown, which is
        // small: a fresh mapping for each of the driver's blocks while it
        // starts makes the start about a third slower.
        if (!blocks_mapped_apart) {
            mallopt(M_MMAP_THRESHOLD, 64 * 1024);
            blocks_mapped_apart = true;
        }
#endif
    }
    return 0;
}
