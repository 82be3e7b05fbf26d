// The map on the screen: the colour of each map character, the whole grid, and the cells under
// a rectangle that an overlay covered.
#pragma once

#include "world/MapTypes.h"

#include <cstdint>

class Console;
class WorldMap;

inline constexpr std::uint8_t playerGlyph = 2;

// The attribute a map character is drawn in: water blue, forest green, fences yellow, rock grey,
// hedges bright green, links bright red, fields bright yellow, everything else bright white.
std::uint16_t cellAttribute(std::uint8_t ch);

// A grid byte in its colour at the cursor, always as a glyph: a map never moves the cursor.
void drawMapCell(Console& console, std::uint8_t ch);
// The whole grid, row by row from the top-left cell.
void drawMap(Console& console, const WorldMap& map);
// The grid's cells under `rect`, row by row.
void drawMapRect(Console& console, const WorldMap& map, CellRect rect);
