#include "render/MapView.h"

#include "core/Console.h"
#include "world/WorldMap.h"

#include <array>

namespace {

constexpr std::array<std::uint16_t, 256> buildColourTable() {
    std::array<std::uint16_t, 256> table{};
    for (auto& attribute : table) {
        attribute = attrBrightWhite;
    }
    table['~'] = 1;
    table[','] = 2;
    table['+'] = 6;
    table['|'] = 6;
    table['0'] = 8;
    table[';'] = 10;
    table['-'] = 12;
    table['.'] = 14;
    return table;
}

constexpr std::array<std::uint16_t, 256> colourTable = buildColourTable();

} // namespace

std::uint16_t cellAttribute(std::uint8_t ch) { return colourTable[ch]; }

void drawMapCell(Console& console, std::uint8_t ch) {
    console.setAttribute(cellAttribute(ch));
    const char glyph = static_cast<char>(ch);
    console.writeGlyphs(std::string_view(&glyph, 1));
}

void drawMap(Console& console, const WorldMap& map) {
    console.moveCursor(0, 0);
    for (int y = 0; y < platform::screenHeight; ++y) {
        for (int x = 0; x < platform::screenWidth; ++x) {
            drawMapCell(console, map.at(MapCell{static_cast<std::uint8_t>(x),
                                                static_cast<std::uint8_t>(y)}));
        }
        if (y < platform::lastRow) {
            console.writeText("\n");
        }
    }
}

void drawMapRect(Console& console, const WorldMap& map, CellRect rect) {
    for (int y = rect.top; y < rect.bottom && y < platform::screenHeight; ++y) {
        for (int x = rect.left; x < rect.right && x < platform::screenWidth; ++x) {
            console.moveCursor(x, y);
            drawMapCell(console, map.at(MapCell{static_cast<std::uint8_t>(x),
                                                static_cast<std::uint8_t>(y)}));
        }
    }
}
