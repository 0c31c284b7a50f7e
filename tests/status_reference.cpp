// Writes, as a binary PPM, the status lines the editor must show for given
// counts: "points: N" at (0, 0) and "segments: M" at (0, 25), 20-pixel black
// text on the editor's background, 640 x 640; at SCALE (default 1) each length
// times SCALE, rounded to whole device pixels. The end-to-end tests compare it.
//   status_reference FONT POINTS SEGMENTS OUT.ppm [SCALE]
#include "sfml/sfml_version.h"

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>

int main(int argc, char** argv)
{
    if (argc != 5 && argc != 6)
        return 2;
    const double scale = argc == 6 ? std::stod(argv[5]) : 1.0;
    const auto device = [scale](double length) { return static_cast<unsigned>(std::lround(length * scale)); };
    sf::Font font;
    sf::RenderTexture texture;
    if (!open_font(font, argv[1]) || !create_texture(texture, sf::Vector2u(device(640), device(640))))
        return 1;
    texture.clear(sf::Color(150, 200, 255));
    const std::string lines[] = {std::string("points: ") + argv[2], std::string("segments: ") + argv[3]};
    for (int i = 0; i < 2; ++i) {
        // Size, place and colour set here, not taken from the editor's code.
        sf::Text text = make_text(font, 0, sf::Vector2f());
        text.setString(lines[i]);
        text.setCharacterSize(device(20));
        text.setPosition(sf::Vector2f(0.0f, static_cast<float>(device(25) * static_cast<unsigned>(i))));
        text.setFillColor(sf::Color::Black);
        texture.draw(text);
    }
    texture.display();

    const sf::Image image = texture.getTexture().copyToImage();
    const unsigned width = image.getSize().x, height = image.getSize().y;
    std::ofstream out(argv[4], std::ios::binary);
    out << "P6\n" << width << ' ' << height << "\n255\n";
    const std::uint8_t* rgba = image.getPixelsPtr();
    for (unsigned i = 0; i < width * height; ++i)
        out.write(reinterpret_cast<const char*>(rgba + 4 * i), 3);
    return out ? 0 : 1;
}
