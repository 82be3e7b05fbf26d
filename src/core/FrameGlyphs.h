// The code page 437 characters that frame boxes on the console: single lines for message boxes,
// double lines for the status panel (whose divider ends in the tees).
#pragma once

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

// By style, then kind.
inline constexpr std::array<std::array<std::uint8_t, 8>, 2> frameGlyphs = {{
    {218, 191, 192, 217, 196, 179, 195, 180},
    {201, 187, 200, 188, 205, 186, 204, 185},
}};

constexpr std::uint8_t frameGlyph(FrameStyle style, FrameGlyph kind) {
    return frameGlyphs[static_cast<std::size_t>(style)][static_cast<std::size_t>(kind)];
}
