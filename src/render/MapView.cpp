#include "render/MapView.h"

#include "app/Console.h"
#include "world/Player.h"
#include "world/World.h"
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

// A grid byte in its colour at the cursor, always as a glyph: a map never moves the cursor.
void writeCell(Console& console, std::uint8_t ch) {
    console.setAttribute(cellAttribute(ch));
    const char glyph = static_cast<char>(ch);
    console.writeGlyphs(std::string_view(&glyph, 1));
}

} // namespace

std::uint16_t cellAttribute(std::uint8_t ch) { return colourTable[ch]; }

void WorldMap::drawAll() {
    Console& console = Console::instance();
    console.moveCursor(0, 0);
    for (int y = 0; y < mapHeight; ++y) {
        for (int x = 0; x < mapWidth; ++x) {
            writeCell(console, cells[y * mapWidth + x]);
        }
        if (y < mapHeight - 1) {
            console.writeText("\n");
        }
    }
}

void WorldMap::restoreOverlay() {
    Console& console = Console::instance();
    if (redrawQueue.empty()) {
        overlayOnMap = 0;
    } else {
        const CellRect r = redrawQueue.back();
        for (int y = r.top; y < r.bottom && y < mapHeight; ++y) {
            for (int x = r.left; x < r.right && x < mapWidth; ++x) {
                console.moveCursor(x, y);
                writeCell(console, cells[y * mapWidth + x]);
            }
        }
        redrawQueue.pop_back();
    }
    console.repaint();
}

void World::render() {
    Console& console = Console::instance();
    if (map->fullRedraw) {
        map->drawAll();
        map->fullRedraw = 0;
    }
    if (player->moved || playerRedraw) {
        console.moveCursor(player->prevX, player->prevY);
        writeCell(console, map->at(MapCell{player->prevX, player->prevY}));
        console.moveCursor(player->x, player->y);
        console.setAttribute(attrBrightWhite);
        const char glyph = static_cast<char>(playerGlyph);
        console.writeGlyphs(std::string_view(&glyph, 1));
        playerRedraw = 0;
    }
    player->moved = 0;
}
