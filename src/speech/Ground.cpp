#include "speech/Ground.h"

#include <array>

namespace {

struct GroundRow {
    char ch;
    Ground ground;
    std::string_view name;
};

// The characters of each kind as the map draws them: blue water, green forest, yellow fields,
// bright green hedges, grey rock, brown fences, red paths, and blanks.
constexpr std::array<GroundRow, 8> groundTable = {{
    {'~', Ground::Water, "water"},
    {',', Ground::Forest, "forest"},
    {'.', Ground::Fields, "fields"},
    {';', Ground::Hedges, "hedges"},
    {'0', Ground::Rock, "rock"},
    {'+', Ground::Fences, "fences"},
    {'-', Ground::Paths, "paths"},
    {' ', Ground::Blanks, "blanks"},
}};

} // namespace

Ground groundOf(std::uint8_t ch) {
    for (const GroundRow& row : groundTable) {
        if (static_cast<std::uint8_t>(row.ch) == ch) {
            return row.ground;
        }
    }
    return Ground::Open;
}

std::string_view groundName(Ground ground) {
    for (const GroundRow& row : groundTable) {
        if (row.ground == ground) {
            return row.name;
        }
    }
    return "open ground";
}
