// Small value types shared by the world and its drawing.
#pragma once

#include <cstdint>
#include <string>

inline constexpr int mapWidth = 80;
inline constexpr int mapHeight = 25;
inline constexpr int mapCellCount = mapWidth * mapHeight;

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
