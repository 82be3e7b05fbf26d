// The kinds of ground a world is made of, as the player hears them named: one table from the
// map's characters to their names.
#pragma once

#include <cstdint>
#include <string_view>

enum class Ground : std::uint8_t {
    Water,
    Forest,
    Fields,
    Hedges,
    Rock,
    Fences,
    Paths,
    Blanks,
    Open, // everything else that can be walked on
};

// The kind of ground a map character is.
Ground groundOf(std::uint8_t ch);
// Its name in a sentence: "water", "forest", ... "open ground".
std::string_view groundName(Ground ground);
