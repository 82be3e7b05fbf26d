// The colours of the map.
#pragma once

#include <cstdint>

inline constexpr std::uint8_t playerGlyph = 2;

// The attribute a map character is drawn in: water blue, forest green, fences yellow, rock grey,
// hedges bright green, links bright red, fields bright yellow, everything else bright white.
std::uint16_t cellAttribute(std::uint8_t ch);
