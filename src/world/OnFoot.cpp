#include "world/OnFoot.h"

#include "world/WorldMap.h"

#include <deque>

std::vector<int> stepsOnFoot(const WorldMap& map, MapCell from, bool crossLinks) {
    std::vector<int> steps(platform::screenCellCount, -1);
    std::deque<MapCell> todo{from};
    steps[cellIndex(from)] = 0;
    while (!todo.empty()) {
        const MapCell cell = todo.front();
        todo.pop_front();
        if (!crossLinks && !(cell == from) && map.at(cell) == linkCellChar) {
            continue;
        }
        for (int dy = -1; dy <= 1; ++dy) {
            for (int dx = -1; dx <= 1; ++dx) {
                const int x = cell.x + dx;
                const int y = cell.y + dy;
                if (x < 0 || y < 0 || x >= platform::screenWidth || y >= platform::screenHeight) {
                    continue;
                }
                const MapCell next{static_cast<std::uint8_t>(x), static_cast<std::uint8_t>(y)};
                if (steps[cellIndex(next)] < 0 && !map.isBlocking(next)) {
                    steps[cellIndex(next)] = steps[cellIndex(cell)] + 1;
                    todo.push_back(next);
                }
            }
        }
    }
    return steps;
}

std::vector<bool> reachOnFoot(const WorldMap& map, MapCell from, bool crossLinks) {
    const std::vector<int> steps = stepsOnFoot(map, from, crossLinks);
    std::vector<bool> reached(steps.size());
    for (std::size_t i = 0; i < steps.size(); ++i) {
        reached[i] = steps[i] >= 0;
    }
    return reached;
}
