#include "ScreenText.h"

#include "AsciiGlyphs.h"
#include "Cp437.h"

namespace platform {

namespace {

const Cell& cellAt(const ScreenCells& cells, int x, int y) {
    return cells[static_cast<std::size_t>(y * screenWidth + x)];
}

} // namespace

std::string screenRowText(const ScreenCells& cells, int y, GlyphSet glyphs) {
    std::string line;
    for (int x = 0; x < screenWidth; ++x) {
        const std::uint8_t ch = cellAt(cells, x, y).ch;
        if (glyphs == GlyphSet::Ascii) {
            line.push_back(asciiGlyph(ch));
        } else {
            line += cp437Utf8(ch).view();
        }
    }
    return line;
}

std::string screenText(const ScreenCells& cells) {
    std::string text;
    for (int y = 0; y < screenHeight; ++y) {
        text.append(screenRowText(cells, y)).push_back('\n');
    }
    return text;
}

std::string screenColours(const ScreenCells& cells) {
    static constexpr char hex[] = "0123456789abcdef";
    std::string text;
    for (int y = 0; y < screenHeight; ++y) {
        for (int x = 0; x < screenWidth; ++x) {
            text.push_back(hex[cellAt(cells, x, y).attribute & 0x0F]);
        }
        text.push_back('\n');
    }
    return text;
}

std::string cursorText(int x, int y, bool visible) {
    return "cursor " + std::to_string(x) + " " + std::to_string(y) +
           (visible ? " visible\n" : " hidden\n");
}

} // namespace platform
