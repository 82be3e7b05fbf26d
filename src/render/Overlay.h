// Boxes drawn over the map: blanking a rectangle and framing it. Rectangles are given by their
// top-left cell and the cell just past their lower-right corner.
#pragma once

#include "world/MapTypes.h"

#include <array>
#include <cstdint>

enum class FrameStyle : int { Single = 0, Double = 1 };

enum class FrameGlyph : int {
    TopLeft,
    TopRight,
    BottomLeft,
    BottomRight,
    Horizontal,
    Vertical,
    LeftTee,
    RightTee,
};

// Code page 437 frame characters, by style then kind.
inline constexpr std::array<std::array<std::uint8_t, 8>, 2> frameGlyphs = {{
    {218, 191, 192, 217, 196, 179, 195, 180},
    {201, 187, 200, 188, 205, 186, 204, 185},
}};

// Writes blanks, in the attribute in force, over the rectangle.
void clearRect(MapCell topLeft, MapCell end);
// Draws the rectangle's frame in bright white and repaints the window; the inside is untouched.
void drawFrame(MapCell topLeft, MapCell end, FrameStyle style);
