// Routes on foot: the walks a player can make over a map by taps of the direction keys, one cell
// a tap in one of the eight directions (two keys at once go diagonally) onto a cell that does not
// block. A route never crosses a path (a "-" cell) other than the one it ends on: stepping onto one
// shows its caption, and its key would lead elsewhere.
#pragma once

#include "world/MapTypes.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

class WorldMap;

// One tap: -1, 0 or +1 on each axis (rows grow to the south).
struct RouteStep {
    std::int8_t dx = 0;
    std::int8_t dy = 0;
    friend bool operator==(const RouteStep&, const RouteStep&) = default;
};

// The eight steps, clockwise from north, with their names.
struct Heading {
    RouteStep step;
    std::string_view name;
};
inline constexpr std::array<Heading, 8> headings = {{
    {{0, -1}, "north"},
    {{1, -1}, "north-east"},
    {{1, 0}, "east"},
    {{1, 1}, "south-east"},
    {{0, 1}, "south"},
    {{-1, 1}, "south-west"},
    {{-1, 0}, "west"},
    {{-1, -1}, "north-west"},
}};

// The name of a step ("north-east").
std::string_view headingName(RouteStep step);

class RouteFinder {
public:
    // Its buffers are made here: a search allocates nothing.
    RouteFinder();

    // The steps from `from` to every cell of the map (-1 where none reaches), walking across no
    // path but the one stood on: a path is reached, not crossed. Valid until the next search.
    std::span<const int> stepsFrom(const WorldMap& map, MapCell from);

    // The route from `from` to `to`: the fewest steps and, among routes of as many steps, the
    // fewest runs (steps in one direction in a row). False when `to` cannot be reached; `route`
    // keeps its room either way.
    bool find(const WorldMap& map, MapCell from, MapCell to, std::vector<RouteStep>& route);

private:
    std::vector<int> steps_;
    std::vector<std::uint16_t> queue_;
    // Per cell and heading it was entered by (8: the start): the runs so far and the state before.
    std::vector<std::int16_t> runs_;
    std::vector<std::int32_t> parent_;
    std::vector<std::int32_t> frontier_;
    std::vector<std::int32_t> next_;
};
