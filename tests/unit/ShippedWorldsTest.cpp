// The worlds that ship in data/bin/world: starting from the start world, every link of every
// reachable world is followed in the game, and where it leads must be a world that loads and a
// cell the player can stand on; and every world and every link can be reached on foot.
#include "GameHarness.h"

#include <gtest/gtest.h>

#include <deque>
#include <map>
#include <memory>
#include <set>
#include <sstream>

using harness::fs::path;

namespace {

const path dataDir = path(THARVOK_SOURCE_DIR) / "data";
const path worldDir = dataDir / "bin" / "world";

struct Links {
    std::string firstNameWord;
    std::string secondNameWord;
    std::vector<MapLink> links;
};

Links readLinks(const std::string& stem) {
    WorldInfo info = readInfo(harness::readFile(worldDir / (stem + ".wif")));
    return Links{info.firstNameWord, info.secondNameWord, info.links};
}

bool worldFilesExist(const std::string& stem) {
    return harness::fs::is_regular_file(worldDir / (stem + ".wgf")) &&
           harness::fs::is_regular_file(worldDir / (stem + ".wif"));
}

std::string describe(const std::string& stem, std::size_t index, const MapLink& link) {
    std::ostringstream text;
    text << "world " << stem << ", link " << index << " \"" << link.caption << "\" at ("
         << int{link.x} << "," << int{link.y} << ") to " << link.target << " (" << int{link.targetX}
         << "," << int{link.targetY} << ")";
    return text.str();
}

// The route to a world: the link indices to follow from the start world.
using Route = std::vector<std::size_t>;

// Follows `route` from the start world in a started game; false when a step cannot be taken.
bool follow(harness::GameHarness& h, const Route& route) {
    for (const std::size_t index : route) {
        if (index >= h.map().links().size()) {
            return false;
        }
        const MapLink& link = h.map().links()[index];
        h.placePlayer(link.x, link.y);
        h.use();
    }
    return true;
}

// A shipped world's grid, loaded by the game's own reader over blanks.
std::unique_ptr<WorldMap> loadGrid(const std::string& stem) {
    WorldLoad load;
    load.cells.fill(' ');
    readGrid(harness::readFile(worldDir / (stem + ".wgf")), load.cells);
    auto map = std::make_unique<WorldMap>();
    map->take(std::move(load));
    return map;
}

int indexOf(int x, int y) { return y * screenWidth + x; }

// The cells the player can walk to from `from`: steps of one cell in eight directions (two keys
// at once go diagonally), never off the grid or onto a blocking cell.
std::vector<bool> walkableFrom(const WorldMap& map, MapCell from) {
    std::vector<bool> seen(screenCellCount, false);
    std::deque<MapCell> todo{from};
    seen[static_cast<std::size_t>(indexOf(from.x, from.y))] = true;
    while (!todo.empty()) {
        const MapCell cell = todo.front();
        todo.pop_front();
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = cell.x + dx;
                const int y = cell.y + dy;
                if (x < 0 || y < 0 || x >= screenWidth || y >= screenHeight) {
                    continue;
                }
                const MapCell next{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
                const auto i = static_cast<std::size_t>(indexOf(x, y));
                if (!seen[i] && !map.isBlocking(next)) {
                    seen[i] = true;
                    todo.push_back(next);
                }
            }
        }
    }
    return seen;
}

} // namespace

TEST(ShippedWorlds, EveryWorldAndEveryLinkCanBeReachedOnFoot) {
    const std::string start(startWorldStem);
    ASSERT_TRUE(worldFilesExist(start)) << "the start world is missing from " << worldDir;

    std::map<std::string, std::unique_ptr<WorldMap>> grids;
    std::map<std::string, Links> links;
    std::map<std::string, std::vector<bool>> walked; // every cell reached on foot, by world
    std::set<std::pair<std::string, int>> entered;
    std::deque<std::pair<std::string, MapCell>> pending{
        {start, MapCell{playerStartX, playerStartY}}};
    while (!pending.empty()) {
        const auto [stem, entry] = pending.front();
        pending.pop_front();
        // Broken links are reported by the walk through the game; here they lead nowhere.
        if (entry.x >= screenWidth || entry.y >= screenHeight || !worldFilesExist(stem) ||
            !entered.insert({stem, indexOf(entry.x, entry.y)}).second) {
            continue;
        }
        if (grids.find(stem) == grids.end()) {
            grids[stem] = loadGrid(stem);
            links[stem] = readLinks(stem);
            walked[stem] = std::vector<bool>(screenCellCount, false);
        }
        const std::vector<bool> reach = walkableFrom(*grids[stem], entry);
        std::set<std::pair<int, int>> linkCells;
        for (const MapLink& link : links[stem].links) {
            const bool first = linkCells.insert({link.x, link.y}).second;
            if (!first || link.x >= screenWidth || link.y >= screenHeight ||
                grids[stem]->at(MapCell{link.x, link.y}) != linkCellChar ||
                !reach[static_cast<std::size_t>(indexOf(link.x, link.y))]) {
                continue;
            }
            pending.push_back({link.target, MapCell{link.targetX, link.targetY}});
        }
        for (std::size_t i = 0; i < reach.size(); ++i) {
            if (reach[i]) {
                walked[stem][i] = true;
            }
        }
    }

    for (const auto& [stem, world] : links) {
        for (std::size_t i = 0; i < world.links.size(); ++i) {
            const MapLink& link = world.links[i];
            if (link.x < screenWidth && link.y < screenHeight) {
                EXPECT_TRUE(walked[stem][static_cast<std::size_t>(indexOf(link.x, link.y))])
                    << describe(stem, i, link)
                    << ": no way on foot to this link from where the player enters the world";
            }
        }
    }
    for (const auto& entry : harness::fs::directory_iterator(worldDir)) {
        if (entry.path().extension() == ".wgf") {
            EXPECT_TRUE(grids.count(entry.path().stem().string()) == 1)
                << "the player cannot get from the start to " << entry.path().filename();
        }
    }
}

