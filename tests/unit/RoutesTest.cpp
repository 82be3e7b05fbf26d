// Routes on foot: the fewest steps, then the fewest runs, never across a path but the last cell.
#include "world/Routes.h"
#include "world/WorldFiles.h"
#include "world/WorldMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Drawn {
    int x;
    int y;
    std::string text;
};

WorldMap mapWith(const std::vector<Drawn>& drawn) {
    WorldLoad load;
    load.cells.fill('.');
    for (const Drawn& d : drawn) {
        for (std::size_t i = 0; i < d.text.size(); ++i) {
            load.cells[static_cast<std::size_t>(d.y * 80 + d.x) + i] =
                static_cast<std::uint8_t>(d.text[i]);
        }
    }
    WorldMap map;
    map.take(std::move(load));
    return map;
}

std::vector<Drawn> column(int x, int top, int bottom, char ch) {
    std::vector<Drawn> cells;
    for (int y = top; y <= bottom; ++y) {
        cells.push_back({x, y, std::string(1, ch)});
    }
    return cells;
}

int runs(const std::vector<RouteStep>& route) {
    int count = 0;
    for (std::size_t i = 0; i < route.size(); ++i) {
        count += i == 0 || !(route[i] == route[i - 1]) ? 1 : 0;
    }
    return count;
}

} // namespace

TEST(Routes, FewestStepsThenFewestRunsAndNeverAcrossAPath) {
    struct Case {
        const char* what;
        std::vector<Drawn> drawn;
        MapCell from;
        MapCell to;
        int steps; // -1: no route
        int runs;
    };
    std::vector<Drawn> wall = column(42, 8, 16, '+');
    std::vector<Drawn> corridor = {{40, 11, "+++++"}, {40, 13, "+++++"}, {42, 12, "-"}};
    const std::vector<Case> cases = {
        {"a straight line", {}, {40, 12}, {45, 12}, 5, 1},
        {"a diagonal and a straight run, not a zigzag", {}, {40, 12}, {46, 15}, 6, 2},
        {"round the end of a wall", wall, {40, 12}, {44, 12}, 10, 4},
        {"to the edge of the grid", {}, {1, 1}, {0, 0}, 1, 1},
        {"a path in a corridor is reached", corridor, {40, 12}, {42, 12}, 2, 1},
        {"but not crossed: round the corridor's walls", corridor, {40, 12}, {44, 12}, 8, 4},
        {"a cell walled in",
         {{9, 9, "+++"}, {9, 10, "+.+"}, {9, 11, "+++"}},
         {0, 0},
         {10, 10},
         -1,
         0},
        {"a blocking cell", wall, {40, 12}, {42, 12}, -1, 0},
        {"where the player stands", {}, {3, 3}, {3, 3}, 0, 0},
    };
    RouteFinder finder;
    std::vector<RouteStep> route;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const WorldMap map = mapWith(c.drawn);
        ASSERT_EQ(finder.find(map, c.from, c.to, route), c.steps >= 0);
        if (c.steps < 0) {
            continue;
        }
        EXPECT_EQ(static_cast<int>(route.size()), c.steps);
        EXPECT_EQ(runs(route), c.runs);
        // Walked tap by tap, the route arrives, over cells that do not block and no path.
        int x = c.from.x;
        int y = c.from.y;
        for (const RouteStep step : route) {
            x += step.dx;
            y += step.dy;
            const MapCell cell{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
            EXPECT_FALSE(map.isBlocking(cell));
            EXPECT_TRUE(map.at(cell) != '-' || cell == c.to);
        }
        EXPECT_EQ(x, c.to.x);
        EXPECT_EQ(y, c.to.y);
        // The steps from the start agree with the route's length.
        EXPECT_EQ(finder.stepsFrom(map, c.from)[cellIndex(c.to)], c.steps);
    }
}
