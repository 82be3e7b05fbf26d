// Small value types shared by the world and its drawing. The map covers the whole screen, so a
// map cell is a screen cell.
#pragma once

#include "platform/Platform.h"

#include <array>
#include <cstdint>
#include <string>

// The grid of a world: one byte per cell, row by row; cell (x, y) is at y * 80 + x.
using Grid = std::array<std::uint8_t, platform::screenCellCount>;

// A cell of the map, which is also a cell of the screen.
struct MapCell {
    std::uint8_t x = 0;
    std::uint8_t y = 0;
    friend bool operator==(const MapCell&, const MapCell&) = default;
};

// A screen rectangle: columns left to right - 1, rows top to bottom - 1.
struct CellRect {
    std::uint8_t left = 0;
    std::uint8_t top = 0;
    std::uint8_t right = 0;
    std::uint8_t bottom = 0;
    friend bool operator==(const CellRect&, const CellRect&) = default;
};

// One link of a world: a "-" cell that leads to a cell of another world (or of the same one).
struct MapLink {
    std::string target;
    std::string caption;
    std::uint8_t x = 0;
    std::uint8_t y = 0;
    std::uint8_t targetX = 0;
    std::uint8_t targetY = 0;
};

inline constexpr std::size_t cellIndex(MapCell cell) {
    return static_cast<std::size_t>(cell.y) * platform::screenWidth + cell.x;
}