TEST(ShippedWorlds, EveryLinkLeadsToALoadableWorldAndAFreeCell) {
    const std::string start(startWorldStem);
    ASSERT_TRUE(worldFilesExist(start)) << "the start world is missing from " << worldDir;

    {
        harness::GameHarness h(dataDir);
        ASSERT_TRUE(h.start()) << "the start world does not load";
        const std::uint8_t startCell = h.cell(playerStartX, playerStartY);
        EXPECT_FALSE(h.map().isBlocking(MapCell{playerStartX, playerStartY}) ||
                     startCell == linkCellChar)
            << "the player starts on '" << static_cast<char>(startCell) << "' at (40,12)";
    }

    std::map<std::string, Route> routes{{start, {}}};
    std::deque<std::string> pending{start};
    while (!pending.empty()) {
        const std::string stem = pending.front();
        pending.pop_front();
        const Links here = readLinks(stem);
        std::set<std::pair<int, int>> linkCells;
        for (std::size_t i = 0; i < here.links.size(); ++i) {
            const MapLink& link = here.links[i];
            SCOPED_TRACE(describe(stem, i, link));
            EXPECT_FALSE(link.caption.empty()) << "a link without a caption";
            EXPECT_LE(link.caption.size(), maxCaptionLength) << "the caption is cut on screen";
            if (!linkCells.insert({link.x, link.y}).second) {
                ADD_FAILURE()
                    << "another link on the same cell comes first; this one is never used";
                continue;
            }
            if (link.x >= screenWidth || link.y >= screenHeight) {
                ADD_FAILURE() << "the link cell lies outside the grid";
                continue;
            }
            if (!worldFilesExist(link.target)) {
                ADD_FAILURE() << "the target world's .wgf or .wif is missing in " << worldDir;
                continue;
            }
            EXPECT_LT(link.targetX, screenWidth) << "the arrival lies outside the grid";
            EXPECT_LT(link.targetY, screenHeight) << "the arrival lies outside the grid";

            harness::GameHarness h(dataDir);
            ASSERT_TRUE(h.start() && h.enterPlay());
            ASSERT_TRUE(follow(h, routes[stem]));
            ASSERT_EQ(h.worldName(), here.firstNameWord + " " + here.secondNameWord)
                << "the route to this world went astray";
            const std::uint8_t linkChar = h.cell(link.x, link.y);
            if (linkChar != linkCellChar) {
                ADD_FAILURE() << "the link cell holds '" << static_cast<char>(linkChar)
                              << "', not '-': the link can never be used";
                continue;
            }

            Grid expected = h.map().cells();
            readGrid(harness::readFile(worldDir / (link.target + ".wgf")), expected);
            const Links there = readLinks(link.target);

            h.placePlayer(link.x, link.y);
            h.use();
            EXPECT_EQ(h.worldName(), there.firstNameWord + " " + there.secondNameWord);
            EXPECT_TRUE(h.map().cells() == expected) << "the grid is not the target world's";
            EXPECT_EQ(h.playerX(), std::min<int>(link.targetX, screenWidth - 1));
            EXPECT_EQ(h.playerY(), std::min<int>(link.targetY, screenHeight - 1));
            const MapCell arrival = h.playerCell();
            const std::uint8_t arrivalChar = h.map().at(arrival);
            EXPECT_FALSE(h.map().isBlocking(arrival))
                << "the player arrives on the blocking '" << static_cast<char>(arrivalChar) << "'";
            EXPECT_NE(arrivalChar, linkCellChar) << "the player arrives on a link cell";

            if (routes.find(link.target) == routes.end()) {
                Route route = routes[stem];
                route.push_back(i);
                routes[link.target] = route;
                pending.push_back(link.target);
            }
        }
    }

    for (const auto& entry : harness::fs::directory_iterator(worldDir)) {
        if (entry.path().extension() == ".wgf") {
            const std::string stem = entry.path().stem().string();
            EXPECT_TRUE(routes.count(stem) == 1)
                << "no link leads from the start world to " << entry.path().filename();
        }
    }
}
