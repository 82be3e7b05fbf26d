// Routes on foot: the fewest steps, then the fewest runs, never across a path but the last cell.
// (The shipped worlds' routes are walked by taps in the by-ear test.)
#include "world/Routes.h"
#include "world/Travel.h"
#include "world/WorldFiles.h"
#include "world/WorldMap.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

TEST(Routes, FewestStepsThenFewestRunsAndNeverAcrossAPath) {
    struct Case {
        const char* what;
        std::vector<std::pair<int, std::string>> rows; // from column 40
        MapCell to;
        int steps; // -1: no route
        int runs;
    };
    const std::vector<Case> cases = {
        {"a diagonal and a straight run, not a zigzag", {}, {46, 15}, 6, 2},
        {"round the end of a wall", {{10, "..+"}, {11, "..+"}, {12, "..+"}}, {44, 12}, 4, 2},
        {"a path in a corridor is reached",
         {{11, "+++"}, {12, "..-"}, {13, "+++"}},
         {42, 12},
         2,
         1},
        {"but not crossed", {{11, "+++++"}, {12, "..-"}, {13, "+++++"}}, {44, 12}, 8, 4},
        {"a cell walled in", {{14, "+++"}, {15, "+.+"}, {16, "+++"}}, {41, 15}, -1, 0},
        {"a blocking cell", {{12, ".+"}}, {41, 12}, -1, 0},
        {"where the player stands", {}, {40, 12}, 0, 0},
    };
    RouteFinder finder;
    std::vector<RouteStep> route;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WorldLoad load;
        load.cells.fill('.');
        for (const auto& [y, row] : c.rows) {
            std::copy(row.begin(), row.end(), load.cells.begin() + y * 80 + 40);
        }
        WorldMap map;
        map.take(std::move(load));
        EXPECT_EQ(finder.find(map, {40, 12}, c.to, route), c.steps >= 0);
        int runs = 0;
        for (std::size_t i = 0; i < route.size(); ++i) {
            runs += i == 0 || !(route[i] == route[i - 1]) ? 1 : 0;
        }
        EXPECT_EQ(static_cast<int>(route.size()), std::max(c.steps, 0));
        EXPECT_EQ(runs, c.runs);
        EXPECT_EQ(finder.stepsFrom(map, {40, 12})[cellIndex(c.to)], c.steps);
    }
}

// A refused step plans again once; a second refusal in a row ends travel, a step taken between
// them does not.
TEST(Routes, TravelPlansAgainOnceAfterARefusedStep) {
    WorldLoad load;
    load.cells.fill('.');
    WorldMap map;
    map.take(std::move(load));
    RouteFinder finder;
    Travel travel;
    ASSERT_TRUE(travel.start(finder, map, {40, 12}, {45, 12}));
    EXPECT_TRUE(travel.refused(finder, map, {40, 12}));
    travel.taken();
    EXPECT_TRUE(travel.refused(finder, map, {40, 12}));
    EXPECT_FALSE(travel.refused(finder, map, {40, 12}));
    EXPECT_FALSE(travel.active());
}
